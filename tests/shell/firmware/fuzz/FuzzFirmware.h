#pragma once
// The fuzzed entry point of firmware images, shared by the libFuzzer target
// and the smoke test that every build runs. It aborts when a property fails.
#include <cstddef>
#include <cstdint>

namespace fuzzfirmware {

// The data is the S-record text of a firmware image, as a firmware file holds
// it: its records are checked and parsed, the image check runs on it for
// ECUs of several identities, and the whole-image check for two application
// ranges (an image it takes has every data record inside the range).
void CheckImageText(const std::uint8_t* data, std::size_t size);

} // namespace fuzzfirmware
