// Every page of the configuration window against the simulated ECU, on three
// ECUs: the binding tables resolve, the pages show what the data module
// holds, showing writes nothing, Enter on what the user did not touch leaves
// the ECU as it was, and every control a page shows has its place.
#include "config/window/FormConfig.h"
#include "config/window/FormConfigParts.h"
#include "tests/support/rig/DataModuleRig.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "datamodule/core/ItemCatalogue.h"
#include "datamodule/core/ParameterTable.h"
#include "datamodule/core/Scaling.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace {

using protovyx::CallRecord;

bool isWrite(const CallRecord& c)
{
    using protovyx::Op;
    return c.op == Op::WriteValue || c.op == Op::WriteElement || c.op == Op::WriteItem || c.op == Op::WriteCell ||
           c.op == Op::WriteRow;
}

// Whether w is an item of layout l or of one of its nested layouts.
bool inLayout(const QLayout* l, const QWidget* w)
{
    if (!l)
        return false;
    for (int i = 0; i < l->count(); ++i) {
        QLayoutItem* item = l->itemAt(i);
        if (item->widget() == w)
            return true;
        if (item->layout() && inLayout(item->layout(), w))
            return true;
    }
    return false;
}

struct Ecu {
    const char* profile;
    bool variator;
};

void PrintTo(const Ecu& e, std::ostream* os) { *os << e.profile << (e.variator ? " with a variator" : ""); }

class Pages : public ::testing::TestWithParam<Ecu> {
protected:
    Pages() : r({.profile = GetParam().profile}) {}

    void SetUp() override
    {
        r.connectEcu();
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        // The image as a connect leaves it: read from the ECU.
        ASSERT_TRUE(r.dm().TransferData(TStreamDati::TRANSFER_READ_ECU, {}, 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
        if (GetParam().variator)
            r.dm().VariatorePresent = 1;
        w = std::make_unique<TFormConfig>(nullptr);
        w->SetMainHooks({.connect = [] {}, .disconnect = [] {}, .extraInjectionSeen = &extraSeen});
        w->LoadTexts();
        w->resize(1280, 1024);
    }

    void TearDown() override
    {
        if (w && w->isVisible())
            w->done(0);
    }

    // The ECU's whole memory.
    std::map<int, std::vector<std::int32_t>> memory()
    {
        std::map<int, std::vector<std::int32_t>> m;
        for (const auto& item : protovyx::Catalogue(r.sim().CurrentProfile())) {
            std::vector<std::int32_t> v;
            if (item.present && r.sim().PeekItem(item.number, v))
                m[item.number] = v;
        }
        return m;
    }

    // The items whose memory differs between two snapshots.
    static std::string changed(const std::map<int, std::vector<std::int32_t>>& a,
                               const std::map<int, std::vector<std::int32_t>>& b)
    {
        std::string out;
        for (const auto& [item, values] : a) {
            const auto it = b.find(item);
            if (it == b.end() || it->second != values) {
                char buf[16];
                std::snprintf(buf, sizeof buf, " 0x%x", item);
                out += buf;
            }
        }
        return out;
    }

    std::vector<int> visiblePages() const
    {
        std::vector<int> pages;
        for (int p = 0; p <= cfgwin::PageTest; ++p)
            if (w->PageTabVisible(p))
                pages.push_back(p);
        return pages;
    }

    rig::DataModuleRig r;
    std::unique_ptr<TFormConfig> w;
    bool extraSeen = false;
};

TEST_P(Pages, EveryBindingRowResolvesToItsControlAndItem)
{
    for (int p = 0; p < cfgwin::kPageCount; ++p) {
        for (const TFormConfig::Binding& row : TFormConfig::PageBindings(p)) {
            SCOPED_TRACE(row.name);
            QWidget* control = w->Control(QString::fromLatin1(row.name));
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(w->Page(p)->isAncestorOf(control)) << "on page " << cfgwin::PageName(p);
            // The member is the control.
            std::visit([&](auto member) { EXPECT_EQ(static_cast<QWidget*>(member(w->BindingOwner(p))), control); },
                       row.member);
            if (auto* e = qobject_cast<TNumericEdit*>(control)) {
                EXPECT_EQ(e->DataCode(), row.code);
                EXPECT_EQ(e->DataIndex(), row.index);
            } else if (auto* c = qobject_cast<TKeyComboBox*>(control)) {
                EXPECT_EQ(c->DataCode(), row.code);
            }
            // A code the data module scales (a hidden holder: an item it knows).
            if (row.code >= 0) {
                EXPECT_TRUE(dm::ValueRangeOfCode(row.code, row.index, 2560).has_value() ||
                            ((row.flags & cfgwin::kHidden) && dm::FindItem(dm::ItemNumber(row.code))));
            }
            if (row.captionName) {
                auto* caption = qobject_cast<QLabel*>(w->Control(QString::fromLatin1(row.captionName)));
                ASSERT_NE(caption, nullptr) << row.captionName;
                EXPECT_EQ(caption->text(), rig::text(row.CaptionText())) << row.captionName;
            }
            if (row.unitName && row.UnitText()) {
                auto* unit = qobject_cast<QLabel*>(w->Control(QString::fromLatin1(row.unitName)));
                ASSERT_NE(unit, nullptr) << row.unitName;
                EXPECT_EQ(unit->text(), rig::text(row.UnitText())) << row.unitName;
            }
        }
    }
}

TEST_P(Pages, ShowingEveryPageWritesNothingAndShowsTheModulesValues)
{
    r.sim().ClearCalls();
    w->show();
    for (int p : visiblePages()) {
        SCOPED_TRACE(cfgwin::PageName(p));
        w->SetActivePage(p, true);
        for (const TFormConfig::Binding& row : TFormConfig::PageBindings(p)) {
            if (!(row.flags & cfgwin::kLoadByCode) || row.code < 0)
                continue;
            auto* e = qobject_cast<TNumericEdit*>(w->Control(QString::fromLatin1(row.name)));
            if (!e)
                continue;
            SCOPED_TRACE(row.name);
            const double held = static_cast<double>(row.index < 0 ? r.dm().GetValueByCode(row.code)
                                                                   : r.dm().GetElementByCode(row.code, row.index));
            // What the editor holds is the module's value, to its step.
            const double clamped = std::clamp(held, e->MinValue(), e->MaxValue());
            EXPECT_NEAR(e->LastValue(), clamped, e->Precision() / 2 + 1e-9);
        }
    }
    for (const auto& c : r.sim().Calls())
        EXPECT_FALSE(isWrite(c)) << c.name << " 0x" << std::hex << c.code;
}

// The editors that take their item's limits show those of their parameter's
// description at the module's time base, once their page has loaded.
TEST_P(Pages, AnEditorWithItsItemsLimitsShowsItsParametersRange)
{
    w->show();
    int seen = 0;
    for (int p : visiblePages()) {
        SCOPED_TRACE(cfgwin::PageName(p));
        w->SetActivePage(p, true);
        for (const TFormConfig::Binding& row : TFormConfig::PageBindings(p)) {
            if (!row.limits.fromItem || !(row.flags & cfgwin::kLoadByCode))
                continue;
            auto* e = qobject_cast<TNumericEdit*>(w->Control(QString::fromLatin1(row.name)));
            ASSERT_NE(e, nullptr) << row.name;
            SCOPED_TRACE(row.name);
            ASSERT_NE(row.Parameter(), nullptr);
            const auto range = row.Parameter()->Range(r.dm().GetTimeBase());
            ASSERT_TRUE(range.has_value());
            EXPECT_DOUBLE_EQ(e->MinValue(), range->min);
            EXPECT_DOUBLE_EQ(e->MaxValue(), range->max);
            EXPECT_DOUBLE_EQ(e->Precision(), range->step);
            ++seen;
        }
    }
    EXPECT_GT(seen, 10);
}

TEST_P(Pages, EnterOnWhatWasNotTouchedLeavesTheEcuAsItWas)
{
    w->show();
    const auto before = memory();
    for (int p : visiblePages()) {
        SCOPED_TRACE(cfgwin::PageName(p));
        w->SetActivePage(p, true);
        for (const TFormConfig::Binding& row : TFormConfig::PageBindings(p)) {
            QWidget* control = w->Control(QString::fromLatin1(row.name));
            if (!control || !control->isVisibleTo(w->Page(p)))
                continue;
            if (!qobject_cast<TNumericEdit*>(control) && !qobject_cast<TKeyComboBox*>(control))
                continue;
            SCOPED_TRACE(row.name);
            const auto one = memory();
            if (auto* combo = qobject_cast<TKeyComboBox*>(control)) {
                // The item it shows chosen again: the list commits it as Enter.
                emit combo->activated(combo->currentIndex());
            } else {
                control->setFocus();
                QTest::keyClick(control, Qt::Key_Return);
            }
            EXPECT_EQ(changed(one, memory()), "");
        }
    }
    EXPECT_EQ(changed(before, memory()), "");
}

TEST_P(Pages, ACheckBoxClickedTwiceEndsWhereItStarted)
{
    w->show();
    // The sequence boxes learn from a running engine, and the engine sensor
    // box re-expresses the temperature thresholds through the other sensor's
    // table (a round trip may move them by a step); they have their own tests.
    const std::set<QString> own = {QStringLiteral("CheckModificaSequenza"), QStringLiteral("CheckModificaSequenza2"),
                                   QStringLiteral("CheckTempMotore")};
    for (int p : visiblePages()) {
        SCOPED_TRACE(cfgwin::PageName(p));
        w->SetActivePage(p, true);
        for (const TFormConfig::Binding& row : TFormConfig::PageBindings(p)) {
            auto* check = qobject_cast<QCheckBox*>(w->Control(QString::fromLatin1(row.name)));
            if (!check || !check->isVisibleTo(w->Page(p)) || own.count(check->objectName()) || !check->isEnabled())
                continue;
            SCOPED_TRACE(row.name);
            const auto before = memory();
            check->click();
            check->click();
            // What the box itself writes is back as it was (the official-set
            // marker, bit 7 of item 0x35's first element, goes with any write).
            auto after = memory();
            if (before.count(0x35) && after.count(0x35) && !after[0x35].empty())
                after[0x35][0] = (after[0x35][0] & ~0x80) | (before.at(0x35)[0] & 0x80);
            EXPECT_EQ(changed(before, after), "");
        }
    }
}

TEST_P(Pages, EveryControlAPageShowsHasItsPlace)
{
    w->show();
    const std::set<QString> placedByHand = {QStringLiteral("LabelLimite"), QStringLiteral("PanelBarra"),
                                            QStringLiteral("ComboSequenza")};
    const std::set<QString> handPlacedPanels = {QStringLiteral("PanelMappaK"), QStringLiteral("PanelEmissioniGrids")};
    for (int p : visiblePages()) {
        SCOPED_TRACE(cfgwin::PageName(p));
        w->SetActivePage(p, true);
        QWidget* page = w->Page(p);
        for (QWidget* c : page->findChildren<QWidget*>()) {
            if (c->objectName().isEmpty() || !c->isVisibleTo(page) || placedByHand.count(c->objectName()))
                continue;
            QWidget* parent = c->parentWidget();
            // Inside another control (a list's popup, an editor's parts).
            if (!parent->layout() && parent != page && parent->objectName().isEmpty())
                continue;
            if (w->PanelBarra->isAncestorOf(c))
                continue;
            // The map grids with their axis shapes and titles: one panel in
            // the page's layout, its children placed over the grid's cells.
            if (handPlacedPanels.count(parent->objectName()))
                continue;
            EXPECT_TRUE(inLayout(parent->layout(), c)) << c->objectName().toStdString() << " in "
                                                        << parent->objectName().toStdString();
        }
    }
}

// Every row with a code shows a parameter the data module describes and
// takes its caption and unit from that description alone; every description
// is shown by some row.
TEST(PageBindings, EveryRowWithACodeShowsADescribedParameter)
{
    std::set<const dm::Parameter*> shown;
    for (int p = 0; p < cfgwin::kPageCount; ++p) {
        for (const TFormConfig::Binding& row : TFormConfig::PageBindings(p)) {
            if (row.code < 0)
                continue;
            SCOPED_TRACE(row.name);
            const dm::Parameter* parameter = row.Parameter();
            ASSERT_NE(parameter, nullptr) << "code " << row.code << " element " << row.index;
            EXPECT_EQ(parameter, dm::FindParameter(row.code, row.index));
            EXPECT_EQ(row.caption, 0) << "a caption of the row's own beside its parameter's";
            EXPECT_EQ(row.unit, 0) << "a unit of the row's own beside its parameter's";
            EXPECT_EQ(row.CaptionText(), parameter->caption);
            EXPECT_EQ(row.UnitText(), parameter->unit);
            if (row.limits.fromItem)
                EXPECT_TRUE(parameter->Range(2560).has_value());
            shown.insert(parameter);
        }
    }
    for (const dm::Parameter& p : dm::Parameters())
        EXPECT_TRUE(shown.count(&p)) << "no row shows code " << p.code << " element " << p.index;
}

INSTANTIATE_TEST_SUITE_P(Ecus, Pages,
                         ::testing::Values(Ecu{"type=30", false}, Ecu{"type=30;fuel=cng", false},
                                           Ecu{"type=55", true}),
                         [](const ::testing::TestParamInfo<Ecu>& info) {
                             std::string name = info.param.profile;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
