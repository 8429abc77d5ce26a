// libFuzzer: the S-record check and parser, the firmware image check and the
// whole-image check.
#include "FuzzFirmware.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzfirmware::CheckImageText(data, size);
    return 0;
}
