#include "SchemiFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString SchemiSubFolder(int kind)
{
    switch (kind) {
    case SchemiElectricalCNG:
        return QStringLiteral("Schematics/ElectricalCNG");
    case SchemiPneumaticCNG:
        return QStringLiteral("Schematics/PneumaticCNG");
    case SchemiPneumaticLPG:
        return QStringLiteral("Schematics/PneumaticLPG");
    case SchemiElectricalLPG:
    default:
        return QStringLiteral("Schematics/ElectricalLPG");
    }
}

QString SchemiFolder(const QString& applicationFolder, int kind)
{
    return QDir::cleanPath(applicationFolder + QLatin1Char('/') + SchemiSubFolder(kind));
}

bool ForceSchemiFolder(const QString& folder)
{
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

bool IsPdfFileName(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

QString PdfCaption(const QString& fileName)
{
    return fileName.chopped(std::min<qsizetype>(4, fileName.size()));
}

QString PdfDateText(const QDateTime& localTime, const QString& dateSeparator,
                    const QString& timeSeparator)
{
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(d.day()) + dateSeparator + two(d.month()) + dateSeparator + QString::number(d.year())
           + QStringLiteral(" - ") + two(t.hour()) + timeSeparator + two(t.minute());
}

std::vector<TPdfRow> ListRowsBySuffix(const QString& folder, const QString& suffix, const QString& dateSeparator,
                                      const QString& timeSeparator)
{
    std::vector<TPdfRow> rows;
    const QDir dir(folder);
    if (!dir.exists())
        return rows;
    // Every entry, hidden ones too, so that the extension is matched here
    // without regard to case whatever the file system does.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& info : entries) {
        const QString name = info.fileName();
        if (!info.isFile() || !name.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        rows.push_back({name.chopped(suffix.size()),
                        PdfDateText(info.lastModified().toLocalTime(), dateSeparator, timeSeparator), name});
    }
    std::sort(rows.begin(), rows.end(), [](const TPdfRow& a, const TPdfRow& b) {
        if (const int c = a.Caption.compare(b.Caption, Qt::CaseInsensitive))
            return c < 0;
        if (const int c = a.Caption.compare(b.Caption, Qt::CaseSensitive))
            return c < 0;
        return a.FileName < b.FileName;
    });
    return rows;
}

std::vector<TPdfRow> ListPdfRows(const QString& folder, const QString& dateSeparator,
                                 const QString& timeSeparator)
{
    return ListRowsBySuffix(folder, QStringLiteral(".pdf"), dateSeparator, timeSeparator);
}

QString PdfPathToOpen(const QString& folder, const TPdfRow& row)
{
    if (row.FileName.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(row.FileName);
    return QFileInfo(path).isFile() ? path : QString();
}
