// A whole-image read whose link drops part-way, answered No: the data module
// holds exactly what it held before (no mix of the ECU's values and the
// earlier ones, no flag or identity of the other ECU); a read that ends well
// replaces it.
#include "TransferSupport.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <sstream>

namespace {

using tx::kAll;
using tx::TransferRig;
using T = TStreamDati;

// Every field of the data module that a window, a file or the next pass
// reads, by name, listed here apart from the data module's own code.
using Fields = std::map<std::string, std::vector<long long>>;

template <class C>
std::vector<long long> all(const C& c)
{
    return {c.begin(), c.end()};
}

std::vector<long long> tableOf(const dm::SensorTable& t)
{
    std::vector<long long> v = all(t.counts);
    v.insert(v.end(), {t.points, t.first, t.step, t.pullUp, t.k});
    return v;
}

Fields stateOf(const TStreamDati& d)
{
    const auto image = d.Image.All();
    const auto& e = d.EcuInfo;
    return {
        {"Image", {image.begin(), image.end()}},
        {"NumeroRighe, NumeroColonne", {d.NumeroRighe, d.NumeroColonne}},
        {"RememberedSwitchRpm", {d.RememberedSwitchRpm}},
        {"present flags",
         {d.TargetObdPresent, d.CoeffPressDiffByte, d.VariatorePresent, d.RifMapVariatorePresent,
          d.RifDelayGasTempPresent, d.ItemB5Present, d.IniettateGasCutoffPresent, d.Flag34Present, d.ItemBCPresent,
          d.Item264Present, d.TipiLambdaPresent}},
        {"NoteConfig", all(d.NoteConfig)},
        {"Identity", all(d.Identity)},
        {"PreviousIdentity", all(d.PreviousIdentity)},
        {"NomeConfigurazione", all(d.NomeConfigurazione)},
        {"FileName", all(d.FileName)},
        {"DescrizAuto", all(d.DescrizAuto)},
        {"Euro", all(d.Euro)},
        {"Motore", all(d.Motore)},
        {"Centralina", all(d.Centralina)},
        {"Cambio", all(d.Cambio)},
        {"vehicle numbers",
         {d.CentCubici, d.Valvole, d.NCilindri, std::bit_cast<std::int32_t>(d.Potenza), d.AnnoVettura}},
        {"VersioneFirmware", all(d.VersioneFirmware)},
        {"VersioneProgramma", all(d.VersioneProgramma)},
        {"VersioneWindows", all(d.VersioneWindows)},
        {"EcuInfo, CustomerCode",
         {e.EcuStatus, e.EcuType, e.FirmwareMinor, e.FirmwareMajor, e.BootEcuType, d.CustomerCode}},
        {"Modified, WriteThrough", {d.Modified, d.WriteThrough}},
        {"poll state", {d.PollItem, d.PreviousPollItem, d.IdentityChanged, d.LiveLength, d.DiagnosticErrorState}},
        {"LiveBlock", all(d.LiveBlock)},
        {"gas sensor table", tableOf(dm::GasSensorTable())},
        {"engine sensor table", tableOf(dm::EngineSensorTable())},
    };
}

// The fields that differ, with how many elements and the first of them.
std::string differences(const Fields& before, const Fields& after)
{
    std::ostringstream out;
    for (const auto& [name, was] : before) {
        const std::vector<long long>& now = after.at(name);
        int changed = 0;
        std::size_t first = 0;
        for (std::size_t i = 0; i < std::min(was.size(), now.size()); ++i)
            if (was[i] != now[i] && changed++ == 0)
                first = i;
        if (changed)
            out << name << ": " << changed << " of " << was.size() << " changed, first [" << first << "] " << was[first]
                << " -> " << now[first] << "; ";
    }
    return out.str();
}

// An ECU whose image differs from the data module's in every kind of field
// a read fills: map size, time base, absent items, a note, a gas sensor.
constexpr char kProfile[] = "type=30;fw=30.4;tb=2000;mapcols=8;maprows=10;absent=0xab,0x27;set=0x86:2";

// The data module as a workshop has it before the read: what the last ECU
// or file left, unsaved changes included.
void prepare(TransferRig& r)
{
    auto& d = r.dm();
    d.BuildTemperaturaGasTable(0);
    d.BuildTempMotoreTable(false);
    d.TipiLambdaPresent = 1;
    d.VariatorePresent = 1;
    d.CoeffPressDiffByte = 1;
    std::strncpy(d.NoteConfig.data(), "BEFORE THE READ", d.NoteConfig.size() - 1);
    d.Identity.fill(7);
    d.PreviousIdentity.fill(7);
    d.Modified = 0;
    const auto note = std::vector<std::int32_t>(48, 0x21);
    r.sim().PokeItem(0x1b, note);
}

// Where in a whole read the link drops (the n-th call of one kind), or
// none; and the answer to the retry question.
struct Case {
    const char* name;
    bool drop;
    protovyx::Op op;
    std::int32_t code; // -1: any
    int skip;
    std::int32_t groups;
    int answer;
    bool replaced;   // the read ended well in the end
    bool readBefore; // the data module read this ECU before and changed map K since
};

void expectReplaced(TransferRig& r)
{
    const auto& d = r.dm();
    EXPECT_EQ(d.GetTimeBase(), 2000);
    EXPECT_EQ(d.NumeroColonne, 8);
    EXPECT_EQ(d.NumeroRighe, 10);
    EXPECT_EQ(d.TipiLambdaPresent, 0);
    EXPECT_EQ(d.CoeffPressDiffByte, 0);
    EXPECT_EQ(*d.Item(0x86), 2);
    const auto mapRow = tx::ecuItem(r.sim(), 0x54);
    EXPECT_TRUE(std::equal(mapRow.begin(), mapRow.begin() + 8, d.Item(0x54)));
    const auto id = tx::ecuItem(r.sim(), 0);
    EXPECT_TRUE(std::equal(id.begin(), id.end(), d.Identity.begin()));
    EXPECT_STRNE(d.NoteConfig.data(), "BEFORE THE READ");
    // The gas sensor table follows the sensor the ECU has.
    dm::SensorTable gas;
    gas.Build(*dm::GasSensorCharacteristic(2));
    EXPECT_EQ(dm::GasSensorTable().counts, gas.counts);
    EXPECT_EQ(d.Modified, 1);
}

TEST(TransferRead, ReplacesTheDataModuleOnlyWhenItEndsWell)
{
    using protovyx::Op;
    const Case cases[] = {
        {"call 10 drops", true, Op::Any, -1, 10, kAll, plat::IDNO, false, false},
        {"call 100 drops", true, Op::Any, -1, 100, kAll, plat::IDNO, false, false},
        {"call 200 drops", true, Op::Any, -1, 200, kAll, plat::IDNO, false, false},
        // The closing block's read of the date, the last of the pass.
        {"the last call drops", true, Op::ReadItem, 0x21e, 0, kAll, plat::IDNO, false, false},
        // Map K of 8 columns.
        {"row 5 of map K drops in the auto-calibration's read of group 8", true, Op::ReadRow, 0x8154, 5, 8, plat::IDNO,
         false, true},
        {"no drop", false, Op::Any, -1, 0, kAll, 0, true, false},
        // The retried read (the link comes back) starts again from the state
        // before and ends well.
        {"call 100 fails, retried", true, Op::Any, -1, 100, kAll, plat::IDYES, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransferRig r({.profile = kProfile});
        prepare(r);
        r.connectEcu();
        if (c.readBefore) {
            ASSERT_TRUE(r.transfer(T::TRANSFER_READ_ECU));
            std::fill_n(r.dm().Item(0x54), 12 * 13, 99);
            r.dm().Modified = 0;
            r.sim().ClearCalls();
        }
        if (c.drop) {
            r.sim().AddFault({.op = c.op, .code = c.code, .skip = c.skip, .thenLoseLink = !c.replaced});
            // No to any further question, so that a fault cannot retry forever.
            r.prompts.script({c.answer, plat::IDNO, plat::IDNO});
        }
        const Fields before = stateOf(r.dm());

        EXPECT_EQ(r.transfer(T::TRANSFER_READ_ECU, {}, 0, c.groups), c.replaced);

        // The retry question told the user of a drop, and nothing else was asked.
        ASSERT_EQ(r.prompts.shown().size(), c.drop ? 1u : 0u);
        if (c.drop) {
            EXPECT_EQ(r.prompts.shown()[0].text, "T303 T47");
        }
        const Fields after = stateOf(r.dm());
        if (c.replaced) {
            expectReplaced(r);
        } else {
            EXPECT_TRUE(after == before) << differences(before, after);
        }
    }
}

} // namespace
