#pragma once
// Before the program maps a run-time library it starts itself as a probe: a
// short-lived process that maps the file and makes the calls the program makes
// at start. A library that crashes, hangs or fails there is refused, so the
// program never maps it; a damaged file costs the probe, not the program.
#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace plat {

class DynamicLibrary;

// Asked by the loader before it maps a file.
class LibraryProbe {
public:
    virtual ~LibraryProbe() = default;
    // Probes `file` (a path, or a bare name the system's loader searches for)
    // as a library of `kind`: empty when it passed, else why it is refused.
    virtual QString probe(const QString& kind, const QString& file) = 0;
    // Announces a file ahead of the call to probe() that needs its verdict,
    // so that the files announced together are probed together.
    virtual void announce(const QString& kind, const QString& file)
    {
        (void)kind;
        (void)file;
    }
};

// The calls the probe makes on a mapped library of one kind: empty when each
// answered as the program needs, else what went wrong.
using LibraryProbeCalls = QString (*)(DynamicLibrary& library);

// Makes `calls` the probe of the libraries of `kind`. The component that loads
// such libraries registers them with a constant at namespace scope, so the
// probe process (the same program) has them before main runs. Returns true.
bool RegisterLibraryProbe(const char* kind, LibraryProbeCalls calls);

// The command line of a probe: <program> --probe-library KIND FILE [KIND
// FILE ...]; one process probes the files one after another.
inline constexpr const char* kProbeLibraryOption = "--probe-library";
// A probe that has not given its verdict on a file this long after the one
// before (or its start) counts as hung and is killed.
inline constexpr int kLibraryProbeTimeoutMs = 2000;

// The first call in main of every program that loads run-time libraries.
// When the program was started as a probe it maps each file in turn, makes
// the calls of its kind, writes a verdict line for it on stdout, and ends the
// process (0 all passed, 1 otherwise). Otherwise it returns, and from then on
// ProcessLibraryProbe may start this program as a probe.
void ServeLibraryProbe(int argc, char** argv);

// Starts QCoreApplication::applicationFilePath() as the probe and waits for its
// verdict at most kLibraryProbeTimeoutMs. The files announced ahead go into
// one process with the first one asked for, so the libraries of the program's
// start cost one start of the program. A file whose verdict is missing
// because the process ended at or after another file is probed again alone.
// In a program that never called ServeLibraryProbe (so could not answer)
// every file passes unprobed.
class ProcessLibraryProbe final : public LibraryProbe {
public:
    ProcessLibraryProbe();
    ~ProcessLibraryProbe() override;
    QString probe(const QString& kind, const QString& file) override;
    void announce(const QString& kind, const QString& file) override;

private:
    using Request = std::pair<QString, QString>; // kind, file
    struct Batch;
    struct Found {
        std::shared_ptr<Batch> batch;
        std::size_t index = 0;
    };
    std::shared_ptr<Batch> launch(std::vector<Request> requests);
    Found find(const Request& request) const;

    std::vector<Request> waiting_;                // announced, not yet in a process
    std::vector<std::shared_ptr<Batch>> batches_; // in a process, verdicts not all taken
};

} // namespace plat
