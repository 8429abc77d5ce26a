// libFuzzer: a configuration file checked, read into the parameter image and
// the image's values tested against what their items hold.
#include "FuzzLoad.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzload::ConfigurationLoader loader;
    loader.Load(data, size);
    return 0;
}
