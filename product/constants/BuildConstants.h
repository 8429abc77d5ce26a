#pragma once
// What the build fixes once for the whole program: ECU types and their file
// extensions, injector types, the choice of the built-in default set, the
// K-map size, the settings key, the title and the configuration-file key.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace qz {

enum EcuType : int {
    ECU_TYPE_BOOT = 3, // no type: the ECU is in boot mode
    ECU_TYPE_4CIL = 30,
    ECU_TYPE_8CIL = 31,
    ECU_TYPE_4CIL_T = 37,
    ECU_TYPE_8CIL_T = 38,
    ECU_TYPE_VANT = 50,
    ECU_TYPE_53 = 53,
    ECU_TYPE_BUILTIN_TAP = 54,
    ECU_TYPE_4CIL_OBD = 55,
    ECU_TYPE_8CIL_OBD = 56,
    ECU_TYPE_MONOPLUG = 79,
};

struct EcuTypeInfo {
    int code;
    const char* name;
    const char* offlineName;   // empty: not offered offline
    const char* configExt;     // three letters, no dot
    const char* firmwareExt;
    bool supported;
    const char* firmwareLabelSuffix; // empty: none
};

// The known ECU types in code order.
std::span<const EcuTypeInfo> EcuTypes();
// Null for a code outside the table.
const EcuTypeInfo* FindEcuType(int code);
// The connect sequence accepts the type.
bool IsSupportedEcuType(int code);
// The text shown while the user cycles through the types offline; empty when
// the type is not one of those.
const char* OfflineEcuTypeName(int code);
// " (VANT)" for type 50, " (ORSEL)" for 79, empty otherwise.
const char* FirmwareLabelSuffix(int code);

// Copies the extension tables, the settings subkey and the title from the
// build's constant data and makes the configuration-file key plain. The
// program entry calls it first; calling it again changes nothing.
void InitBuildConstants();

// The extension tables as InitBuildConstants lays them down, in their order:
// configuration zc4, zc8, zce, zct, zcs; firmware zp4, zpv, zpc, zp8, zpd,
// zpa, zpe, zpt.
using Ext = std::array<char, 4>;
const std::array<Ext, 5>& ConfigExtensionTable();
const std::array<Ext, 8>& FirmwareExtensionTable();

const char* ConfigFileExtension(int ecuType);
const char* FirmwareFileExtension(unsigned ecuType);

// "ERROR" for a code outside the injector table.
const char* InjectorTypeName(int code);
// Exact, case-sensitive match; 0 ("Ferrox") for any other text.
int InjectorTypeCode(std::string_view name);
// The injector types the configuration window offers, in offer order; 255
// ends the list.
int CustomerInjectorCode(int position);

// The ECU item that holds its hardware variant (item 0x15), which the firmware
// check compares with an image's and a reset ECU's default set depends on.
inline constexpr std::int32_t kHardwareVariantCode = 0x15;

// The resource number of the built-in default configuration.
int DefaultConfigResourceId(std::uint8_t ecuType, bool cng, bool secondFormat,
                            std::uint8_t injectorCode, std::uint8_t customerId);

int NumeroRigheMappaK();
int NumeroColonneMappaK();
const char* RegistrySubkey();
const char* ProductTitle();
int CustomerId();
int DefaultEcuCustomerCode();
const char* FileKeyString();

// The program's own file version into out: at most 19 characters and the
// terminating zero; out is left untouched when the program has no version.
void GetExeFileVersion(char16_t (&out)[20]);

} // namespace qz
