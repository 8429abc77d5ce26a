#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"

#include "EditorTestSupport.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QWheelEvent>

#include <vector>

namespace {

class KeyComboBoxTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        combo = new TKeyComboBox(window());
        combo->addItems({"Alfa", "Bravo", "Charlie", "Delta"});
        combo->setGeometry(20, 20, 120, 24);
        prev = new TNumericEdit(window());
        prev->setGeometry(200, 20, 80, 24);
        next = new TNumericEdit(window());
        next->setGeometry(200, 60, 80, 24);
        combo->SetPrevControl(prev);
        combo->SetNextControl(next);
        // The window's list commit: Enter with the list closed.
        QObject::connect(combo, &TKeyComboBox::keyPressed, [this](QChar k) {
            if (k == QChar(13) && !combo->IsDroppedDown())
                commits.push_back(combo->currentIndex());
        });
        showWindow();
        combo->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(combo->hasFocus());
    }

    int highlighted() const { return combo->view()->currentIndex().row(); }

    TKeyComboBox* combo = nullptr;
    TNumericEdit* prev = nullptr;
    TNumericEdit* next = nullptr;
    std::vector<int> commits;
};

TEST_F(KeyComboBoxTest, ConstructorDefaults)
{
    TKeyComboBox fresh;
    EXPECT_EQ(fresh.DataCode(), -1);
    EXPECT_EQ(fresh.DataIndex(), -1);
    EXPECT_TRUE(fresh.MoveFocus());
    EXPECT_EQ(fresh.SavedIndex(), 0);
    EXPECT_FALSE(fresh.ListOpen());
    EXPECT_EQ(fresh.SkinStyle(), asNone);
    EXPECT_EQ(fresh.UnitLabel(), nullptr);
}

TEST_F(KeyComboBoxTest, EnterOpensAndASecondEnterClosesAndCommits)
{
    combo->setCurrentIndex(1);
    key(Qt::Key_Return);
    EXPECT_TRUE(combo->IsDroppedDown());
    EXPECT_TRUE(combo->ListOpen());
    EXPECT_TRUE(commits.empty());
    EXPECT_EQ(highlighted(), 1);

    key(Qt::Key_Down); // in the open list the keys reach the list
    EXPECT_EQ(highlighted(), 2);
    key(Qt::Key_Return);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_FALSE(combo->ListOpen());
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(combo->SavedIndex(), 2);
    EXPECT_EQ(commits, std::vector<int>{2});
    EXPECT_TRUE(combo->hasFocus());
}

TEST_F(KeyComboBoxTest, EscInTheOpenListReturnsToTheSavedChoice)
{
    combo->setCurrentIndex(1);
    combo->clearFocus();
    combo->setFocus(Qt::TabFocusReason); // entering: SavedIndex := 1
    ASSERT_EQ(combo->SavedIndex(), 1);
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Escape);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_FALSE(combo->ListOpen());
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_TRUE(commits.empty());
    EXPECT_TRUE(combo->hasFocus());
}

TEST_F(KeyComboBoxTest, ArrowsWrapAroundInTheOpenList)
{
    combo->setCurrentIndex(3);
    key(Qt::Key_Return);
    key(Qt::Key_Down); // last -> first
    EXPECT_EQ(highlighted(), 0);
    key(Qt::Key_Up); // first -> last
    EXPECT_EQ(highlighted(), 3);
    key(Qt::Key_Up);
    EXPECT_EQ(highlighted(), 2);
    key(Qt::Key_Left);
    key(Qt::Key_Right);
    EXPECT_EQ(highlighted(), 2);
    EXPECT_TRUE(combo->IsDroppedDown());
    key(Qt::Key_Return);
    EXPECT_EQ(commits, std::vector<int>{2});
}

TEST_F(KeyComboBoxTest, ClosedListArrowsMoveAlongTheChainAndChangeNothing)
{
    QSignalSpy changed(combo, &TKeyComboBox::changed);
    combo->setCurrentIndex(1);
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown}) {
        key(k);
        EXPECT_EQ(combo->currentIndex(), 1) << k;
        EXPECT_TRUE(combo->hasFocus()) << k;
    }
    key(Qt::Key_Down);
    EXPECT_TRUE(next->hasFocus());
    combo->setFocus();
    key(Qt::Key_Up);
    EXPECT_TRUE(prev->hasFocus());
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(commits.empty());

    // Disabled next editor: passed through; nothing beyond it: the focus stays.
    combo->setFocus();
    next->setEnabled(false);
    key(Qt::Key_Down);
    EXPECT_TRUE(combo->hasFocus());
}

TEST_F(KeyComboBoxTest, AChangeWithTheListClosedCommitsAtOnce)
{
    QSignalSpy changed(combo, &TKeyComboBox::changed);
    key(Qt::Key_End);
    EXPECT_EQ(combo->currentIndex(), 3);
    key(Qt::Key_C); // search by the first letter
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(commits, (std::vector<int>{3, 2}));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(combo->SavedIndex(), 2);
    EXPECT_FALSE(combo->ListOpen());
}

TEST_F(KeyComboBoxTest, TheWheelChangesOnlyAFocusedBox)
{
    auto wheel = [this](int delta) {
        const QPointF pos(combo->width() / 2.0, combo->height() / 2.0);
        QWheelEvent e(pos, combo->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &e);
    };
    combo->setCurrentIndex(1);
    next->setFocus();
    wheel(-120);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_TRUE(commits.empty());

    combo->setFocus();
    wheel(-120);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(commits, std::vector<int>{2});
}

TEST_F(KeyComboBoxTest, APickWithTheMouseInTheListCommits)
{
    combo->setCurrentIndex(0);
    combo->showPopup();
    ASSERT_TRUE(combo->IsDroppedDown());
    QAbstractItemView* v = combo->view();
    const QRect r = v->visualRect(v->model()->index(2, 0));
    QTest::mouseMove(v->viewport(), r.center());
    QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(commits, std::vector<int>{2});
    EXPECT_EQ(combo->SavedIndex(), 2);
}

TEST_F(KeyComboBoxTest, TheListOpeningIsNotLeavingTheBox)
{
    QSignalSpy entered(combo, &TKeyComboBox::entered);
    QSignalSpy exited(combo, &TKeyComboBox::exited);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    key(Qt::Key_F4); // the toolkit's own key also opens it
    EXPECT_TRUE(combo->IsDroppedDown());
    EXPECT_TRUE(combo->ListOpen());
    key(Qt::Key_Escape);
    EXPECT_EQ(entered.count(), 0);
    EXPECT_EQ(exited.count(), 0);
}

TEST_F(KeyComboBoxTest, LeavingWithTheListOpenClosesItWithoutRestoring)
{
    QSignalSpy exited(combo, &TKeyComboBox::exited);
    combo->setCurrentIndex(1);
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    combo->setCurrentIndex(3); // changed by the program while the list is open
    next->setFocus(Qt::OtherFocusReason);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(exited.count(), 1);
    EXPECT_TRUE(commits.empty());

    // Entering again: a closed list, the position saved.
    combo->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(combo->ListOpen());
    EXPECT_EQ(combo->SavedIndex(), 3);
}

TEST_F(KeyComboBoxTest, EveryCharacterReachesTheWindowsHandler)
{
    std::vector<QChar> keys;
    QObject::connect(combo, &TKeyComboBox::keyPressed, [&](QChar k) { keys.push_back(k); });
    key(Qt::Key_B);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<QChar>{QChar('b'), QChar(13), QChar(13), QChar(13)}));
    //                                   letter      its commit  open       close
}

} // namespace
