#pragma once
// The fuzzed entry point of acquisition files, shared by the libFuzzer target
// and the smoke test that every build runs. It aborts when a property fails.
#include <cstddef>
#include <cstdint>

namespace fuzzacquisition {

// The data is an acquisition file, read as the real-time graph reads it.
void ReadAcquisitionBytes(const std::uint8_t* data, std::size_t size);

} // namespace fuzzacquisition
