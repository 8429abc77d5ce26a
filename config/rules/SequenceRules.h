#pragma once
// The advanced injection sequence: the gas injectors fire one or two steps
// ahead of their petrol cylinder. The sequence table lives in the data
// module (row 0: the petrol cylinder of each of the 8 slots, kNoCylinder for
// none; row 1: per petrol cylinder, the bit set of the gas injectors, bit i =
// injector "A" + i); these are the editor's rules on top of it.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class TStreamDati;

namespace cfgrules {

constexpr std::int32_t kNoCylinder = 182;
constexpr int kSequenceSlots = 8;
constexpr int kSequenceGridColumns = 9; // a fixed column, then one per slot
constexpr int kSequenceGridRows = 3;    // a fixed row, petrol cylinders, gas injectors
constexpr int kSequenceGasRow = 2;

// "A+C" for the set {A, C}; empty for the empty set.
QString SequenceCylinderText(std::int32_t set);

// The items of the injector-set combo: one per slot that has a cylinder,
// the set of that cylinder.
struct SequenceItem {
    QString text;
    std::int32_t set = 0;
};
std::vector<SequenceItem> SequenceComboItems(const TStreamDati& dm);
// The first item carrying set, -1 when none does.
int SequenceItemIndex(const std::vector<SequenceItem>& items, std::int32_t set);
// The injector set of the cylinder that a slot handles.
std::int32_t SequenceSetOfSlot(const TStreamDati& dm, int slot);

// Engine on petrol at idle, as the live tick sees it.
constexpr std::uint8_t kStatusGasBit = 0x10;   // must be clear
constexpr std::uint8_t kStatusReadyBit = 0x80; // must be set
constexpr int kSequenceMaxRpm = 1500;

// The preconditions of learning: a connection, the engine on petrol at idle,
// a valid petrol sequence read from the ECU. Shows the reason when one fails.
bool CheckSequenceConditions(TStreamDati& dm, int liveRpm, std::uint8_t liveStatusFlags);

// 2 for more than five cylinders and for four with a second lambda probe.
int SequenceRotationSteps(int cylinders, bool secondProbe);

enum class SequenceOutcome {
    Restored,  // switched off: the standard sequence is back
    Advanced,  // switched on: learnt and rotated
    Cleared,   // switching on failed: the advance stays off, the box is cleared
    NotStored, // the ECU holds another state than the one asked (said with
               // an error box): the box shows what it holds
};

// The text of a state the ECU did not store.
constexpr int kSequenceNotStoredText = 702;

// The check boxes' procedure (not while the page loads its controls).
// setGasRadios selects gas at switch-over and at high rpm when the advance
// went ahead, before the item it presets is written.
SequenceOutcome SetSequenceAdvance(TStreamDati& dm, bool on, int liveRpm, std::uint8_t liveStatusFlags,
                                   const std::function<void()>& setGasRadios = {});

// What the page shows and enables.
bool SequenceEditorVisible(bool on, bool taraturaBoxVisible);
bool FuelBehaviourRadiosEnabled(bool on, std::int32_t item15);
bool ContributionRadioEnabled(bool on, std::int32_t item15, int ecuType);

// The grid (column 1..8 shows slot column - 1).
QString SequenceCellText(const TStreamDati& dm, int column, int row);
// A cell of a slot that the injection type does not use (drawn greyed).
bool SequenceCellUnused(const TStreamDati& dm, int column, int row);
// Only the gas-injector cells of used slots.
bool SequenceCellSelectable(const TStreamDati& dm, int column, int row);
// The combo's choice for the cell's column: stores the set of the slot's
// petrol cylinder. False (nothing written) for a column without one.
bool ChangeSequenceCell(TStreamDati& dm, int column, std::int32_t set);

} // namespace cfgrules
