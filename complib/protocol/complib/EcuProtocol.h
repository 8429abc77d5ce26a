#pragma once
// The interface of the ECU protocol library ("ProtoVyx.dll"): its object and
// its three exports. Shared by the program and by any library that provides
// the protocol; plain C++ with fixed-width types, no toolkit.
//
// Texts travel as UTF-8. The operations stand in the library's table order.
#include "plat/NotifyTarget.h"

#include <cstddef>
#include <cstdint>

// The identification bytes that GetEcuInfo fills.
struct TEcuInfo {
    std::uint8_t EcuStatus;     // model byte (ECU item 0x40)
    std::uint8_t EcuType;       // type code; 3 = boot mode
    std::uint8_t FirmwareMinor;
    std::uint8_t FirmwareMajor;
    std::uint8_t BootEcuType;   // the type while EcuType is 3
    std::uint8_t Reserved[3];
};
static_assert(sizeof(TEcuInfo) == 8);
static_assert(offsetof(TEcuInfo, EcuType) == 1 && offsetof(TEcuInfo, FirmwareMinor) == 2
              && offsetof(TEcuInfo, FirmwareMajor) == 3 && offsetof(TEcuInfo, BootEcuType) == 4);

// The boot identity that DetectEcu fills (little-endian).
#pragma pack(push, 1)
struct TBootInfo {
    std::uint32_t BootId;    // low byte: model byte
    std::uint16_t BootExtra; // low byte: the type for boot ids 0x0300..0x03FF
};
#pragma pack(pop)
static_assert(sizeof(TBootInfo) == 6);
static_assert(offsetof(TBootInfo, BootExtra) == 4);

// What _GetDLLVersion fills: major first.
struct TDllVersion {
    std::uint32_t Major;
    std::uint32_t Minor;
    std::uint32_t Release;
    std::uint32_t Build;
};
static_assert(sizeof(TDllVersion) == 16);

// Status bits of GetLastStatus.
enum : std::int32_t {
    ECU_STATUS_OK = 0,
    ECU_STATUS_LINK = 1,      // link failure
    ECU_STATUS_NO_ITEM = 4,   // the ECU has no such item: tolerated
    ECU_STATUS_REFUSED = 0x10, // a malformed call refused (wrong code shape or value)
};

// The protocol object. Destroyed only through _DestroyClassInstance, hence no
// virtual destructor. bool results: true = success.
class TEcuProtocol {
public:
    virtual std::int32_t GetComPort() = 0;
    virtual void SetComPort(std::int32_t port) = 0;
    virtual void SetLinkOptionA(std::int32_t value) = 0;
    virtual void SetLinkOptionB(std::int32_t value) = 0;
    virtual void SetLinkOptionC(std::int32_t value) = 0;
    // At unloading when not connected (else Disconnect).
    virtual void Shutdown() = 0;
    virtual void SetMessageCaption(const char* text) = 0;
    // 0-5 link errors, 10-85 the wireless-adapter dialog.
    virtual void SetMessageText(const char* text, std::int32_t index) = 0;
    // Receives WM_CONNECTIONEVENT 0/1, and WM_WAITPROGRESS while programming.
    virtual void SetNotifyWindow(plat::NotifyTarget* window) = 0;
    virtual void BeginReconnect() = 0;
    virtual void EndReconnect() = 0;
    virtual void Prepare() = 0;
    virtual void SetTimeout(std::int32_t ms) = 0;
    virtual bool GetEcuInfo(TEcuInfo* info) = 0;
    virtual bool Connect() = 0;
    virtual void Disconnect() = 0;
    // Sends *length bytes of buffer; the reply replaces them and *length
    // becomes its size, never more than size.
    virtual bool SendCommand(std::int32_t command, std::uint8_t* buffer, std::int32_t* length,
                             std::int32_t size) = 0;
    // The whole item, one value per element.
    virtual bool ReadItem(std::int32_t code, std::int32_t* values) = 0;
    // One table row, or element `row` when the code has no count.
    virtual bool ReadRow(std::int32_t code, std::int32_t* values, std::int32_t row) = 0;
    // Real-time block 1, 2, 8 or 9; *length: capacity in, bytes out.
    virtual bool ReadBlock(std::int32_t block, std::uint8_t* buffer, std::int32_t* length) = 0;
    virtual bool WriteItem(std::int32_t code, const std::int32_t* values) = 0;
    virtual bool WriteValue(std::int32_t code, std::int32_t value) = 0;
    virtual bool WriteElement(std::int32_t code, std::int32_t index, std::int32_t value) = 0;
    virtual bool WriteCell(std::int32_t code, std::int32_t row, std::int32_t column, std::int32_t value) = 0;
    virtual bool WriteRow(std::int32_t code, const std::int32_t* values, std::int32_t row) = 0;
    // 1: byte elements, 2 or more: 16-bit, below 1: failure.
    virtual std::int8_t GetItemFormat(std::int32_t address, std::int32_t count) = 0;
    virtual bool DetectEcu(TBootInfo* info) = 0;
    virtual bool IsApplicationRunning() = 0;
    virtual bool IsConnected() = 0;
    virtual std::int32_t GetLastStatus() = 0;
    virtual bool IsWirelessAdapterPresent() = 0;
    virtual void ShowWirelessAdapterDialog() = 0;
    // 0 success, else an error code.
    virtual std::int32_t ProgramFirmwareFile(const char* fileName, std::int32_t a, std::int32_t b,
                                             std::int32_t c) = 0;
    // image: a 32-bit little-endian byte count, then the S-record text.
    virtual std::int32_t ProgramFirmwareImage(const void* image, std::int32_t a, std::int32_t b,
                                              std::int32_t c) = 0;

protected:
    ~TEcuProtocol() = default;
};

// The library's exports, under exactly these names.
extern "C" {
using CreateClassInstanceFn = TEcuProtocol* (*)();
using DestroyClassInstanceFn = void (*)(TEcuProtocol*);
using GetDLLVersionFn = bool (*)(TDllVersion*);
}
inline constexpr const char* kExportCreateClassInstance = "_CreateClassInstance";
inline constexpr const char* kExportDestroyClassInstance = "_DestroyClassInstance";
inline constexpr const char* kExportGetDLLVersion = "_GetDLLVersion";
