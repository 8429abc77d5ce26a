// libFuzzer: the encrypted-container reader.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzfiles::ReadContainer(data, size);
    return 0;
}
