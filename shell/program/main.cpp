// Program entry: the application object, the windowed platform services and
// the start-up. "--offline" starts without connecting to the ECU; the program
// started with "--probe-library" is the probe of a run-time library.
#include "shell/main/Startup.h"

#include "plat/LibraryProbe.h"
#include "plat/QtPrompts.h"
#include "plat/Services.h"

int main(int argc, char* argv[])
{
    plat::ServeLibraryProbe(argc, argv);
    TApplication app(argc, argv);
    plat::QtPrompts prompts;
    plat::TopLevelWindows windows;
    plat::ScopedServices services(plat::Services{.prompts = &prompts, .windows = &windows});
    return RunProgram(ParseStartupOptions(QCoreApplication::arguments()));
}
