#pragma once
// The fixed sequence of item blocks that one whole-image pass walks: for each
// block its configuration-file section and keys, its ECU item, its transfer
// groups, its defaults, how it moves to and from the ECU, its hex-script
// record and its progress code. The walk (TransferData.cpp) executes the rows;
// the blocks whose notes need steps of their own name a hook.
#include <cstdint>
#include <span>
#include <vector>

namespace dm::transfer {

// How the block's keys are named.
enum class Keys : std::uint8_t {
    None,     // ECU only: never loaded from or saved to a file
    Listed,   // one key per element, named in keys
    Indexed,  // key + i for each element
    Table,    // key + r + "_" + c for each cell
};

// How the block moves its item to and from the ECU.
enum class Ecu : std::uint8_t {
    None,
    Value,    // ReadItem / WriteValue of one value
    Array,    // ReadItem / WriteItem of all elements
    Rows,     // ReadRow / WriteRow of every row
    Read,     // ReadItem only
};

enum class Record : std::uint8_t { None, F0, F3, F4 };

// Where a code, a row count or an element count follows the K-map size.
enum class Size : std::uint8_t {
    Fixed,
    Rows,          // NumeroRighe
    RowsPlusOne,   // NumeroRighe + 1
    Cols,          // NumeroColonne
};

// A default element: a raw value, or a quantity converted as the block runs.
struct Default {
    enum Kind : std::uint8_t { Raw, Ms, TenthMs, GasC, EngineC } kind = Raw;
    double x = 0; // raw value, milliseconds or degrees C
};

// The blocks whose notes add or replace steps.
enum class Hook : std::uint8_t {
    None,
    Flags12,        // 1: bit 0x20 of Flag1 on ECU type 53
    TimeBase,       // 3
    GasSensor,      // 4
    EngineSensor,   // 6
    MapSize,        // 7
    MapRpmAxis,     // 9: default 6000 (i + 1) / NumeroColonne
    MapK,           // 11
    Identity,       // the step between 11 and 12
    Item1,          // 12
    Note,           // 13
    Item15,         // 30: also read on an ECU write
    Description,    // 50
    DiagStates,     // 53
    Counter,        // 55 to 57: no load; 56, 57 zero the value before the read
    ZeroBeforeRead, // 66
    RailPressure,   // 70: default by the fuel bit
    PetrolFilter,   // 88: default map x 5
    SafeDelay,      // 111
    CoeffPressDiff, // 98
    KFiltro,        // 102: two sections
    Injector,       // 117
    MaxCurrent,     // 118
    Item24f,        // 119
    TipiLambda,     // 133
    EcuOnlyZero,    // 141, 142: zero before the read, script value 0
    KNeutral,       // 146: capped at 85
    Closing,        // 147
};

// Presence flags of the data module a block keeps.
enum class Presence : std::uint8_t {
    None, Flag34, Variatore, RifMapVariatore, RifDelayGasTemp, IniettateGasCutoff,
    Item264, TipiLambda, ItemB5, TargetObd, ItemBC,
};

struct Block {
    int no;                       // position in the walk (the identity step is 11.5 -> 1150)
    const char* section;          // "" for ECU-only blocks
    Keys keys;
    const char* key;              // Indexed / Table: the key's stem
    std::vector<const char*> listed; // Listed: one key per element
    std::int32_t code;            // with the count of Size::Fixed (or replaced at run time)
    Size codeSize = Size::Fixed;  // where the count of the code comes from
    int rows = 1;                 // Rows: the row count (fixed)
    Size rowCount = Size::Fixed;  // Rows: where the row count comes from
    std::uint8_t groups = 1;
    std::vector<Default> defaults;// repeated last value fills the rest; empty: no load step
    Ecu ecu = Ecu::None;
    Record record = Record::None;
    bool scriptAllOnly = false;   // the record only with the "all items" script flag
    bool scriptZero = false;      // the record carries the value 0
    bool fileLoadOnly = false;    // loaded from configuration files only, not the second built-in format
    Presence presence = Presence::None;
    std::uint8_t presenceLoad = 0;// the flag's value after a load
    Hook hook = Hook::None;
    std::int32_t progress = 0;    // progress code; 0: the item code
    bool pause = true;            // pauses after the block
};

// Every block in the order of the walk.
std::span<const Block> Blocks();

// t(m): m milliseconds in time-base units.
std::int32_t TimeUnits(double ms, std::int32_t timeBase);
// u(m): m milliseconds in tenfold time-base units.
std::int32_t TenthTimeUnits(double ms, std::int32_t timeBase);

// The default K map (13 rows of 12) and the petrol-filter table (12 x 12, x 5
// and rounded: the defaults of the filter map).
std::int32_t DefaultMapK(int row, int col);
std::int32_t DefaultPetrolFilter(int row, int col);

} // namespace dm::transfer
