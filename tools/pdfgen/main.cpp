// Writes the demo wiring diagrams.
//
//   qz-pdfgen --out DIR NAME...   writes DIR/NAME for each name
//   qz-pdfgen --list              prints the names it can draw
#include "tools/pdfgen_diagrams/Diagrams.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the texts
    QTextStream err(stderr);
    QTextStream out(stdout);

    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--list")) {
        for (const auto& d : pdfgen::Catalogue())
            out << d.name << '\n';
        return 0;
    }
    if (args.size() < 3 || args[0] != QLatin1String("--out")) {
        err << "usage: qz-pdfgen --out DIR NAME... | --list\n";
        return 2;
    }
    const QDir dir(args[1]);
    for (const QString& name : args.mid(2)) {
        const pdfgen::Diagram* diagram = pdfgen::Find(name);
        if (!diagram) {
            err << "qz-pdfgen: no diagram named " << name << '\n';
            return 1;
        }
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QString why;
        if (!pdfgen::write(*diagram, path, &why)) {
            err << "qz-pdfgen: cannot write " << path << ": " << why << '\n';
            return 1;
        }
    }
    return 0;
}
