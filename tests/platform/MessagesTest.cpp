#include "plat/QtPrompts.h"
#include "plat/testing/Fakes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <thread>

using namespace plat;
using namespace plat::testing;

TEST(Messages, NumbersAreTheApplicationRange)
{
    EXPECT_EQ(WM_CONNECTIONEVENT, 0x8190u);
    EXPECT_EQ(WM_WAITPROGRESS, 0x8191u);
    EXPECT_GT(WM_CONNECTIONEVENT, static_cast<std::uint32_t>(QEvent::User));
    EXPECT_LT(WM_WAITPROGRESS, static_cast<std::uint32_t>(QEvent::MaxUser));
}

TEST(Messages, SentArrivesAtOnceWithResultPostedOnlyInTheLoop)
{
    MessageRecorder w;
    w.reply = [](const RecordedMessage& m) { return static_cast<std::intptr_t>(m.wParam * 2); };

    PostWindowMessage(&w, WM_CONNECTIONEVENT, 0, 1);
    EXPECT_TRUE(w.messages.empty()) << "a posted message must wait for the loop";

    EXPECT_EQ(SendWindowMessage(&w, WM_WAITPROGRESS, 21, 0), 42);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_TRUE(w.messages[0].sent);

    QCoreApplication::processEvents();
    ASSERT_EQ(w.messages.size(), 2u);
    EXPECT_EQ(w.messages[1].message, WM_CONNECTIONEVENT);
    EXPECT_EQ(w.messages[1].lParam, 1);
    EXPECT_FALSE(w.messages[1].sent);
}

TEST(Messages, NotifyTargetPostsFromAnotherThreadAndDropsAfterDestruction)
{
    auto* w = new MessageRecorder;
    ObjectNotifyTarget target(w);
    std::thread t([&] { target.Post(WM_CONNECTIONEVENT, 0, 0); });
    t.join();
    QCoreApplication::processEvents();
    ASSERT_EQ(w->messages.size(), 1u);
    EXPECT_FALSE(w->messages[0].sent);

    EXPECT_EQ(target.Send(WM_WAITPROGRESS, 50, 0), 0);
    EXPECT_TRUE(w->messages.back().sent);

    delete w;
    target.Post(WM_CONNECTIONEVENT, 0, 1); // no crash, nothing delivered
    EXPECT_EQ(target.Send(WM_CONNECTIONEVENT, 0, 1), 0);
    QCoreApplication::processEvents();
}

TEST(Messages, SendFromAnotherThreadIsQueued)
{
    MessageRecorder w;
    ObjectNotifyTarget target(&w);
    std::thread t([&] { target.Send(WM_WAITPROGRESS, 10, 0); });
    t.join();
    EXPECT_TRUE(w.messages.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_FALSE(w.messages[0].sent);
}

TEST(Messages, BroadcastReachesEveryTopLevelWindowHiddenOnesToo)
{
    struct Window : QWidget {
        int got = 0;
        bool event(QEvent* e) override
        {
            if (MessageEvent::isMessage(e, WM_WAITPROGRESS)) {
                ++got;
                return true;
            }
            return QWidget::event(e);
        }
    };
    Window shown, hidden;
    shown.show();
    TopLevelWindows all;
    all.sendToAll(WM_WAITPROGRESS, 30, 0);
    EXPECT_EQ(shown.got, 1);
    EXPECT_EQ(hidden.got, 1);
}
