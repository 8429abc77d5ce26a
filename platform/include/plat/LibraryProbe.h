#pragma once
// Before the program maps a run-time library it starts itself as a probe: a
// short-lived process that maps the file and makes the calls the program makes
// at start. A library that crashes, hangs or fails there is refused, so the
// program never maps it; a damaged file costs the probe, not the program.
#include <QString>

#include <map>
#include <memory>
#include <utility>

namespace plat {

class DynamicLibrary;

// Asked by the loader before it maps a file.
class LibraryProbe {
public:
    virtual ~LibraryProbe() = default;
    // Probes `file` (a path, or a bare name the system's loader searches for)
    // as a library of `kind`: empty when it passed, else why it is refused.
    virtual QString probe(const QString& kind, const QString& file) = 0;
    // Lets the probe of a file begin ahead of the call to probe() that needs
    // its verdict, so that the probes of several libraries run at once.
    virtual void start(const QString& kind, const QString& file)
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
bool registerLibraryProbe(const char* kind, LibraryProbeCalls calls);

// The command line of a probe: <program> --probe-library KIND FILE.
inline constexpr const char* kProbeLibraryOption = "--probe-library";
// A probe that has not ended after this long counts as hung and is killed.
inline constexpr int kLibraryProbeTimeoutMs = 2000;

// The first call in main of every program that loads run-time libraries.
// When the program was started as a probe it maps the file, makes the calls of
// its kind, writes its verdict on stdout and ends the process (0 passed, 1
// refused). Otherwise it returns, and from then on ProcessLibraryProbe may
// start this program as a probe.
void serveLibraryProbe(int argc, char** argv);

// Starts QCoreApplication::applicationFilePath() as the probe and waits for it
// at most kLibraryProbeTimeoutMs from its start. In a program that never
// called serveLibraryProbe (so could not answer) every file passes unprobed.
class ProcessLibraryProbe final : public LibraryProbe {
public:
    ProcessLibraryProbe();
    ~ProcessLibraryProbe() override;
    QString probe(const QString& kind, const QString& file) override;
    void start(const QString& kind, const QString& file) override;

private:
    struct Running;
    // The probes started and not yet asked for, by kind and file.
    std::map<std::pair<QString, QString>, std::unique_ptr<Running>> running_;
};

} // namespace plat
