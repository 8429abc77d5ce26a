#include "MainRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <Qt>

#include <cstdio>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace mainrules {

int NextOfflineEcuType(int type)
{
    switch (type) {
    case 30: return 55;
    case 55: return 79;
    case 79: return 50;
    case 50: return 54;
    case 54: return 31;
    case 31: return 56;
    case 56: return 30;
    default: return type;
    }
}

QPoint FramePosition(const QRect& picture, const QSize& frame)
{
    // Integer division truncates toward zero, also for a frame smaller than
    // the picture.
    return {picture.left() - (frame.width() - picture.width()) / 2,
            picture.top() - (frame.height() - picture.height()) / 2};
}

int SelectionAfterKey(int selected, int count, int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return selected > 0 ? selected - 1 : selected;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return selected < count - 1 ? selected + 1 : selected;
    default:
        return selected;
    }
}

QString VersionText(const QString& fileVersion)
{
    if (fileVersion.isEmpty())
        return QStringLiteral("n.d.");
    const QByteArray text = fileVersion.toLatin1();
    int major = 0, minor = 0, release = 0, build = 0;
    // %i as the version resource's reader takes it (a leading 0 reads octal).
    if (std::sscanf(text.constData(), "%i.%i.%i.%i", &major, &minor, &release, &build) < 1)
        return QStringLiteral("n.d.");
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(release);
}

QString FirmwareLabel(const QString& text13, bool connected, const QString& separator, int major, int minor,
                      int ecuType, unsigned customerCode)
{
    if (!connected)
        return text13 + QStringLiteral(" n.d.");
    QString s = text13 + separator + QString::number(major) + QLatin1Char('.') + QString::number(minor);
    if (ecuType == 50)
        s += QStringLiteral(" (VANT)");
    else if (ecuType == 79)
        s += QStringLiteral(" (ORSEL)");
    if (customerCode == 2)
        s += QStringLiteral(" (Tolvi)");
    return s;
}

QString ConfigurationLabel(const QString& text12, const QString& name, const QString& fuel)
{
    return text12 + QLatin1Char(' ') + name + QStringLiteral(" (") + fuel + QLatin1Char(')');
}

int EcuPictureId(int ecuType)
{
    switch (ecuType) {
    case 50: return 10078;
    case 54: return 10079;
    case 55:
    case 56: return 10080;
    case 79: return 10089;
    default: return 10077;
    }
}

namespace {

bool ownedByUser(const QFileInfo& info)
{
#ifdef Q_OS_WIN
    Q_UNUSED(info);
    return true;
#else
    return info.ownerId() == ::getuid();
#endif
}

void deleteMatches(const QDir& dir, const QString& pattern, QStringList& deleted)
{
    const QFileInfoList list =
        dir.entryInfoList({pattern}, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : list) {
        const QString path = info.absoluteFilePath();
        if (info.isSymLink()) {
            // The link goes; its target is not ours to change.
            if (QFile::remove(path))
                deleted << path;
            continue;
        }
        if (!info.isFile() || !ownedByUser(info))
            continue;
        QFile f(path);
        f.setPermissions(f.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
        if (f.remove())
            deleted << path;
    }
}

} // namespace

QStringList DeleteLeftoverFiles(const QString& tempFolder, const QString& appFolder)
{
    QStringList deleted;
    if (!tempFolder.isEmpty()) {
        const QDir temp(tempFolder);
        deleteMatches(temp, QStringLiteral("_mp*.tmp"), deleted);
        deleteMatches(temp, QStringLiteral("_mt*.tmp"), deleted);
    }
    if (!appFolder.isEmpty()) {
        const QDir update(QDir(appFolder).filePath(QStringLiteral("Update")));
        if (update.exists())
            deleteMatches(update, QStringLiteral("*.?x?"), deleted);
    }
    return deleted;
}

void ReportFirstConnect(bool connected, int ecuType)
{
    const QString path = qEnvironmentVariable("QZ_STARTUP_REPORT");
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    const QByteArray line = connected ? "connected " + QByteArray::number(ecuType) + "\n" : QByteArray("offline\n");
    f.write(line);
}

} // namespace mainrules
