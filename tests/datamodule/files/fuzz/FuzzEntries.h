#pragma once
// The fuzzed entry points, shared by the libFuzzer targets and the smoke test
// that every build runs. Each aborts when a property of the formats fails.
#include <cstddef>
#include <cstdint>

namespace fuzzfiles {

// The data is a configuration file as the program opens it, read with the
// program's file key: checked, descrambled both ways (file and built-in set)
// and read as INI text.
void ReadConfigurationFile(const std::uint8_t* data, std::size_t size);

// The data is an encrypted container, read with and without the header check.
void ReadContainer(const std::uint8_t* data, std::size_t size);

} // namespace fuzzfiles
