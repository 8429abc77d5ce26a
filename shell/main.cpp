// Program entry. The main window comes with its own change; until then the
// program lays down its build constants, reports them and ends.
#include "BuildConstants.h"

#include "plat/ProgramVersion.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    qz::InitBuildConstants();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(qz::ProductTitle()));
    QCoreApplication::setApplicationVersion(plat::programVersion());

    QTextStream out(stdout);
    out << qz::ProductTitle() << ' ' << plat::programVersion() << '\n';
    out << "settings key: HKEY_CURRENT_USER\\Software\\" << qz::RegistrySubkey() << '\n';
    out << "ECU types (code, offline name, configuration and firmware extension, supported):\n";
    for (const auto& t : qz::EcuTypes())
        out << "  " << t.code << '\t' << t.offlineName << '\t' << qz::ConfigFileExtension(t.code) << '\t'
            << qz::FirmwareFileExtension(static_cast<unsigned>(t.code)) << '\t'
            << (t.supported ? "yes" : "no") << '\n';
    return 0;
}
