#include "ConfigControls.h"
#include "datamodule/core/ItemCodes.h"

#include "ConfigChanges.h"
#include "RulesPrompt.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Services.h"

#include <QTimer>
#include <array>

namespace cfgrules {

namespace {

constexpr int kTextSingleCoil = 109; // "monobobina"
constexpr int kTextTwinCoil = 110;   // "bibobina"
constexpr int kTextRpmCounter = 111; // "contagiri"

constexpr std::int32_t kTakePersCommand = 0x12;
constexpr std::uint32_t kReconnectPauseMs = 200;
constexpr std::uint32_t kPersMax = 65535;

QStringList texts(const TextOf& text, std::initializer_list<int> numbers)
{
    QStringList out;
    for (const int n : numbers)
        out << text(n);
    return out;
}

} // namespace

TextOf ModuleTexts(TStreamDati& dm)
{
    return [&dm](int number) { return RuleText(dm, number); };
}

QStringList FuelItems(const TextOf& text) { return texts(text, {190, 191}); }

QStringList FullGroupItems(const TextOf& text) { return texts(text, {103, 104}); }

QStringList InjectorTypeItems()
{
    QStringList out;
    for (const int code : OfferedInjectorTypes())
        out << QString::fromLatin1(qz::InjectorTypeName(code));
    return out;
}

std::vector<int> CylinderTextNumbers(int ecuType)
{
    std::vector<int> numbers{97, 98};
    if (ecuType == qz::ECU_TYPE_8CIL || ecuType == qz::ECU_TYPE_8CIL_T || ecuType == qz::ECU_TYPE_53
        || ecuType == qz::ECU_TYPE_8CIL_OBD)
        numbers.insert(numbers.end(), {99, 100, 101});
    if (ecuType == qz::ECU_TYPE_53)
        numbers.push_back(582);
    return numbers;
}

QStringList CylinderItems(int ecuType, const TextOf& text)
{
    QStringList out;
    for (const int n : CylinderTextNumbers(ecuType))
        out << text(n);
    return out;
}

QStringList IgnitionItems(const TextOf& text)
{
    QStringList out = texts(text, {kTextSingleCoil, kTextTwinCoil, kTextRpmCounter});
    out << text(kTextRpmCounter) + QStringLiteral(" 2");
    return out;
}

QStringList PersonalisationItems()
{
    return {QStringLiteral("Nessuna"), QStringLiteral("Quorin"), QStringLiteral("Tolvi"), QStringLiteral("Pomrel"),
            QStringLiteral("KTD")};
}

int CylinderCount(int cylinderIndex)
{
    if (cylinderIndex == 5)
        return 10;
    return cylinderIndex + 3 + (cylinderIndex == 4 ? 1 : 0);
}

int IgnitionValue(int ignitionIndex, int cylinderIndex)
{
    return ignitionIndex == kIgnitionRpmCounter ? cylinderIndex + 2 : ignitionIndex;
}

void ApplyCylinders(TStreamDati& dm, int cylinderIndex, int ignitionIndex)
{
    dm.SetValueByCode(dm::kCylindersCode, CylinderCount(cylinderIndex));
    if (ignitionIndex == kIgnitionRpmCounter)
        dm.SetValueByCode(dm::kIgnitionCode, IgnitionValue(ignitionIndex, cylinderIndex));
}

void ApplyIgnition(TStreamDati& dm, int ignitionIndex, int cylinderIndex)
{
    dm.SetValueByCode(dm::kIgnitionCode, IgnitionValue(ignitionIndex, cylinderIndex));
}

std::optional<QChar> FilterNoteKey(QChar key)
{
    const char16_t c = key.unicode();
    if (c == kBackspace || (c >= u' ' && c <= u'_'))
        return key;
    if (c >= u'a' && c <= u'z')
        return QChar(static_cast<char16_t>(c - u'a' + u'A'));
    return std::nullopt;
}

QString FilterNoteText(const QString& text)
{
    // Pasted text bypasses the key filter; the note's six-bit packing holds
    // only space.."_", so the same rule applies to what is stored.
    QString out;
    for (const QChar c : text) {
        if (out.size() == kNoteMaxLength)
            break;
        const auto kept = FilterNoteKey(c);
        if (kept && kept->unicode() != kBackspace)
            out += *kept;
    }
    return out;
}

QString CommitNote(TStreamDati& dm, const QString& text)
{
    dm.SetNoteConfig(FilterNoteText(text).toLatin1().toStdString());
    return ShownNote(dm);
}

QString ShownNote(const TStreamDati& dm) { return QString::fromLatin1(dm.GetNoteConfig()).trimmed(); }

std::uint32_t PersValue(int index)
{
    return index >= 0 && static_cast<std::uint32_t>(index) <= kPersMax ? static_cast<std::uint32_t>(index) : 0;
}

void ApplyPers(TStreamDati& dm, int index)
{
    dm.SetPers(PersValue(index));
    TEcuProtocol* ecu = dm.Protocol();
    if (!ecu->IsConnected())
        return;
    std::array<std::uint8_t, 5> buffer{};
    std::int32_t length = 1;
    ecu->SendCommand(kTakePersCommand, buffer.data(), &length, static_cast<std::int32_t>(buffer.size()));
    ecu->Disconnect();
    plat::CurrentClock().sleep(kReconnectPauseMs);
    ecu = dm.Protocol();
    ecu->Connect();
}

int PersShownIndex(const TStreamDati& dm)
{
    return dm.CustomerCode > kPersMax ? -1 : static_cast<int>(dm.CustomerCode);
}

} // namespace cfgrules
