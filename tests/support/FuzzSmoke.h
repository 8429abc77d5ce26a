#pragma once
// The fuzz entry points in every build: the seed corpora the libFuzzer
// targets start from, random bytes, and mutations of the seeds (bytes
// changed, inserted and cut). The libFuzzer targets go much further; this
// keeps the entries and their corpora working in the ordinary and the
// sanitizer builds.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace rig {

using FuzzEntry = void (*)(const std::uint8_t*, std::size_t);

// Every file of the folders.
inline std::vector<QByteArray> FuzzSeeds(const QStringList& folders)
{
    std::vector<QByteArray> seeds;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                seeds.push_back(f.readAll());
        }
    }
    return seeds;
}

// Runs entry over each seed, then over rounds inputs: every third one random
// bytes, the others a seed with up to eight edits.
inline void RunFuzzEntry(FuzzEntry entry, const std::vector<QByteArray>& seeds, int rounds)
{
    auto run = [&](const std::vector<std::uint8_t>& input) { entry(input.data(), input.size()); };
    for (const QByteArray& s : seeds)
        run({s.begin(), s.end()});
    std::mt19937 gen(20261210);
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::uint8_t> input;
        if (round % 3 == 0 || seeds.empty()) {
            input.resize(gen() % 700);
            for (auto& b : input)
                b = static_cast<std::uint8_t>(gen());
        } else {
            const QByteArray& seed = seeds[static_cast<std::size_t>(round) % seeds.size()];
            input.assign(seed.begin(), seed.end());
            const int edits = 1 + static_cast<int>(gen() % 8);
            for (int e = 0; e < edits && !input.empty(); ++e) {
                switch (gen() % 3) {
                case 0: input[gen() % input.size()] = static_cast<std::uint8_t>(gen()); break;
                case 1: input.resize(gen() % (input.size() + 1)); break;
                default: input.insert(input.begin() + gen() % input.size(), static_cast<std::uint8_t>(gen())); break;
                }
            }
        }
        run(input);
    }
}

} // namespace rig
