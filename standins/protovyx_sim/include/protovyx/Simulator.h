#pragma once
// The simulated ECU behind the stand-in protocol library "ProtoVyx".
//
// Usage in a test (link target protovyx_sim; no Qt needed):
//
//     #include "protovyx/Simulator.h"
//     protovyx::Simulator sim("type=55;fw=7.2");      // profile text, see below
//     protovyx::TickClock<plat::testing::FakeClock> simClock(fakeClock);
//     sim.SetClock(&simClock);                        // share the test's virtual time
//     TEcuProtocol* ecu = &sim;                       // hand it to the code under test
//     sim.AddFault({.op = protovyx::Op::ReadRow, .code = 0xc154, .skip = 3});
//     ... run the code ...
//     sim.Calls();                                    // every call, in order
//     sim.Violations();                               // malformed calls (should be empty)
//     std::vector<int32_t> v; sim.PeekItem(0x54, v);  // the ECU's memory, no link
//
// To put it behind TVyxConnection without a real library, give a fake library
// loader the exports of InProcessExportsOf(&sim) (they create nothing: every
// _CreateClassInstance hands out `sim`, _DestroyClassInstance records only).
//
// Profile text: "key=value;key=value" (also PROTOVYX_SIM for the library).
//   type=30|31|50|53|54|55|56|79|37|38   fw=30.4   model=5   hw=2 (item 0x15)
//   type=3 (boot mode: an ECU of boottype=30|31|... without application)
//   customer=1|absent   pcmin=1.0 pcrec=1.0 (major.minor)   tb=2560
//   mapcols=12 maprows=12 (time axis; the K map has maprows+1 rows)
//   framelen=50   port=1   absent=0xab,0x2332   present=0|1   boot=0|1
//   obd=0|1 (whether ReadBlock answers the OBD blocks 8 and 9; by default
//     the OBD types 55 and 56 do; the others answer status 4)
//   lost=0|1   fresh=0|1 (item 1 bit 0 set)   strict=1|0   rebootms=1500
//   latency=<ms> perbyte=<us>   fuel=lpg|cng   warmup=<s>   neverready=0|1
//     (the engine idles on petrol for the warm-up, then drives on gas in a
//     30-second cycle of rpm, petrol time and MAP: warmup=1 gives a moving
//     operating point at once)
//   banks=1|2 (the type's by default: types 31, 53 and 56 have two; with
//     banks=2 the ECU also reports a second lambda probe: bit 2 of item 3
//     element 0 clear, bit 4 of item 0xab set; a two-bank frame carries the second bank's lambda and
//     times, and both probes' signal bits while on gas)
//   fuelsweep=<s> (0: a fixed gas level count of 150; else the count runs
//     from 20, full, to 220, reserve, and back in that many seconds)
//   trace=<file> (one line per call)
//   counters=0|1 (the running-time counters advance with the clock: seconds
//     on petrol until the warm-up ends, then on gas, in item 0x56 elements 2
//     and 0, 1; every 1200 s carries one unit into 0x3c or 0x3b and 0x55;
//     the switch to gas counts one start in 0x4e; off by default here, on in
//     the loadable library)
//   errors=<w0>,<w1>,... (diagnostic state words, item 0x1d, at key on)
//   gasfaults=<mask> petrolfaults=<mask> (injector fault masks at key on:
//     low byte in item 0x20 / 0x21, high byte in 0x22 / 0x23)
//     Item 0x2ac is the gas-injector exclusion mask; writing {0, 0} to
//     0x2361 clears the state words and the four fault masks.
//   set=<item>:<v0>,<v1>,... (the item's elements from 0 at key on, raw, one
//     key per item, e.g. set=0x24:131;set=0x25:32,82,113,139 for an inverted
//     level sender)
//   program=<r>,<r>,... (the results of the next programming attempts, one
//     per attempt, e.g. "1,1,0" or "-1002"; then the image decides)
//   programms=<ms> (how long a programming takes; 0 by default)
//   fail=<op>:<code|item:N>[:row<r>][:skip<n>][:times<n>][:status<s>][:lose]
//     (op: an Op name, any case, e.g. fail=ReadRow:0xc154:row3:status1)
//   Auto-calibration (SendCommand 0x1B measuring step, 0x13 start, 0x14
//   progress, 0x15 abort, 0x12 close):
//   autocalms=<ms> (24000: from the start to phase 12, the phases 0..11
//     evenly spread)   autocalwarm=<s> (0: first a warm-up wait, phase 13
//     with the seconds left)   autocalflags=<mask> (0x02: the refusal flags
//     of autocalfault=refuse)   autocalpetrol=<ms> (18: the petrol time the
//     measuring step measures with the pedal down)   autocalk=<percent>
//     (104: at phase 12 the ECU scales every map-K cell, item 0x54, by it,
//     within 0..255)
//   autocalfault=none|never|refuse|drop|nostart|nomeasure: never stays at
//     phase 11; refuse answers every progress poll with phase 0 and
//     autocalflags; drop loses the link on the first poll at phase 6 or
//     later (the ECU gives its calibration up, map K unchanged); nostart
//     refuses 0x13; nomeasure refuses 0x1B.
//   0x1B 0 begins the measuring step: until 0x1B 2 (or 0x13) the live frame
//   shows the engine on petrol, 6 s at idle (800 rpm, 3 ms), 1.5 s pedal
//   down (3200 rpm, autocalpetrol ms), 2.5 s idle, over again; 0x1B 1
//   replies that petrol time (2 bytes, low first, time units). 0x14 answers
//   phase 0xFF while no calibration runs. 0x15 drops the calibration (map K
//   unchanged) and, like 0x12, restarts the application.
// Unknown keys are ignored. Items are named by item number (code & 0xFF) in
// PeekItem/PokeItem/SetItemPresent.
//
// Status of GetLastStatus after every ECU-talking call: 0 success, 1 link
// failure (closed link, silent ECU, reboot, time-out), 4 the ECU has no such
// item, 0x10 a malformed call (a wrong code shape, a row or index out of
// range, a write to a read-only item; and in strict mode, the default here, a
// value out of its element's range, which strict=0 stores masked). Every
// malformed call is listed in Violations(). A failed call leaves the caller's
// buffers untouched. Writes while the link is closed succeed and change
// nothing. A SendCommand reply may use max(size, *length) bytes of the buffer.
// The loadable library starts from "strict=0;latency=2;perbyte=50;
// programms=4000;counters=1" before the user's profile text.
//
// Programming (ProgramFirmwareImage(image, 2, 0, 1)): image is a 32-bit
// little-endian byte count N (at most 4 MiB) and N bytes of S-record text,
// never read beyond. The ECU checks the records (syntax, count, checksum;
// exactly three S0 records first, the second with the metadata; data inside
// the application range of the ECU's type, qz::firmware::ApplicationRangeOf,
// 0x4000-0x3FFFF; one end record last) and the metadata (its type = the
// ECU's, its variant mask holds item 0x15's variant), and sends
// WM_WAITPROGRESS (percentage in WParam, LParam 0) to the notify target
// synchronously every 5 %. Results: 0 done: the ECU runs the image's type and
// version (FirmwareMajor = version >> 8), its parameters are the defaults,
// item 0x40 is 253 and item 0x233 is 0, the link closes (posts 0) and the
// ECU restarts; -1 no ECU answers; -2 malformed image; -3 an image for
// another type or variant (or for an ECU type without a range); these three
// and the scripted 1 (low supply) and 2 (no boot loader) leave the ECU
// unchanged. -4 (data outside the flash), -5,
// -1000 - k and any other scripted result leave it in boot mode: no
// application, Connect and item calls fail, DetectEcu answers 0x03MM with
// the type in BootExtra.
//
// Simulator is not copyable. Calls from several threads are serialised; the
// notify target is never called with the simulator's lock held.
#include "complib/EcuProtocol.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace protovyx {

// Time as the simulator sees it. The default is the steady clock.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::uint32_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// Adapts any clock with tickCount() and sleep(ms) (plat::Clock, FakeClock).
template <typename C>
class TickClock final : public IClock {
public:
    explicit TickClock(C& clock) : clock_(clock) {}
    std::uint32_t NowMs() override { return static_cast<std::uint32_t>(clock_.tickCount()); }
    void SleepMs(std::uint32_t ms) override { clock_.sleep(ms); }

private:
    C& clock_;
};

enum class Op {
    Any, ReadItem, ReadRow, ReadBlock, WriteItem, WriteValue, WriteElement, WriteCell,
    WriteRow, SendCommand, GetItemFormat, Connect, DetectEcu, GetEcuInfo, Program,
    // In a fault only: any of the five writes (WriteItem ... WriteRow).
    AnyWrite,
    // Calls that never fail (recorded in the log only).
    Other,
};
const char* OpName(Op op);

// Fails matching calls: skip lets that many matching calls pass first, times
// is how many then fail (-1 = every one). code is the exact item code (or
// command, block), or with matchItem the item number; -1 matches any.
struct FaultSpec {
    Op op = Op::Any;
    std::int32_t code = -1;
    bool matchItem = false;
    std::int32_t row = -1;
    int skip = 0;
    int times = 1;
    std::int32_t status = ECU_STATUS_LINK;
    bool thenLoseLink = false;
};

struct CallRecord {
    std::uint64_t seq = 0;
    Op op = Op::Other;
    std::string name;          // the operation's name ("ReadItem", "Disconnect", ...)
    std::int32_t code = 0;     // item code, command or block
    std::int32_t row = -1;     // row, index or element; -1 when not used
    std::int32_t column = -1;
    std::vector<std::int32_t> in;  // values or bytes sent
    std::vector<std::int32_t> out; // values or bytes returned (success only)
    bool result = true;
    std::int32_t status = 0;   // GetLastStatus after the call
    std::uint32_t timeMs = 0;  // the clock when the call started
};

struct Notification {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool sent;                 // Send (true) or Post (false)
};

enum class AutocalFault { None, Never, Refuse, Drop, NoStart, NoMeasure };

// The simulated ECU's settings (see the profile keys above).
struct Profile {
    int type = 30;
    int fwMajor = 30, fwMinor = 4;
    int model = 5;
    int hwVariant = 2;
    std::optional<int> customer = 1;
    int pcMin = 0x0100, pcRec = 0x0100;
    int timeBase = 2560;
    int mapCols = 12, mapRows = 12;
    int frameLength = 50;
    int obd = -1; // -1: by type
    int port = 1;
    bool present = true, bootMode = false, lost = false, fresh = false;
    bool strict = true, neverReady = false;
    bool cng = false;
    int rebootMs = 1500;
    int latencyMs = 0, perByteUs = 0;
    int warmupS = 60;
    int banks = 0;      // 0: the type's
    int fuelSweepS = 0; // 0: a fixed gas level
    std::vector<int> programResults; // scripted, one per attempt
    int programMs = 0;
    std::vector<int> absent;   // item numbers, on top of the type's own
    std::vector<FaultSpec> faults;
    std::string trace;
    bool counters = false;             // running-time counters advance
    std::vector<int> errors;           // diagnostic state words 0..4 at key on
    int gasFaults = 0, petrolFaults = 0; // injector fault masks at key on
    // Item values at key on (set=<item>:<v0>,<v1>,...), from element 0.
    std::vector<std::pair<int, std::vector<std::int32_t>>> values;
    int autocalMs = 24000;             // auto-calibration (see the keys above)
    int autocalWarmS = 0;
    int autocalFlags = 0x02;
    int autocalPetrolMs = 18;
    int autocalKPercent = 104;
    AutocalFault autocalFault = AutocalFault::None;

    // Starts from the defaults and applies the text's keys; false (and the
    // first bad key in *error) when a value does not parse.
    static bool Parse(std::string_view text, Profile& out, std::string* error = nullptr);
};

// Where the library reads its profile: PROTOVYX_SIM, else the file named by
// PROTOVYX_SIM_FILE, else "protovyx-sim.ini" in libraryFolder, else "".
std::string ProfileTextFromEnvironment(const std::string& libraryFolder);

// Observation and fault injection. The library exports it as "_SimControl".
class ISimControl {
public:
    virtual void SetProfile(std::string_view profileText) = 0;   // resets the ECU, link closed
    virtual const Profile& CurrentProfile() const = 0;
    virtual void SetClock(IClock* clock) = 0;             // null: the steady clock
    virtual void SetStrict(bool strict) = 0;

    virtual void AddFault(const FaultSpec& fault) = 0;
    virtual void ClearFaults() = 0;
    virtual void SetItemPresent(int item, bool present) = 0;
    // The ECU's memory, without the link: every element, row-major.
    virtual bool PeekItem(int item, std::vector<std::int32_t>& values) const = 0;
    virtual bool PokeItem(int item, std::span<const std::int32_t> values) = 0;

    virtual void SetSilent(bool silent) = 0;  // open but not answering
    virtual void LoseLink() = 0;              // closes the link, posts 0
    virtual void RestoreLink() = 0;
    virtual void SetLatency(int ms, int perByteUs = 0) = 0;
    virtual void SetPresent(bool present) = 0;
    virtual void SetBootMode(bool boot) = 0;
    virtual void SetRebootMs(int ms) = 0;
    virtual void SetNeverReady(bool neverReady) = 0;
    virtual void SwapIdentity(std::span<const std::uint8_t, 20> identity) = 0;
    virtual void SetLiveFrameLength(int bytes) = 0;
    // How many bytes of block 8 or 9 the next replies carry, at most (-1:
    // the whole block, as at the start).
    virtual void SetBlockReplyLength(int block, int bytes) = 0;
    // Replaces a command's answer: nullopt reply with ok=false fails it.
    virtual void SetCommandOverride(int command, std::optional<std::vector<std::uint8_t>> reply,
                                    bool ok) = 0;

    virtual bool LinkOpen() const = 0;
    virtual bool Rebooting() const = 0;
    virtual int CurrentPort() const = 0;
    virtual std::vector<CallRecord> Calls() const = 0;
    virtual void ClearCalls() = 0;
    virtual std::vector<Notification> Notifications() const = 0;
    virtual void ClearNotifications() = 0;
    virtual std::vector<std::string> Violations() const = 0;
    virtual void ClearViolations() = 0;
    virtual std::string MessageText(int index) const = 0;
    virtual std::string MessageCaption() const = 0;
    virtual std::int32_t TimeoutMs() const = 0;
    // Replaces the scripted programming results (see program= above).
    virtual void SetProgramResults(std::vector<int> results) = 0;
    virtual void SetProgramDurationMs(int ms) = 0;

protected:
    ~ISimControl() = default;
};

// The simulated ECU: a TEcuProtocol and its control.
class Simulator final : public TEcuProtocol, public ISimControl {
public:
    explicit Simulator(std::string_view profile = {});
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    TEcuProtocol* Protocol() { return this; }
    ISimControl* Control() { return this; }

    // TEcuProtocol
    std::int32_t GetComPort() override;
    void SetComPort(std::int32_t port) override;
    void SetLinkOptionA(std::int32_t value) override;
    void SetLinkOptionB(std::int32_t value) override;
    void SetLinkOptionC(std::int32_t value) override;
    void Shutdown() override;
    void SetMessageCaption(const char* text) override;
    void SetMessageText(const char* text, std::int32_t index) override;
    void SetNotifyWindow(plat::NotifyTarget* window) override;
    void BeginReconnect() override;
    void EndReconnect() override;
    void Prepare() override;
    void SetTimeout(std::int32_t ms) override;
    bool GetEcuInfo(TEcuInfo* info) override;
    bool Connect() override;
    void Disconnect() override;
    bool SendCommand(std::int32_t command, std::uint8_t* buffer, std::int32_t* length,
                     std::int32_t size) override;
    bool ReadItem(std::int32_t code, std::int32_t* values) override;
    bool ReadRow(std::int32_t code, std::int32_t* values, std::int32_t row) override;
    bool ReadBlock(std::int32_t block, std::uint8_t* buffer, std::int32_t* length) override;
    bool WriteItem(std::int32_t code, const std::int32_t* values) override;
    bool WriteValue(std::int32_t code, std::int32_t value) override;
    bool WriteElement(std::int32_t code, std::int32_t index, std::int32_t value) override;
    bool WriteCell(std::int32_t code, std::int32_t row, std::int32_t column, std::int32_t value) override;
    bool WriteRow(std::int32_t code, const std::int32_t* values, std::int32_t row) override;
    std::int8_t GetItemFormat(std::int32_t address, std::int32_t count) override;
    bool DetectEcu(TBootInfo* info) override;
    bool IsApplicationRunning() override;
    bool IsConnected() override;
    std::int32_t GetLastStatus() override;
    bool IsWirelessAdapterPresent() override;
    void ShowWirelessAdapterDialog() override;
    std::int32_t ProgramFirmwareFile(const char* fileName, std::int32_t a, std::int32_t b,
                                     std::int32_t c) override;
    std::int32_t ProgramFirmwareImage(const void* image, std::int32_t a, std::int32_t b,
                                      std::int32_t c) override;

    // ISimControl
    void SetProfile(std::string_view profileText) override;
    const Profile& CurrentProfile() const override;
    void SetClock(IClock* clock) override;
    void SetStrict(bool strict) override;
    void AddFault(const FaultSpec& fault) override;
    void ClearFaults() override;
    void SetItemPresent(int item, bool present) override;
    bool PeekItem(int item, std::vector<std::int32_t>& values) const override;
    bool PokeItem(int item, std::span<const std::int32_t> values) override;
    void SetSilent(bool silent) override;
    void LoseLink() override;
    void RestoreLink() override;
    void SetLatency(int ms, int perByteUs = 0) override;
    void SetPresent(bool present) override;
    void SetBootMode(bool boot) override;
    void SetRebootMs(int ms) override;
    void SetNeverReady(bool neverReady) override;
    void SwapIdentity(std::span<const std::uint8_t, 20> identity) override;
    void SetLiveFrameLength(int bytes) override;
    void SetBlockReplyLength(int block, int bytes) override;
    void SetCommandOverride(int command, std::optional<std::vector<std::uint8_t>> reply,
                            bool ok) override;
    bool LinkOpen() const override;
    bool Rebooting() const override;
    int CurrentPort() const override;
    std::vector<CallRecord> Calls() const override;
    void ClearCalls() override;
    std::vector<Notification> Notifications() const override;
    void ClearNotifications() override;
    std::vector<std::string> Violations() const override;
    void ClearViolations() override;
    std::string MessageText(int index) const override;
    std::string MessageCaption() const override;
    std::int32_t TimeoutMs() const override;
    void SetProgramResults(std::vector<int> results) override;
    void SetProgramDurationMs(int ms) override;

    struct State;

private:
    std::unique_ptr<State> s_;
};

// One element shape of the catalogue (for tests that compare catalogues).
struct ItemInfo {
    int number;
    int width;        // 1 or 2 bytes
    bool isSigned;
    int rows, cols;   // a vector has rows 1
    bool readOnly, writeOnly;
    const char* name;
    bool present;     // false: this profile's ECU answers it with status 4
};
// Every item of the catalogue, sized as the given profile sizes it (the K-map
// items, the form of 0x7c), with whether that profile's ECU has it.
std::vector<ItemInfo> Catalogue(const Profile& profile);

// Exports for a fake library loader that hand out an existing simulator.
struct InProcessExports {
    void* createClassInstance;
    void* destroyClassInstance;
    void* getDllVersion; // {1, 0, 0, 0}
};
// Points the exports at sim (not owned; null stops them creating).
InProcessExports InProcessExportsOf(Simulator* sim);

} // namespace protovyx
