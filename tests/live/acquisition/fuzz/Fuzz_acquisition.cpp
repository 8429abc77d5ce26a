// libFuzzer: the acquisition file reader.
#include "FuzzAcquisition.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzacquisition::ReadAcquisitionBytes(data, size);
    return 0;
}
