#include "FileRules.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString CleanConfigName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        switch (c.unicode()) {
        case '.':
        case '/':
        case '\\':
        case '"':
        case ',':
        case ';':
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool NameHasPathSeparator(const QString& name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'));
}

bool HasConfigExtension(const QString& name, const QString& extension)
{
    return name.endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive);
}

QString FileNameToOpen(const QString& folder, const QString& name, const QString& extension)
{
    if (QFileInfo(QDir(folder).filePath(name)).isFile())
        return name;
    return HasConfigExtension(name, extension) ? name : name + QLatin1Char('.') + extension;
}

QString PathToSave(const QString& folder, const QString& name, const QString& extension)
{
    const QString file = HasConfigExtension(name, extension) ? name : name + QLatin1Char('.') + extension;
    return QDir(folder).filePath(file);
}

QString ConfigFuelFolder(const QString& applicationFolder, bool cng)
{
    return QDir::cleanPath(applicationFolder + (cng ? QStringLiteral("/ConfigCNG") : QStringLiteral("/ConfigLPG")));
}

QString ConfigMakeFolder(const QString& fuelFolder, const QString& make)
{
    if (make.isEmpty() || make == QLatin1String("."))
        return fuelFolder;
    return QDir::cleanPath(fuelFolder + QLatin1Char('/') + make);
}

QStringList ListMakeFolders(const QString& folder)
{
    QStringList makes = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::NoSort);
    std::sort(makes.begin(), makes.end(), [](const QString& a, const QString& b) {
        if (const int c = a.compare(b, Qt::CaseInsensitive))
            return c < 0;
        return a < b;
    });
    return makes;
}

std::vector<TPdfRow> ListConfigRows(const QString& folder, const QString& extension,
                                    const QString& dateSeparator, const QString& timeSeparator)
{
    if (extension.isEmpty())
        return {};
    return ListRowsBySuffix(folder, QLatin1Char('.') + extension, dateSeparator, timeSeparator);
}

bool AnyConfigFile(const QString& folder, const QString& extension)
{
    return !ListConfigRows(folder, extension, QStringLiteral("/"), QStringLiteral(":")).empty();
}

int EcuKindItemOfType(int ecuType)
{
    switch (ecuType) {
    case 31:
    case 53:
    case 56:
        return 2;
    case 79:
        return 1;
    default:
        return 0;
    }
}

int EcuTypeOfKindItem(int item)
{
    switch (item) {
    case 1:
        return 79;
    case 2:
        return 31;
    default:
        return 30;
    }
}

QString MailResultText(int result)
{
    switch (result) {
    case 2:
        return QStringLiteral("One or more unspecified errors occurred. No message was sent.");
    case 3:
        return QStringLiteral("There was no default logon, and the user failed to log on successfully \n"
                              "when the logon dialog box was displayed. No message was sent.");
    case 5:
        return QStringLiteral("There was insufficient memory to proceed. No message was sent.");
    case 9:
        return QStringLiteral("There were too many file attachments. No message was sent.");
    case 10:
        return QStringLiteral("There were too many recipients. No message was sent.");
    case 11:
        return QStringLiteral("The specified attachment was not found. No message was sent.");
    case 12:
        return QStringLiteral("The specified attachment could not be opened. No message was sent.");
    case 14:
        return QStringLiteral("A recipient did not appear in the address list. No message was sent.");
    case 15:
        return QStringLiteral("The type of a recipient was not MAPI_TO, MAPI_CC, \n"
                              "or MAPI_BCC. No message was sent.");
    case 18:
        return QStringLiteral("The text in the message was too large. No message was sent.");
    case 21:
        return QStringLiteral("A recipient matched more than one of the recipient descriptor structures \n"
                              "and MAPI_DIALOG was not set. No message was sent.");
    case 25:
        return QStringLiteral("One or more recipients were invalid or did not resolve to any address.");
    default:
        return {};
    }
}

QString DamagedValuesQuestion(QString text, int count, const std::vector<QByteArray>& keys)
{
    constexpr std::size_t kNamed = 3;
    QStringList named;
    for (std::size_t i = 0; i < std::min(keys.size(), kNamed); ++i)
        named << QString::fromLatin1(keys[i]);
    if (keys.size() > kNamed)
        named << QStringLiteral("...");
    return text.replace(QLatin1String("%1"), QString::number(count))
        .replace(QLatin1String("%2"), named.join(QLatin1String(", ")));
}
