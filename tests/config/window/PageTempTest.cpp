// The Temperatura page against the simulated ECU: the sensor parameters as
// the ECU holds them, their editing, the characteristic learnt from the live
// count or typed in, the check boxes and the gas sensor list.
#include "PageRig.h"

#include "config/mapk/FormModificaMappa.h"
#include "config/tables/CorrectionGrid.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"

#include "config/window/pages/PageTemp.h"
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kParametri = 0x8a;
constexpr int kPoints = 0x8b;

class PageTemp : public pagetest::PageRig {
protected:
    void SetUp() override
    {
        open(cfgwin::PageTemp, [this] {
            // The vehicle's sensor in use: pull-up 2200 ohm (8 and 152, held
            // as -104), steps of 10 from -20, 15 points.
            const std::int32_t parameters[] = {8, -104, 10, -20, 15};
            ASSERT_TRUE(r.sim().PokeItem(kParametri, parameters));
            std::vector<std::int32_t> flags;
            r.sim().PeekItem(0x03, flags);
            flags[1] |= 0x4;
            ASSERT_TRUE(r.sim().PokeItem(0x03, flags));
        });
    }

    void live(std::uint8_t count) { r.dm().LiveBlock[12] = count; }
    static void type(TNumericEdit* e, const QString& text)
    {
        e->setFocus();
        e->setText(text);
    }
    // The dialog's answer: value and mode, or Annulla; what it showed first.
    void answer(const QString& value, int mode, bool ok = true)
    {
        w->FormModificaMappa->SetModalRunner([this, value, mode, ok](TFormModificaMappa& d) {
            ++opened;
            prefill = d.EditData->text();
            d.EditData->setText(value);
            d.SetItemIndex(mode);
            (ok ? d.ButtonOK : d.ButtonAnnulla)->click();
            return d.result();
        });
    }
    void key(int k) { w->Page<TPageTemp>().DrawGridTemp->OnKeyPress(k); }
    void doubleClick(int col, int row)
    {
        const QRect cell = w->Page<TPageTemp>().DrawGridTemp->CellRect(col, row);
        QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(cell.center()), QPointF(cell.center()), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->Page<TPageTemp>().DrawGridTemp, &e);
    }

    int opened = 0;
    QString prefill;
};

TEST_F(PageTemp, ShowsTheSensorAsTheEcuHoldsIt)
{
    // The low byte of the pull-up is read as unsigned: 2200, not 1944.
    EXPECT_EQ(w->Page<TPageTemp>().EditRPullUp->text(), QStringLiteral("2200"));
    EXPECT_EQ(w->Page<TPageTemp>().EditDeltaT->text(), QStringLiteral("10"));
    EXPECT_EQ(w->Page<TPageTemp>().EditTMin->text(), QStringLiteral("-20"));
    EXPECT_EQ(w->Page<TPageTemp>().EditTMax->text(), QStringLiteral("130"));
    EXPECT_EQ(w->Page<TPageTemp>().DrawGridTemp->RowCount(), 16);
    EXPECT_TRUE(w->Page<TPageTemp>().CheckTempMotore->isChecked());
    for (QWidget* c : {static_cast<QWidget*>(w->Page<TPageTemp>().DrawGridTemp),
                       static_cast<QWidget*>(w->Page<TPageTemp>().ButtonNuoviParametri),
                       static_cast<QWidget*>(w->Page<TPageTemp>().EditTMax),
                       static_cast<QWidget*>(w->Page<TPageTemp>().LabelParametriTemp)})
        EXPECT_TRUE(c->isVisibleTo(w->TabTemp)) << c->objectName().toStdString();
    for (TNumericEdit* e : {w->Page<TPageTemp>().EditRPullUp, w->Page<TPageTemp>().EditDeltaT,
                            w->Page<TPageTemp>().EditTMin, w->Page<TPageTemp>().EditTMax})
        EXPECT_TRUE(e->isReadOnly());
    // Unticked, the whole sensor block goes.
    w->Page<TPageTemp>().CheckTempMotore->click();
    EXPECT_FALSE(w->Page<TPageTemp>().DrawGridTemp->isVisibleTo(w->TabTemp));
    EXPECT_FALSE(w->Page<TPageTemp>().EditRPullUp->isVisibleTo(w->TabTemp));
    EXPECT_EQ(r.dm().GetFlag(10), 0);
}

TEST_F(PageTemp, LeavingAnUntouchedParameterWritesNothing)
{
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    ASSERT_TRUE(w->Page<TPageTemp>().SensorEditing);
    EXPECT_EQ(w->Page<TPageTemp>().ButtonNuoviParametri->text(), rig::text(239));
    EXPECT_FALSE(w->Page<TPageTemp>().EditRPullUp->isReadOnly());
    for (TNumericEdit* e : {w->Page<TPageTemp>().EditRPullUp, w->Page<TPageTemp>().EditDeltaT,
                            w->Page<TPageTemp>().EditTMin, w->Page<TPageTemp>().EditTMax})
        w->Page<TPageTemp>().EditRPullUpExit(e);
    EXPECT_TRUE(writes(kParametri).empty());
    EXPECT_EQ(ecu(kParametri), (std::vector<std::int32_t>{8, -104, 10, -20, 15}));
}

TEST_F(PageTemp, TypedParametersAreStored)
{
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    type(w->Page<TPageTemp>().EditRPullUp, QStringLiteral("4700"));
    w->Page<TPageTemp>().EditRPullUpExit(w->Page<TPageTemp>().EditRPullUp);
    EXPECT_EQ(ecu(kParametri), (std::vector<std::int32_t>{18, 92, 10, -20, 15}));
    type(w->Page<TPageTemp>().EditRPullUp, QStringLiteral("2200"));
    w->Page<TPageTemp>().EditRPullUpExit(w->Page<TPageTemp>().EditRPullUp);
    EXPECT_EQ(ecu(kParametri)[0], 8);
    EXPECT_EQ(ecu(kParametri)[1], -104);
    EXPECT_EQ(w->Page<TPageTemp>().EditRPullUp->text(), QStringLiteral("2200"));

    // Step 5 up to 180: 40 points would not fit, 30 do.
    type(w->Page<TPageTemp>().EditDeltaT, QStringLiteral("5"));
    w->Page<TPageTemp>().EditRPullUpExit(w->Page<TPageTemp>().EditDeltaT);
    type(w->Page<TPageTemp>().EditTMax, QStringLiteral("180"));
    w->Page<TPageTemp>().EditRPullUpExit(w->Page<TPageTemp>().EditTMax);
    EXPECT_EQ(ecu(kParametri)[4], 30);
    EXPECT_EQ(w->Page<TPageTemp>().EditTMax->text(), QStringLiteral("130"));
    EXPECT_EQ(w->Page<TPageTemp>().DrawGridTemp->RowCount(), 31);
    // A highest temperature not above the first: one point.
    type(w->Page<TPageTemp>().EditTMin, QStringLiteral("50"));
    w->Page<TPageTemp>().EditRPullUpExit(w->Page<TPageTemp>().EditTMin);
    type(w->Page<TPageTemp>().EditTMax, QStringLiteral("40"));
    w->Page<TPageTemp>().EditRPullUpExit(w->Page<TPageTemp>().EditTMax);
    EXPECT_EQ(ecu(kParametri)[4], 1);
    EXPECT_EQ(w->Page<TPageTemp>().EditTMax->text(), QStringLiteral("55"));
    EXPECT_EQ(w->Page<TPageTemp>().DrawGridTemp->RowCount(), 2);
    EXPECT_EQ(w->Page<TPageTemp>().LearningRow, 1);
    EXPECT_EQ(w->Page<TPageTemp>().DrawGridTemp->Row(), 1);
    EXPECT_EQ(w->Page<TPageTemp>().DrawGridTemp->Col(), 2);
}

TEST_F(PageTemp, LeavingTheEditingTakesWhatWasTypedAndUsesTheVehicleSensor)
{
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    type(w->Page<TPageTemp>().EditTMin, QStringLiteral("-10"));
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    EXPECT_FALSE(w->Page<TPageTemp>().SensorEditing);
    EXPECT_EQ(w->Page<TPageTemp>().ButtonNuoviParametri->text(), rig::text(238));
    EXPECT_TRUE(w->Page<TPageTemp>().EditTMin->isReadOnly());
    EXPECT_EQ(ecu(kParametri)[3], -10);

    // Unticked while editing, then another page: the editing ends with the
    // vehicle's sensor in use, and the box shows it.
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    w->Page<TPageTemp>().CheckTempMotore->click();
    ASSERT_EQ(r.dm().GetFlag(10), 0);
    w->PageControl->setCurrentIndex(cfgwin::PageMappa);
    EXPECT_FALSE(w->Page<TPageTemp>().SensorEditing);
    EXPECT_EQ(r.dm().GetFlag(10), 1);
    EXPECT_TRUE(w->Page<TPageTemp>().CheckTempMotore->isChecked());
    EXPECT_TRUE(w->Page<TPageTemp>().DrawGridTemp->isVisibleTo(w->TabTemp));
}

TEST_F(PageTemp, SpaceLearnsTheLiveCountPointByPoint)
{
    // Outside the editing the table changes nothing.
    live(120);
    key(' ');
    key(13);
    answer(QStringLiteral("1"), 0);
    doubleClick(2, 3);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(writes(kPoints).empty());

    ASSERT_TRUE(r.dm().SetParametriTempMotore(4, 2));
    w->Page<TPageTemp>().TabTempShow();
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    w->Page<TPageTemp>().DrawGridTemp->setFocus();
    EXPECT_TRUE(w->Page<TPageTemp>().LabelInstr->isVisibleTo(w->TabTemp));
    key(' ');
    EXPECT_EQ(ecu(kPoints)[0], 120);
    EXPECT_EQ(w->Page<TPageTemp>().LearningRow, 2);
    EXPECT_EQ(w->Page<TPageTemp>().DrawGridTemp->Row(), 2);
    live(90);
    key(' ');
    EXPECT_EQ(ecu(kPoints)[1], 90);
    // After the last point the button is next, and Space learns no more.
    EXPECT_TRUE(w->Page<TPageTemp>().ButtonNuoviParametri->hasFocus());
    EXPECT_FALSE(w->Page<TPageTemp>().LabelInstr->isVisibleTo(w->TabTemp));
    r.sim().ClearCalls();
    key(' ');
    EXPECT_TRUE(writes(kPoints).empty());
}

TEST_F(PageTemp, EnterTypesThePointInVoltsOrOhm)
{
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    w->Page<TPageTemp>().DrawGridTemp->setFocus();
    // A live count of 255 is 0 ohm.
    live(255);
    w->Page<TPageTemp>().DrawGridTemp->SetCurrent(3, 1);
    answer(QStringLiteral("2200"), 0);
    key(13);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(prefill.toDouble(), 0);
    EXPECT_EQ(ecu(kPoints)[0], 2200 * 255 / (2200 + 2200));
    EXPECT_EQ(w->Page<TPageTemp>().LearningRow, 2);
    // In volts, a percentage of the stored point: 1 V (51) + 100 % = 102.
    ASSERT_TRUE(r.dm().SetEcuTempMotore(1, 51));
    w->Page<TPageTemp>().DrawGridTemp->SetCurrent(2, 2);
    answer(QStringLiteral("100"), 2);
    key(13);
    EXPECT_EQ(ecu(kPoints)[1], 102);
    // Annulla writes nothing; Enter away from the learning row opens nothing.
    r.sim().ClearCalls();
    answer(QStringLiteral("1"), 0, false);
    key(13);
    w->Page<TPageTemp>().DrawGridTemp->SetCurrent(2, 7);
    key(13);
    EXPECT_EQ(opened, 3);
    EXPECT_TRUE(writes(kPoints).empty());
}

TEST_F(PageTemp, DoubleClickChoosesThePoint)
{
    w->Page<TPageTemp>().ButtonNuoviParametriClick();
    answer(QStringLiteral("2.5"), 0);
    // The header holds no point.
    doubleClick(2, 0);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(w->Page<TPageTemp>().LearningRow, 1);
    // The index and temperature columns only choose the row to learn.
    doubleClick(1, 5);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(w->Page<TPageTemp>().LearningRow, 5);
    w->Page<TPageTemp>().DrawGridTemp->SetCurrent(2, 6);
    doubleClick(2, 6);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(ecu(kPoints)[5], 127);
    EXPECT_EQ(w->Page<TPageTemp>().LearningRow, 7);
}

TEST_F(PageTemp, CheckBoxesWriteTheirFlagsAndLoadingWritesNothing)
{
    w->Page<TPageTemp>().TabTempShow();
    EXPECT_TRUE(writes(0x03).empty());
    struct Case {
        QCheckBox* box;
        int flag;
    };
    for (const Case c : {Case{w->Page<TPageTemp>().CheckTempRiduttore, 8}, {w->Page<TPageTemp>().CheckTempGas, 9}}) {
        const bool was = r.dm().GetFlag(c.flag) != 0;
        c.box->click();
        EXPECT_EQ(r.dm().GetFlag(c.flag) != 0, !was) << c.flag;
        c.box->setFocus();
        QTest::keyClick(c.box, Qt::Key_Return);
        EXPECT_EQ(r.dm().GetFlag(c.flag) != 0, was) << c.flag;
    }
}

TEST_F(PageTemp, TheGasSensorListWritesOnlyAChosenOtherType)
{
    ASSERT_EQ(r.dm().GetTipoSensoreTemperaturaGas(), 0);
    ASSERT_EQ(w->Page<TPageTemp>().ComboTempRiduttore->currentIndex(), 0);
    w->Page<TPageTemp>().ComboTempRiduttoreKeyPress(QChar(13));
    w->Page<TPageTemp>().ComboTempRiduttore->setCurrentIndex(-1);
    w->Page<TPageTemp>().ComboTempRiduttoreKeyPress(QChar(13));
    EXPECT_TRUE(writes(0x86).empty());
    w->Page<TPageTemp>().ComboTempRiduttore->setCurrentIndex(1);
    w->Page<TPageTemp>().ComboTempRiduttoreKeyPress(QChar(13));
    EXPECT_EQ(ecu(0x86), (std::vector<std::int32_t>{2}));
    // A stored type the list does not hold shows no choice.
    ASSERT_TRUE(r.dm().SetTipoSensoreTemperaturaGas(1));
    w->Page<TPageTemp>().TabTempShow();
    EXPECT_EQ(w->Page<TPageTemp>().ComboTempRiduttore->currentIndex(), -1);
}

} // namespace
