// libFuzzer: the configuration-file check, the descrambler and the INI reader.
#include "fuzz/FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzfiles::ReadConfigurationFile(data, size);
    return 0;
}
