// Draws the program's pictures: the button tiles with their glyphs, the
// connection icons, the ECU pictures, the logo, the splash and the busy
// animations. Every picture is drawn at twice its layout size and says so in
// its "dpr" text; an animation strip puts its frames side by side and gives
// their number in its "frames" text.
//
//   qz-picgen --out DIR NAME...   writes DIR/NAME.png for each name
//   qz-picgen --list              prints the names it can draw
#include "Drawing.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);

    const QStringList args = app.arguments().mid(1);
    const auto& pictures = picgen::Catalogue();
    if (args.value(0) == QLatin1String("--list")) {
        for (const auto& p : pictures)
            out << p.name << '\n';
        return 0;
    }
    if (args.size() < 3 || args[0] != QLatin1String("--out")) {
        err << "usage: qz-picgen --out DIR NAME... | --list\n";
        return 2;
    }
    const QDir dir(args[1]);
    for (const QString& name : args.mid(2)) {
        const picgen::Picture* picture = picgen::Find(name);
        if (!picture) {
            err << "qz-picgen: no picture named " << name << '\n';
            return 1;
        }
        const QImage image = picgen::render(*picture);
        const QString path = dir.filePath(name + QStringLiteral(".png"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!image.save(path, "PNG")) {
            err << "qz-picgen: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
