#pragma once
// The fuzzed entry points, shared by the libFuzzer targets and the smoke test
// that every build runs. Each aborts when a property of the formats fails.
#include <cstddef>
#include <cstdint>

namespace fuzzfiles {

// The first byte picks the key length (1 to 49), the key bytes follow, the
// rest is a scrambled file or built-in set: it is descrambled both ways and
// read as INI text.
void DescrambleAndReadIni(const std::uint8_t* data, std::size_t size);

// The data is an encrypted container, read with and without the header check.
void ReadContainer(const std::uint8_t* data, std::size_t size);

} // namespace fuzzfiles
