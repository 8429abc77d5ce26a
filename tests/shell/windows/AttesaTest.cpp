#include "shell/windows/Attesa.h"

#include "plat/AnimationPlayer.h"
#include "plat/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using plat::WM_WAITPROGRESS;

TEST(WaitProgress, PercentOfTheSubRangeTruncatedAndClipped)
{
    struct Case {
        int low, high;
        long long percent, position;
    };
    const Case cases[] = {
        {0, 100, 50, 50}, {20, 60, 50, 40}, {20, 60, 0, 20},  {20, 60, 100, 60},
        {20, 60, 33, 33}, // 20 + 1320 / 100, the quotient truncated
        {60, 20, 33, 47}, // a falling range truncates toward zero: 60 - 13
        {0, 100, 105, 105},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WaitProgressPosition(c.low, c.high, c.percent), c.position)
            << c.low << ".." << c.high << " at " << c.percent << "%";
    EXPECT_EQ(ClipWaitProgress(105), 100);
    EXPECT_EQ(ClipWaitProgress(-4), 0);
    EXPECT_EQ(ClipWaitProgress(43), 43);
}

class WaitFormTest : public ::testing::Test {
protected:
    std::unique_ptr<TFormAttesa> form = std::make_unique<TFormAttesa>();
    void send(std::uintptr_t wParam, std::intptr_t lParam)
    {
        plat::SendWindowMessage(form.get(), WM_WAITPROGRESS, wParam, lParam);
    }
};

TEST_F(WaitFormTest, ProgressMessagesMoveTheBarOverTheSubRange)
{
    EXPECT_EQ(form->ProgressLow, 0);
    EXPECT_EQ(form->ProgressHigh, 100);
    EXPECT_EQ(form->Position(), 0);
    send(50, 0);
    EXPECT_EQ(form->Position(), 50);
    form->ProgressLow = 20;
    form->ProgressHigh = 60;
    send(50, 0);
    EXPECT_EQ(form->Position(), 40);
    send(3, 1); // a step
    EXPECT_EQ(form->Position(), 43);
    send(105, 0); // a transfer's last percentages go slightly past 100
    EXPECT_EQ(form->Position(), 62);
    form->ProgressLow = 0;
    form->ProgressHigh = 100;
    send(105, 0);
    EXPECT_EQ(form->Position(), 100) << "clipped, not ignored";
    send(10, 1);
    EXPECT_EQ(form->Position(), 100);
}

TEST_F(WaitFormTest, SetProgressByPercentOrStep)
{
    form->ProgressLow = 20;
    form->ProgressHigh = 60;
    form->SetProgress(75, true);
    EXPECT_EQ(form->Position(), 50);
    form->SetProgress(5, false);
    EXPECT_EQ(form->Position(), 55);
    form->SetProgress(0, true); // back to the start of the range
    EXPECT_EQ(form->Position(), 20);
    form->SetProgress(255, false);
    EXPECT_EQ(form->Position(), 100);
}

TEST_F(WaitFormTest, BroadcastProgressReachesItAndPendingEventsRunInside)
{
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    plat::TopLevelWindows all; // how the data module reports a transfer
    all.sendToAll(WM_WAITPROGRESS, 30, 0);
    EXPECT_EQ(form->Position(), 30);
    EXPECT_TRUE(timerRan) << "a progress update lets timers run";
}

TEST_F(WaitFormTest, BeginPlaysTheAnimationWithTheText)
{
    form->BeginText(51);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Label->text(), QStringLiteral("Inizializzazione centralina in corso"));
    EXPECT_EQ(form->Animate->frameCount(), 7);
    EXPECT_EQ(form->Animate->lastFrame(), 6);
    EXPECT_TRUE(form->Animate->isPlaying());
    EXPECT_EQ(form->size(), QSize(649, 121));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);

    TFormAttesa translated(nullptr, [](int n) { return QStringLiteral("text %1").arg(n); });
    translated.BeginText(43);
    EXPECT_EQ(translated.Label->text(), QStringLiteral("text 43"));
}

TEST(WaitForm, DisablesEveryWindowWhileItExistsAndEnablesThemAllAfter)
{
    QWidget shown, hidden, disabledBefore;
    shown.show();
    disabledBefore.show();
    disabledBefore.setEnabled(false);
    QDialog modal; // the owner may be a modal dialog
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();

    auto* form = new TFormAttesa(&modal);
    FormAttesa = form;
    form->show();
    for (QWidget* w : {&shown, &hidden, &disabledBefore, static_cast<QWidget*>(&modal)})
        EXPECT_FALSE(w->isEnabled()) << w;
    EXPECT_FALSE(form->isEnabled()) << "the panel itself too";
    EXPECT_TRUE(form->isVisible()) << "a window owned by the modal dialog is not blocked by it";

    delete form;
    EXPECT_TRUE(FormAttesa.isNull());
    for (QWidget* w : {&shown, &hidden, &disabledBefore, static_cast<QWidget*>(&modal)})
        EXPECT_TRUE(w->isEnabled()) << w;
}

TEST(WaitForm, AMessageBoxShownMeanwhileStaysUsable)
{
    QWidget main;
    main.show();
    TFormAttesa form(&main);
    form.show();

    bool boxEnabled = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        boxEnabled = box->isEnabled();
        box->button(QMessageBox::Yes)->click();
    });
    plat::QtPrompts prompts;
    const int answer = prompts.ask({.caption = QStringLiteral("Quorin Zelkon"),
                                    .text = QStringLiteral("?"),
                                    .icon = plat::PromptIcon::Question,
                                    .buttons = plat::PromptButtons::YesNo});
    EXPECT_TRUE(boxEnabled);
    EXPECT_EQ(answer, plat::IDYES);
    EXPECT_FALSE(main.isEnabled());
}
