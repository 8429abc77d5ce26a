// The map-K grid against the data module on the simulated ECU: what each view
// shows, which cells an edit and a paste write, and the dialogs' answers.
#include "config/mapk/DrawGridK.h"
#include "complib/editors/NumericEdit.h"
#include "config/mapk/FormCentriCelleK.h"
#include "config/mapk/FormModificaMappa.h"
#include "product/constants/BuildConstants.h"
#include "tests/support/rig/DataModuleRig.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using protovyx::CallRecord;

struct Written {
    int code, row, column, value;
    bool operator==(const Written&) const = default;
};

void PrintTo(const Written& w, std::ostream* os)
{
    *os << "(" << w.code << " r" << w.row << " c" << w.column << " = " << w.value << ")";
}

class DrawGridKTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.connectEcu();
        for (int row = 0; row <= 12; ++row)
            for (int col = 0; col < 12; ++col)
                r.dm().SetMappaK(row, col, 100 + row * 12 + col > 255 ? 200 : 100 + row * 12 + col);
        grid.resize(13 * 41, 13 * 21);
        grid.RadioMapClick(mapk::View::Extended);
        grid.SetModificaMappa(&dialog);
        grid.SetTimerDati(&timer);
        r.sim().ClearCalls();
    }

    // Answers the next variation dialog with a text, a mode and OK or Annulla.
    void answer(const QString& text, int mode, bool ok = true)
    {
        dialog.SetModalRunner([=](TFormModificaMappa& d) {
            d.EditData->setText(text);
            d.SetItemIndex(mode);
            (ok ? d.ButtonOK : d.ButtonAnnulla)->click();
            return d.result();
        });
    }

    std::vector<Written> cellWrites()
    {
        std::vector<Written> out;
        for (const auto& c : r.callsOf("WriteCell"))
            out.push_back({c.code, c.row, c.column, c.in.empty() ? -1 : c.in.front()});
        return out;
    }

    rig::DataModuleRig r;
    TFormModificaMappa dialog;
    QTimer timer;
    DrawGridK grid;
};

TEST_F(DrawGridKTest, ViewsShowTheDataModule)
{
    EXPECT_EQ(grid.RowCount(), 13);
    EXPECT_EQ(grid.CellText(0, 0), "inj");
    EXPECT_EQ(grid.CellText(3, 2), mapk::FormatInt(r.dm().GetMappaK(1, 2)));
    EXPECT_EQ(grid.CellText(2, 0), mapk::FormatRpmAxis(r.dm().GetRifGiriK(1)));
    r.dm().Item(0x61ba)[4 * 6 + 2] = 0x82; // row 4: column 4 is 0, column 5 is -6
    grid.RadioMapClick(mapk::View::TargetObd);
    EXPECT_EQ(grid.CellText(6, 5), "-6");
    r.dm().SetMappaCorrAutotaratura(2, 3, -12);
    grid.RadioMapClick(mapk::View::Reduced);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.FixedRows(), 0);
    EXPECT_EQ(grid.CellText(3, 2), "-12");
    EXPECT_EQ(DrawGridK::FontSizeFor(mapk::View::Reduced, 30), 26);
    EXPECT_EQ(DrawGridK::FontSizeFor(mapk::View::Extended, qz::ECU_TYPE_4CIL_OBD), 10);
}

TEST_F(DrawGridKTest, EditWritesExactlyTheSelectionRowByRow)
{
    grid.SetSelection({2, 3, 3, 4}); // data rows 2..3, columns 1..2
    timer.start(20);
    QSignalSpy cleared(&grid, &DrawGridK::AutotaraturaCleared);
    answer("5", mapk::ModeAdd);
    grid.DrawGridKKeyPress(QChar(13));
    const int v = 100 + 2 * 12 + 1;
    EXPECT_EQ(cellWrites(), (std::vector<Written>{{0x54, 2, 1, v + 5}, {0x54, 2, 2, v + 6}, {0x54, 3, 1, v + 17},
                                                  {0x54, 3, 2, v + 18}}));
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_TRUE(timer.isActive());
}

TEST_F(DrawGridKTest, EditOfRow11CopiesIntoTheHiddenRow)
{
    const int untouched = r.dm().GetMappaK(12, 2);
    grid.SetSelection({1, 12, 2, 12}); // data row 11, columns 0..1
    answer("-40", mapk::ModeSet);
    grid.EditGridKCells();
    EXPECT_EQ(r.dm().GetMappaK(11, 0), 40);
    EXPECT_EQ(r.dm().GetMappaK(12, 0), 40);
    EXPECT_EQ(r.dm().GetMappaK(12, 1), 40);
    EXPECT_EQ(r.dm().GetMappaK(12, 2), untouched); // outside the selection
}

TEST_F(DrawGridKTest, PercentAndTargetObd)
{
    r.dm().SetMappaK(0, 0, 57);
    grid.SetSelection({1, 1, 1, 1});
    answer("-10", mapk::ModePercent);
    grid.EditGridKCells();
    EXPECT_EQ(r.dm().GetMappaK(0, 0), 51);

    grid.RadioMapClick(mapk::View::TargetObd);
    QSignalSpy cleared(&grid, &DrawGridK::AutotaraturaCleared);
    answer("-20", mapk::ModeSet);
    grid.EditGridKObdTargetCells();
    EXPECT_EQ(r.dm().GetTargetObd(0, 0), -8);
    EXPECT_EQ(cleared.count(), 0);
}

// Without the focus the current cell is drawn as the cells around it, in
// every view; with it, it is marked.
TEST_F(DrawGridKTest, TheCurrentCellIsMarkedOnlyWhileTheGridHasTheFocus)
{
    const QColor white = grid.palette().color(QPalette::Base);
    const QColor obdYellow(255, 255, 174);
    const QColor marked(169, 169, 169);
    const struct Case {
        const char* name;
        mapk::View view;
        QColor plain;
    } cases[] = {
        {"extended", mapk::View::Extended, white},
        {"target obd", mapk::View::TargetObd, obdYellow},
        {"reduced", mapk::View::Reduced, white},
    };
    const auto colourAt = [this](const QImage& image, int col, int row) {
        // By name, so that a failure reads as a colour.
        return image.pixelColor(grid.CellRect(col, row).topLeft() + QPoint(2, 2)).name().toStdString();
    };
    for (const bool focused : {false, true}) {
        if (focused) {
            grid.show();
            grid.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
            grid.setFocus();
            ASSERT_TRUE(grid.hasFocus());
        }
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (focused ? ", focused" : ""));
            grid.RadioMapClick(c.view);
            grid.SetSelection({grid.FixedCols(), grid.FixedRows(), grid.FixedCols(), grid.FixedRows()});
            const QImage image = grid.grab().toImage();
            const int col = grid.Col(), row = grid.Row();
            EXPECT_EQ(colourAt(image, col + 1, row + 1), c.plain.name().toStdString());
            EXPECT_EQ(colourAt(image, col, row), (focused ? marked : c.plain).name().toStdString());
        }
    }
}

TEST_F(DrawGridKTest, ReducedViewKeepsZonesWithinFifty)
{
    r.dm().SetMappaCorrAutotaratura(0, 0, 40);
    grid.RadioMapClick(mapk::View::Reduced);
    grid.SetSelection({0, 0, 0, 0});
    answer("20", mapk::ModeAdd);
    grid.DrawGridKDblClick(QPoint(1, 1));
    EXPECT_EQ(r.dm().GetMappaCorrAutotaratura(0, 0), 50);
    answer("-70", mapk::ModeSet);
    grid.EditGridKReducedCells();
    EXPECT_EQ(r.dm().GetMappaCorrAutotaratura(0, 0), -50);
}

TEST_F(DrawGridKTest, CancelWritesNothing)
{
    grid.SetSelection({1, 1, 4, 4});
    QSignalSpy cleared(&grid, &DrawGridK::AutotaraturaCleared);
    answer("99", mapk::ModeSet, false);
    grid.EditGridKCells();
    EXPECT_EQ(dialog.ModalResult(), 2);
    EXPECT_TRUE(r.callsOf("WriteCell").empty());
    EXPECT_EQ(cleared.count(), 0);
}

TEST_F(DrawGridKTest, DialogAnswersAndEmptyText)
{
    int value = 7, mode = 1;
    dialog.SetModalRunner([](TFormModificaMappa& d) {
        d.EditData->setText(QString());
        d.SetItemIndex(2);
        d.ButtonAnnulla->click();
        return d.result();
    });
    dialog.EditInteger(&value, &mode);
    EXPECT_EQ(value, 0);   // written back even on Annulla
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(dialog.ModalResult(), 2);

    // Esc and the close box cancel as Annulla does.
    dialog.SetModalRunner([](TFormModificaMappa& d) {
        d.EditData->setText(QStringLiteral("4"));
        d.reject();
        return d.result();
    });
    dialog.EditInteger(&value, &mode);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(dialog.ModalResult(), 2);
}

TEST_F(DrawGridKTest, AxisDoubleClickOpensBreakpoints)
{
    QSignalSpy closed(&grid, &DrawGridK::BreakpointsDialogClosed);
    int opened = 0;
    grid.SetBreakpointsRunner([&](TFormCentriCelleK& d) {
        ++opened;
        d.EditRifGiri[1]->setText(mapk::FormatInt(d.EditRifGiri[0]->GetAsFloat()));
        d.ButtonOkClick(); // equal rpm points: refused, nothing written
        return 0;
    });
    r.prompts.script(plat::IDOK);
    grid.DrawGridKDblClick(grid.CellRect(0, 0).center());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed.count(), 1);
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, rig::text(62));
    EXPECT_TRUE(r.callsOf("WriteCell").empty());
    EXPECT_TRUE(r.callsOf("WriteElement").empty());
}

TEST_F(DrawGridKTest, CopyGivesTheSpreadsheetText)
{
    grid.SetSelection({5, 1, 7, 2}); // data rows 0..1, columns 4..6
    EXPECT_EQ(grid.CopyText(), "104\t105\t106\r\n116\t117\t118");
}

TEST_F(DrawGridKTest, PasteIntoOneCellWritesTheBlockWithoutAsking)
{
    grid.SetSelection({1, 1, 1, 1});
    EXPECT_EQ(grid.PasteText("1\t2\t3\r\n4\t5\t6\r\n"), DrawGridK::PasteOutcome::Written);
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_EQ(cellWrites().size(), 6u);
    EXPECT_EQ(r.dm().GetMappaK(1, 2), 6);
    EXPECT_EQ(grid.Selection(), (DrawGridK::Rect{1, 1, 3, 2}));
}

TEST_F(DrawGridKTest, PasteOfAnotherSizeAsksFirst)
{
    grid.SetSelection({1, 1, 3, 3});
    r.prompts.script(plat::IDNO);
    EXPECT_EQ(grid.PasteText("1\t2\t3\r\n4\t5\t6"), DrawGridK::PasteOutcome::Declined);
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, rig::text(180) + "\n\n" + rig::text(181));
    EXPECT_EQ(r.prompts.shown()[0].defaultAnswer, plat::IDNO);
    EXPECT_TRUE(r.callsOf("WriteCell").empty());
}

TEST_F(DrawGridKTest, PasteSkipsWhatIsNoNumberAndAsksNothing)
{
    grid.SetSelection({1, 1, 1, 1});
    EXPECT_EQ(grid.PasteText("1\t2\r\n3\tabc"), DrawGridK::PasteOutcome::Written);
    EXPECT_TRUE(r.prompts.shown().empty());
    const int untouched = 100 + 1 * 12 + 1;
    EXPECT_EQ(cellWrites(), (std::vector<Written>{{0x54, 0, 0, 1}, {0x54, 0, 1, 2}, {0x54, 1, 0, 3}}));
    EXPECT_EQ(r.dm().GetMappaK(1, 1), untouched);
}

TEST_F(DrawGridKTest, PasteOfNothingDoesNothing)
{
    grid.SetSelection({1, 1, 3, 3});
    QSignalSpy cleared(&grid, &DrawGridK::AutotaraturaCleared);
    EXPECT_EQ(grid.PasteText(QString()), DrawGridK::PasteOutcome::Nothing);
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_TRUE(r.callsOf("WriteCell").empty());
    EXPECT_EQ(cleared.count(), 0);
    EXPECT_EQ(grid.Selection(), (DrawGridK::Rect{1, 1, 3, 3}));
}

TEST_F(DrawGridKTest, PastedMapKValuesStayWithinTheMap)
{
    // A negative value would be stored as 255, the richest coefficient.
    grid.SetSelection({1, 1, 1, 1});
    EXPECT_EQ(grid.PasteText("-5\t300"), DrawGridK::PasteOutcome::Written);
    EXPECT_EQ(cellWrites(), (std::vector<Written>{{0x54, 0, 0, 0}, {0x54, 0, 1, 255}}));
}

TEST_F(DrawGridKTest, LinearBelowZeroKeepsTheCellAtZero)
{
    r.dm().SetMappaK(0, 0, 5);
    grid.SetSelection({1, 1, 1, 1});
    answer("-10", mapk::ModeAdd);
    grid.EditGridKCells();
    EXPECT_EQ(r.dm().GetMappaK(0, 0), 0);
}

TEST_F(DrawGridKTest, PasteStopsAtTheGridEdgeAndKeepsTheHiddenRow)
{
    // 2 x 4 from data row 11, column 10: only the shown cells, and the hidden
    // row 12 takes row 11's new values, as after a cell edit.
    grid.SetSelection({11, 12, 11, 12});
    EXPECT_EQ(grid.PasteText("1\t2\t3\t4\r\n5\t6\t7\t8"), DrawGridK::PasteOutcome::Written);
    EXPECT_EQ(cellWrites(),
              (std::vector<Written>{{0x54, 11, 10, 1}, {0x54, 11, 11, 2}, {0x54, 12, 10, 1}, {0x54, 12, 11, 2}}));
    EXPECT_EQ(grid.Selection(), (DrawGridK::Rect{11, 12, 12, 12}));
}

TEST_F(DrawGridKTest, PasteAboveTheLastRowLeavesTheHiddenRow)
{
    grid.SetSelection({1, 10, 1, 10});
    grid.PasteText("1\r\n2");
    EXPECT_EQ(cellWrites(), (std::vector<Written>{{0x54, 9, 0, 1}, {0x54, 10, 0, 2}}));
}

TEST_F(DrawGridKTest, PopupMenuOffersPasteOnlyWithText)
{
    ASSERT_TRUE(grid.PopupMenuGrid);
    EXPECT_EQ(grid.PopupMenuGrid->objectName(), "PopupMenuGrid");
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(grid.PopupMenuGridPopup());
    EXPECT_FALSE(grid.MenuIncolla->isEnabled());
    QGuiApplication::clipboard()->setText("7");
    EXPECT_TRUE(grid.PopupMenuGridPopup());
    EXPECT_TRUE(grid.MenuIncolla->isEnabled());
    EXPECT_EQ(grid.MenuCopia->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(grid.MenuIncolla->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
}

TEST_F(DrawGridKTest, PasteSetsZones)
{
    r.dm().SetMappaCorrAutotaratura(1, 1, 5);
    grid.RadioMapClick(mapk::View::Reduced);
    grid.SetSelection({1, 1, 1, 1});
    const int before = r.dm().GetMappaCorrAutotaratura(1, 1);
    ASSERT_EQ(before, 5);
    EXPECT_EQ(grid.PasteText("-3"), DrawGridK::PasteOutcome::Written);
    EXPECT_EQ(r.dm().GetMappaCorrAutotaratura(1, 1), -3);
}

} // namespace
