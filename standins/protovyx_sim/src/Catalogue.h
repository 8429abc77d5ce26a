#pragma once
// The simulated ECU's item table: shapes, access and first-start values.
#include "protovyx/Simulator.h"

#include <cstdint>
#include <vector>

namespace protovyx::detail {

enum class Access { RW, RO, WO };

struct ItemDef {
    int number = 0;
    int width = 1;          // bytes per element
    bool isSigned = false;
    int rows = 1, cols = 1; // a vector: rows 1
    Access access = Access::RW;
    const char* name = "";
    std::vector<std::int32_t> defaults; // rows x cols values, row-major
    int elements() const { return rows * cols; }
};

// Every item, sized and filled for the profile; absent ones (by type,
// firmware and the profile's list) are left out unless includeAbsent.
std::vector<ItemDef> buildCatalogue(const Profile& profile, bool includeAbsent = false);
// True when an ECU of this profile has the item (by type and firmware, then
// the profile's own absent list).
bool itemPresentByType(const Profile& profile, int item);
// The same, and the customer code only when the profile has one.
bool itemPresent(const Profile& profile, int item);
// Type defaults: firmware, item 0x15, banks and cylinders.
struct TypeInfo {
    int fwMajor, fwMinor, hwVariant, banks, cylinders;
};
TypeInfo typeInfo(int type);
// The banks of the profile's engine: its own banks= or the type's.
int bankCount(const Profile& profile);
// The format of item 0x7c: 1 (8-bit) or 2 (16-bit).
int format7c(const Profile& profile);

// Temperature counts of the sensor characteristics the defaults use.
int engineCount(double celsius); // e(x)
int gasCount(double celsius);    // g(x)
// ms in time-base units: trunc(ms / (tb * 1e-6) + 0.5).
int timeUnits(double ms, int timeBase);

} // namespace protovyx::detail
