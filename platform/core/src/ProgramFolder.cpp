#include "plat/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace plat {

namespace {
QString& folderSlot()
{
    static QString f;
    return f;
}
} // namespace

QString ProgramFolder()
{
    if (!folderSlot().isEmpty())
        return folderSlot();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetProgramFolder(const QString& folder)
{
    folderSlot() = folder;
}

} // namespace plat
