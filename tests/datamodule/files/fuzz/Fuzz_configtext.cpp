// libFuzzer: the configuration-file check, the descrambler both ways and the
// INI reader and writer.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzfiles::ReadConfigurationFile(data, size);
    return 0;
}
