#pragma once
// The fuzzed load of a configuration file into the parameter image, shared by
// the libFuzzer target and the smoke test that every build runs: the check,
// the reader of the whole-image pass and the image, on a data module of its
// own without an ECU. Aborts when a property of the load fails.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace fuzzload {

class ConfigurationLoader {
public:
    // Installs fake platform services for its lifetime and makes the data
    // module; one at a time.
    ConfigurationLoader();
    ~ConfigurationLoader();
    ConfigurationLoader(const ConfigurationLoader&) = delete;
    ConfigurationLoader& operator=(const ConfigurationLoader&) = delete;

    // The data is a configuration file as the user picks it: loaded into the
    // image, then
    //  - a file the check refused asked the load error once and left the
    //    image as it was;
    //  - every element of every item a file holds lies within what the item
    //    can hold (a damaged value was counted and left its default);
    //  - the container is closed again.
    void Load(const std::uint8_t* data, std::size_t size);

private:
    void forget();
    struct State;
    std::unique_ptr<State> s_;
};

} // namespace fuzzload
