#include "SequenceRules.h"
#include "datamodule/core/ItemCodes.h"

#include "RulesPrompt.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include <array>
#include <charconv>

namespace cfgrules {

namespace {

constexpr int kPetrolRow = 1;
constexpr std::int32_t kFuelBehaviourItem15Min = 2;

constexpr int kNeedsConnection = 389;
constexpr int kNeedsPetrolIdle = 390;
constexpr int kNoValidSequence = 391;
constexpr int kCannotRotate = 388;
constexpr int kAdvanced = 392;
constexpr int kRestored = 393;
constexpr int kNotStored = kSequenceNotStoredText;

constexpr char16_t kNoCylinderMark = 0xF7; // "÷"

// The petrol cylinder of a grid column; kNoCylinder outside columns 1..8.
std::int32_t cylinderOfColumn(const TStreamDati& dm, int column)
{
    if (column < 1 || column > kSequenceSlots)
        return kNoCylinder;
    return dm.GetSequenza(0, column - 1);
}

QString number(int n)
{
    std::array<char, 16> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), n);
    return QString::fromLatin1(buf.data(), r.ptr - buf.data());
}

} // namespace

QString SequenceCylinderText(std::int32_t set)
{
    QString out;
    for (int i = 0; i < 8; ++i) {
        if ((set & (1 << i)) == 0)
            continue;
        if (!out.isEmpty())
            out += u'+';
        out += QChar(static_cast<char16_t>(u'A' + i));
    }
    return out;
}

std::vector<SequenceItem> SequenceComboItems(const TStreamDati& dm)
{
    std::vector<SequenceItem> items;
    for (int slot = 0; slot < kSequenceSlots; ++slot) {
        const std::int32_t p = dm.GetSequenza(0, slot);
        if (p == kNoCylinder)
            continue;
        const std::int32_t set = dm.GetSequenza(1, p);
        items.push_back({SequenceCylinderText(set), set});
    }
    return items;
}

int SequenceItemIndex(const std::vector<SequenceItem>& items, std::int32_t set)
{
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].set == set)
            return static_cast<int>(i);
    return -1;
}

std::int32_t SequenceSetOfSlot(const TStreamDati& dm, int slot)
{
    return dm.GetSequenza(1, dm.GetSequenza(0, slot));
}

bool CheckSequenceConditions(TStreamDati& dm, int liveRpm, std::uint8_t liveStatusFlags)
{
    if (!dm.Protocol()->IsConnected()) {
        ShowRuleBox(dm, kNeedsConnection, plat::PromptIcon::Error);
        return false;
    }
    if ((liveStatusFlags & kStatusGasBit) != 0 || (liveStatusFlags & kStatusReadyBit) == 0
        || liveRpm > kSequenceMaxRpm) {
        ShowRuleBox(dm, kNeedsPetrolIdle, plat::PromptIcon::Error);
        return false;
    }
    const int error = dm.ReadSequenzaFromEcu();
    if (error != 0) {
        ShowRuleBox(dm, kNoValidSequence, plat::PromptIcon::Error, plat::PromptButtons::Ok,
                    QStringLiteral(" ") + number(error));
        return false;
    }
    return true;
}

int SequenceRotationSteps(int cylinders, bool secondProbe)
{
    return cylinders > 5 || (cylinders == 4 && secondProbe) ? 2 : 1;
}

SequenceOutcome SetSequenceAdvance(TStreamDati& dm, bool on, int liveRpm, std::uint8_t liveStatusFlags,
                                   const std::function<void()>& setGasRadios)
{
    // Success is said only of what the ECU then holds.
    const auto notStored = [&] {
        if ((dm.GetModificaSequenza() != 0) == on)
            return false;
        ShowRuleBox(dm, kNotStored, plat::PromptIcon::Error);
        return true;
    };
    dm.SetModificaSequenza(on);
    dm.SetSequenzaDefault();
    if (!on) {
        if (notStored())
            return SequenceOutcome::NotStored;
        ShowRuleBox(dm, kRestored, plat::PromptIcon::Information);
        return SequenceOutcome::Restored;
    }
    if (!CheckSequenceConditions(dm, liveRpm, liveStatusFlags)) {
        dm.SetModificaSequenza(false);
        return SequenceOutcome::Cleared;
    }
    const int cylinders = static_cast<int>(dm.GetValueByCode(dm::kCylindersCode));
    if (!dm.RotateSequenza(SequenceRotationSteps(cylinders, dm.HasSecondaSonda()))) {
        ShowRuleBox(dm, kCannotRotate, plat::PromptIcon::Error);
        dm.SetModificaSequenza(false);
        return SequenceOutcome::Cleared;
    }
    if (setGasRadios)
        setGasRadios();
    dm.SetValueByCode(dm::kPetrolStabilisationCode, 0);
    if (notStored())
        return SequenceOutcome::NotStored;
    ShowRuleBox(dm, kAdvanced, plat::PromptIcon::Information);
    return SequenceOutcome::Advanced;
}

bool SequenceEditorVisible(bool on, bool taraturaBoxVisible) { return on && taraturaBoxVisible; }

bool FuelBehaviourRadiosEnabled(bool on, std::int32_t item15) { return !on && item15 >= kFuelBehaviourItem15Min; }

bool ContributionRadioEnabled(bool on, std::int32_t item15, int ecuType)
{
    return FuelBehaviourRadiosEnabled(on, item15) && ecuType != qz::ECU_TYPE_VANT;
}

QString SequenceCellText(const TStreamDati& dm, int column, int row)
{
    if (column == 0) {
        if (row == kPetrolRow)
            return QStringLiteral("Cil.benz");
        if (row == kSequenceGasRow)
            return QStringLiteral("Cil.gas");
        return {};
    }
    if (row == 0)
        return number(column);
    const std::int32_t p = cylinderOfColumn(dm, column);
    if (row == kPetrolRow)
        // The cylinder's letter; for no cylinder the same code gives "÷".
        return p >= 0 && u'A' + p <= 0xFF ? QString(QChar(static_cast<char16_t>(u'A' + p))) : QString();
    if (row == kSequenceGasRow)
        return p == kNoCylinder ? QString(QChar(kNoCylinderMark)) : SequenceCylinderText(dm.GetSequenza(1, p));
    return {};
}

bool SequenceCellUnused(const TStreamDati& dm, int column, int row)
{
    return column >= 1 && row >= 1 && !dm.IsSequenzaSlotUsed(column - 1);
}

bool SequenceCellSelectable(const TStreamDati& dm, int column, int row)
{
    return row == kSequenceGasRow && column >= 1 && dm.IsSequenzaSlotUsed(column - 1);
}

bool ChangeSequenceCell(TStreamDati& dm, int column, std::int32_t set)
{
    // A column outside the slots would read cylinder 0 and overwrite its set.
    const std::int32_t p = cylinderOfColumn(dm, column);
    if (p < 0 || p >= kSequenceSlots)
        return false;
    return dm.SetSequenza(1, p, set);
}

} // namespace cfgrules
