#pragma once
// The ECU items the program knows, described once: the parameter image, the
// by-code accessors and the whole-image transfer all take their shapes from
// this table.
//
// An item code carries the item number (bits 0-7), the whole-array bit
// (0x100) with the element count in bits 12-19, the 16-bit bit (0x200) and
// the signed bit (0x400). Tables are moved row by row with the array code,
// whose count is then the row length.
#include <cstdint>
#include <span>

namespace dm {

constexpr int ItemNumber(std::int32_t code) { return code & 0xFF; }
constexpr bool IsArrayCode(std::int32_t code) { return (code & 0x100) != 0; }
constexpr bool IsWordCode(std::int32_t code) { return (code & 0x200) != 0; }
constexpr bool IsSignedCode(std::int32_t code) { return (code & 0x400) != 0; }
// Elements one call moves: the count of an array code, else 1.
constexpr int CodeElements(std::int32_t code) { return IsArrayCode(code) ? ((code >> 12) & 0xFF) : 1; }
// Bytes one call moves in the ECU (the transfer progress counts these).
constexpr int CodeBytes(std::int32_t code) { return CodeElements(code) * (IsWordCode(code) ? 2 : 1); }

// Transfer groups.
enum : std::uint8_t { GROUP_1 = 1, GROUP_2 = 2, GROUP_4 = 4, GROUP_8 = 8 };

struct ItemDef {
    std::int32_t code;      // the code the item is read and written with as a whole
    const char* fileKey;    // first configuration-file key; "" for ECU-only items
    std::uint8_t groups;    // transfer group bits; 0 = moved by no block of its own
    std::uint8_t rows;      // 1 for a single value or a vector
    std::uint8_t cols;      // elements per row
    bool inImage;           // held in the parameter image (else a buffer of its own, or not kept)

    constexpr int Number() const { return ItemNumber(code); }
    constexpr int Elements() const { return rows * cols; }
    constexpr int Width() const { return IsWordCode(code) ? 2 : 1; }
    constexpr bool IsSigned() const { return IsSignedCode(code); }
};

// Every item, the parameter image's in the order the data module keeps them,
// then the ECU-side items the data module talks to without keeping them in
// the image (identity, reset flag, ready value, status byte, customer code,
// note).
std::span<const ItemDef> ItemCatalogue();
// The item of that number (code & 0xFF); null when the program does not know it.
const ItemDef* FindItem(int itemNumber);

// The two forms of the differential-pressure corrections share item 0x7c;
// the catalogue holds the 16-bit form.
constexpr std::int32_t kCoeffPressDiffWord = 0xf77c;
constexpr std::int32_t kCoeffPressDiffByte = 0xf57c;

// Item codes the data module uses by name.
constexpr std::int32_t kIdentityCode = 0x14100;   // item 0, 20 bytes
constexpr std::int32_t kLiveBlock = 1;            // ReadBlock block of the live frame
constexpr std::int32_t kTimeBaseCode = 0x279;
constexpr std::int32_t kStatusWordCode = 0x2ac;
constexpr std::int32_t kReadyCode = 2;
constexpr std::int32_t kReadyValue = 172;
constexpr std::int32_t kEcuStatusCode = 0x40;
constexpr std::int32_t kCustomerCode = 0x233;
constexpr std::int32_t kDiagnosticStatesCode = 0x511d;
constexpr std::int32_t kDiagnosticEnablesCode = 0x511c;
constexpr std::int32_t kVehicleDescriptionCode = 0x1e135;
// The "Ufficiale" mark: bit 7 of element 0 of the vehicle description.
constexpr std::int32_t kOfficialMark = 0x80;
constexpr std::int32_t kTipoDiTpsCode = 0x1a;

// The parameter image: one 32-bit integer per ECU element, item after item
// as the catalogue lists them.
class ParameterImage {
public:
    ParameterImage();

    // The elements of an item by its number (any code of the item works);
    // null for an item that the image does not hold.
    std::int32_t* Item(std::int32_t code);
    const std::int32_t* Item(std::int32_t code) const;
    // Elements of the item; 0 when the image does not hold it.
    int Elements(std::int32_t code) const;

    void Clear();
    std::span<const std::int32_t> All() const { return {values_, static_cast<std::size_t>(size_)}; }

    static constexpr int kMaxElements = 1100;

private:
    std::int32_t values_[kMaxElements];
    int size_ = 0;
};

} // namespace dm
