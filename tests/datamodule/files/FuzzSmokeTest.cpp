// The fuzz entry points over generated inputs, so that every build (and the
// sanitizer build) runs them; the libFuzzer targets go further.
#include "fuzz/FuzzEntries.h"

#include "files/EncryptedContainer.h"
#include "files/Scrambler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const QByteArray& a)
{
    return {a.begin(), a.end()};
}

TEST(FuzzSmoke, RandomAndMutatedInputsNeverCrash)
{
    std::mt19937 gen(20261210);
    const QByteArray ini = "[Generale]\r\nFlag1=1044\r\nDescrizAuto='Punto'\r\n[Iniezione]\r\nPrt0003=5\r\n"
                           "Prt0014 = 0x1F\r\n;c\r\n[generale]\r\nx=1\n\rPrt0\r\n";
    const QByteArray scrambled = qz::files::ScrambleBytes(ini, "Key");
    const QByteArray container = qz::files::EncryptContainer(ini, 3);
    std::vector<std::vector<std::uint8_t>> seeds;
    {
        auto s = bytesOf(scrambled);
        s.insert(s.begin(), {2, 'K', 'e', 'y'});
        seeds.push_back(s);
    }
    seeds.push_back(bytesOf(container));

    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> input;
        if (round % 3 == 0) {
            input.resize(gen() % 700);
            for (auto& b : input)
                b = static_cast<std::uint8_t>(gen());
        } else {
            input = seeds[static_cast<std::size_t>(round) % seeds.size()];
            const int edits = 1 + static_cast<int>(gen() % 8);
            for (int e = 0; e < edits && !input.empty(); ++e) {
                switch (gen() % 3) {
                case 0: input[gen() % input.size()] = static_cast<std::uint8_t>(gen()); break;
                case 1: input.resize(gen() % (input.size() + 1)); break;
                default: input.insert(input.begin() + gen() % input.size(), static_cast<std::uint8_t>(gen())); break;
                }
            }
        }
        fuzzfiles::DescrambleAndReadIni(input.data(), input.size());
        fuzzfiles::ReadContainer(input.data(), input.size());
    }
    SUCCEED();
}

} // namespace
