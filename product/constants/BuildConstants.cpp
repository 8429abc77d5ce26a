#include "BuildConstants.h"

#include "plat/ProgramVersion.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace qz {

namespace {

constexpr EcuTypeInfo kTypes[] = {
    {ECU_TYPE_4CIL, "ECU_TYPE_4CIL", "4cil", "zc4", "zp4", true, ""},
    {ECU_TYPE_8CIL, "ECU_TYPE_8CIL", "8cil", "zc8", "zp8", true, ""},
    {ECU_TYPE_4CIL_T, "ECU_TYPE_4CIL_T", "", "zce", "zpe", false, ""},
    {ECU_TYPE_8CIL_T, "ECU_TYPE_8CIL_T", "", "zct", "zpt", false, ""},
    {ECU_TYPE_VANT, "ECU_TYPE_VANT", "vant", "zc4", "zp4", true, " (VANT)"},
    {ECU_TYPE_53, "ECU_TYPE_53", "", "zc8", "zpa", true, ""},
    {ECU_TYPE_BUILTIN_TAP, "ECU_TYPE_BUILTIN_TAP", "built in tap", "zc4", "zpv", true, ""},
    {ECU_TYPE_4CIL_OBD, "ECU_TYPE_4CIL_OBD", "4cil obd", "zc4", "zpc", true, ""},
    {ECU_TYPE_8CIL_OBD, "ECU_TYPE_8CIL_OBD", "8cil obd", "zc8", "zpd", true, ""},
    {ECU_TYPE_MONOPLUG, "ECU_TYPE_MONOPLUG", "monoplug", "zcs", "zp4", true, " (ORSEL)"},
};

// The build's constant data that InitBuildConstants copies from.
constexpr char kConfigExtData[5][4] = {"zc4", "zc8", "zce", "zct", "zcs"};
constexpr char kFirmwareExtData[8][4] = {"zp4", "zpv", "zpc", "zp8", "zpd", "zpa", "zpe", "zpt"};
constexpr char kRegistrySubkeyData[] = "Quorin\\7304K";
constexpr char kProductTitleData[] = "Quorin Zelkon";

// The configuration-file key is kept scrambled in the program file; only the
// scrambled bytes are emitted, the plain text exists in memory after start-up.
constexpr std::size_t kKeyMax = 49;
constexpr std::uint8_t scrambleByte(std::size_t i) { return static_cast<std::uint8_t>(0xA5 ^ (i * 29 + 7)); }

template <std::size_t N>
consteval std::array<std::uint8_t, N - 1> scramble(const char (&plain)[N])
{
    static_assert(N - 1 >= 1 && N - 1 <= kKeyMax, "the key is 1 to 49 characters");
    std::array<std::uint8_t, N - 1> out{};
    for (std::size_t i = 0; i + 1 < N; ++i)
        out[i] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(plain[i]) ^ scrambleByte(i));
    return out;
}

constexpr auto kFileKeyScrambled = scramble("Zk7304!cfg#Lambda-Kmap&Iniez");

struct State {
    std::array<Ext, 5> configExt{};
    std::array<Ext, 8> firmwareExt{};
    char registrySubkey[sizeof(kRegistrySubkeyData)] = {};
    char productTitle[sizeof(kProductTitleData)] = {};
    char fileKey[kKeyMax + 1] = {};
};

State& state()
{
    static State s;
    return s;
}

std::once_flag initOnce;

void initState()
{
    State& s = state();
    for (std::size_t i = 0; i < s.configExt.size(); ++i)
        std::memcpy(s.configExt[i].data(), kConfigExtData[i], 4);
    for (std::size_t i = 0; i < s.firmwareExt.size(); ++i)
        std::memcpy(s.firmwareExt[i].data(), kFirmwareExtData[i], 4);
    std::memcpy(s.registrySubkey, kRegistrySubkeyData, sizeof(kRegistrySubkeyData));
    std::memcpy(s.productTitle, kProductTitleData, sizeof(kProductTitleData));
    for (std::size_t i = 0; i < kFileKeyScrambled.size(); ++i)
        s.fileKey[i] = static_cast<char>(kFileKeyScrambled[i] ^ scrambleByte(i));
    s.fileKey[kFileKeyScrambled.size()] = '\0';
}

// Every lookup works also before the entry's call: nothing may ever see an
// empty extension.
const State& ready()
{
    std::call_once(initOnce, initState);
    return state();
}

enum ConfigExtIndex { kZc4, kZc8, kZce, kZct, kZcs };
enum FirmwareExtIndex { kZp4, kZpv, kZpc, kZp8, kZpd, kZpa, kZpe, kZpt };

} // namespace

std::span<const EcuTypeInfo> EcuTypes()
{
    return kTypes;
}

const EcuTypeInfo* FindEcuType(int code)
{
    for (const auto& t : kTypes)
        if (t.code == code)
            return &t;
    return nullptr;
}

bool IsSupportedEcuType(int code)
{
    const EcuTypeInfo* t = FindEcuType(code);
    return t && t->supported;
}

const char* OfflineEcuTypeName(int code)
{
    const EcuTypeInfo* t = FindEcuType(code);
    return t ? t->offlineName : "";
}

const char* FirmwareLabelSuffix(int code)
{
    const EcuTypeInfo* t = FindEcuType(code);
    return t ? t->firmwareLabelSuffix : "";
}

void InitBuildConstants()
{
    ready();
}

const std::array<Ext, 5>& ConfigExtensionTable()
{
    return ready().configExt;
}

const std::array<Ext, 8>& FirmwareExtensionTable()
{
    return ready().firmwareExt;
}

const char* ConfigFileExtension(int ecuType)
{
    const auto& t = ready().configExt;
    switch (ecuType) {
    case ECU_TYPE_8CIL:
    case ECU_TYPE_53:
    case ECU_TYPE_8CIL_OBD:
        return t[kZc8].data();
    case ECU_TYPE_4CIL_T:
        return t[kZce].data();
    case ECU_TYPE_8CIL_T:
        return t[kZct].data();
    case ECU_TYPE_MONOPLUG:
        return t[kZcs].data();
    default:
        return t[kZc4].data();
    }
}

const char* FirmwareFileExtension(unsigned ecuType)
{
    const auto& t = ready().firmwareExt;
    switch (ecuType) {
    case ECU_TYPE_8CIL:
        return t[kZp8].data();
    case ECU_TYPE_4CIL_T:
        return t[kZpe].data();
    case ECU_TYPE_8CIL_T:
        return t[kZpt].data();
    case ECU_TYPE_53:
        return t[kZpa].data();
    case ECU_TYPE_BUILTIN_TAP:
        return t[kZpv].data();
    case ECU_TYPE_4CIL_OBD:
        return t[kZpc].data();
    case ECU_TYPE_8CIL_OBD:
        return t[kZpd].data();
    default:
        return t[kZp4].data();
    }
}

namespace {
struct Injector {
    int code;
    const char* name;
};
constexpr Injector kInjectors[] = {
    {0, "Ferrox"}, {1, "Tamaru"}, {2, "Brega"}, {22, "Sordak"},
    {25, "Quorin"}, {28, "Pinel"}, {35, "Quorin K"},
};
} // namespace

const char* InjectorTypeName(int code)
{
    for (const auto& i : kInjectors)
        if (i.code == code)
            return i.name;
    return "ERROR";
}

int InjectorTypeCode(std::string_view name)
{
    for (const auto& i : kInjectors)
        if (name == i.name)
            return i.code;
    return 0;
}

int CustomerInjectorCode(int position)
{
    switch (position) {
    case 0:
        return 25;
    case 1:
        return 35;
    case 2:
        return 0;
    case 3:
        return 28;
    default:
        return 255;
    }
}

int DefaultConfigResourceId(std::uint8_t ecuType, bool cng, bool secondFormat,
                            std::uint8_t injectorCode, std::uint8_t /*customerId*/)
{
    if (secondFormat)
        return cng ? 514 : 513;
    // Columns: injector 25, 28, 35, any other.
    auto pick = [injectorCode](int i25, int i28, int i35, int other) {
        switch (injectorCode) {
        case 25:
            return i25;
        case 28:
            return i28;
        case 35:
            return i35;
        default:
            return other;
        }
    };
    switch (ecuType) {
    case ECU_TYPE_VANT:
        return cng ? pick(270, 272, 264, 268) : pick(269, 271, 263, 267);
    case ECU_TYPE_MONOPLUG:
        return cng ? 266 : 265;
    default:
        return cng ? pick(260, 262, 264, 258) : pick(259, 261, 263, 257);
    }
}

int NumeroRigheMappaK() { return 12; }
int NumeroColonneMappaK() { return 12; }
const char* RegistrySubkey() { return ready().registrySubkey; }
const char* ProductTitle() { return ready().productTitle; }
int CustomerId() { return 5; }
int DefaultEcuCustomerCode() { return 0; }
const char* FileKeyString() { return ready().fileKey; }

void GetExeFileVersion(char16_t (&out)[20])
{
    const QString v = plat::ProgramVersion();
    if (v.isEmpty())
        return;
    const qsizetype n = std::min<qsizetype>(v.size(), 19);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = static_cast<char16_t>(v.at(i).unicode());
    out[n] = u'\0';
}

} // namespace qz
