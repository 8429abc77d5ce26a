#include "WindowsVersionText.h"

#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace qz::files {

namespace {

QChar servicePackChar(const QString& sp, int i)
{
    return i < sp.size() ? sp[i] : QChar();
}

} // namespace

QString FormatWindowsVersionText(const std::optional<TOsVersionRecord>& record,
                                 const TProductTypeReader& productType)
{
    const QString unknown = QString::fromLatin1(kUnknownWindowsText);
    if (!record)
        return unknown;
    const TOsVersionRecord& r = *record;
    QString text;

    if (r.platformId == 1) {
        const QChar c = servicePackChar(r.servicePack, 1);
        if (r.major == 4 && r.minor == 0) {
            text += QStringLiteral("Windows 95 ");
            if (c == u'C' || c == u'B')
                text += QStringLiteral("OSR2 ");
        } else if (r.major == 4 && r.minor == 10) {
            text += QStringLiteral("Windows 98 ");
            if (c == u'A')
                text += QStringLiteral("SE ");
        } else if (r.major == 4 && r.minor == 90) {
            text += QStringLiteral("Windows Millennium Edition ");
        }
        return text;
    }
    if (r.platformId != 2)
        return text;

    if (r.major <= 4)
        text += QStringLiteral("Windows NT ");
    else if (r.major == 5 && r.minor == 0)
        text += QStringLiteral("Windows 2000 ");

    if (r.extended) {
        if (r.productType == 1) {
            if (r.major == 5 && r.minor == 1)
                text += QStringLiteral("Windows XP ");
            text += (r.suiteMask & 0x0200) ? QStringLiteral("Home Edition ") : QStringLiteral("Professional ");
        } else if (r.productType == 3) {
            if (r.major == 5 && r.minor == 2)
                text += QStringLiteral("Windows .NET ");
            if (r.suiteMask & 0x0080)
                text += QStringLiteral("DataCenter Server ");
            else if (r.suiteMask & 0x0002)
                text += r.major == 4 ? QStringLiteral("Advanced Server ") : QStringLiteral("Enterprise Server ");
            else if (r.suiteMask == 0x0400)
                text += QStringLiteral("Web Server ");
            else
                text += QStringLiteral("Server ");
        }
    } else {
        const std::optional<QString> value = productType ? productType() : std::nullopt;
        // The value is read into 80 bytes: 39 UTF-16 characters and a zero.
        if (!value || (value->size() + 1) * 2 > 80)
            return unknown;
        if (value->compare(QLatin1String("WINNT"), Qt::CaseInsensitive) == 0)
            text += QStringLiteral("Professional ");
        else if (value->compare(QLatin1String("LANMANNT"), Qt::CaseInsensitive) == 0)
            text += QStringLiteral("Server ");
        else if (value->compare(QLatin1String("SERVERNT"), Qt::CaseInsensitive) == 0)
            text += QStringLiteral("Advanced Server ");
    }

    const QString build = QString::number(r.build & 0xFFFF);
    if (r.major <= 4)
        text += QStringLiteral("version %1.%2 %3 (Build %4)").arg(r.major).arg(r.minor).arg(r.servicePack, build);
    else
        text += QStringLiteral("%1 (Build %2)").arg(r.servicePack, build);
    return text;
}

#ifdef Q_OS_WIN

namespace {

// GetVersionExW is deprecated but still answers, and it is the call whose
// answers the description is defined by.
BOOL getVersion(OSVERSIONINFOEXW& info)
{
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

std::optional<TOsVersionRecord> queryVersion()
{
    TOsVersionRecord r;
    OSVERSIONINFOEXW ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    if (getVersion(ex)) {
        r.extended = true;
        r.suiteMask = ex.wSuiteMask;
        r.productType = ex.wProductType;
    } else {
        ex = OSVERSIONINFOEXW{};
        ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!getVersion(ex))
            return std::nullopt;
    }
    r.platformId = ex.dwPlatformId;
    r.major = ex.dwMajorVersion;
    r.minor = ex.dwMinorVersion;
    r.build = ex.dwBuildNumber;
    r.servicePack = QString::fromWCharArray(ex.szCSDVersion);
    return r;
}

std::optional<QString> readProductType()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t buffer[40] = {};
    DWORD size = sizeof buffer;
    const LONG rc = RegQueryValueExW(key, L"ProductType", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || size > sizeof buffer)
        return std::nullopt;
    buffer[39] = L'\0';
    return QString::fromWCharArray(buffer);
}

} // namespace

QString GetWindowsVersionText()
{
    return FormatWindowsVersionText(queryVersion(), &readProductType);
}

#else

QString GetWindowsVersionText()
{
    QString text = QSysInfo::prettyProductName();
    const QString kernel = QSysInfo::kernelVersion();
    if (!kernel.isEmpty())
        text += QStringLiteral(" (%1 %2)").arg(QSysInfo::kernelType(), kernel);
    text = text.simplified();
    if (text.isEmpty())
        return QString::fromLatin1(kUnknownWindowsText);
    return text.left(kWindowsTextFieldLength);
}

#endif

QByteArray WindowsTextField(const QString& text)
{
    QByteArray out;
    const qsizetype n = std::min<qsizetype>(text.size(), kWindowsTextFieldLength);
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        char c = static_cast<char>(text[i].unicode() & 0xFF);
        // The field is written into the file: it must stay one line.
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
        out.append(c);
    }
    return out;
}

} // namespace qz::files
