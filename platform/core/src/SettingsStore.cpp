#include "plat/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <charconv>

namespace plat {

std::optional<int> ParseDecimalInt(const QString& text)
{
    const QByteArray b = text.toLatin1();
    if (b.isEmpty() || text.size() != b.size())
        return std::nullopt;
    const char* first = b.constData();
    const char* last = first + b.size();
    if (*first == '+')
        ++first;
    int value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, 10);
    if (ec != std::errc() || ptr != last || first == last)
        return std::nullopt;
    return value;
}

namespace {

class QtSettingsKey final : public SettingsKey {
public:
    explicit QtSettingsKey(std::unique_ptr<QSettings> s) : s_(std::move(s)) {}

    bool valueExists(const QString& name) override { return s_->contains(name); }

    std::optional<QString> readString(const QString& name) override
    {
        if (!s_->contains(name))
            return std::nullopt;
        return s_->value(name).toString();
    }

    std::optional<int> readInteger(const QString& name) override
    {
        if (!s_->contains(name))
            return std::nullopt;
        const QVariant v = s_->value(name);
        if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong
            || v.typeId() == QMetaType::UInt) {
            bool ok = false;
            const int i = v.toInt(&ok);
            return ok ? std::optional<int>(i) : std::nullopt;
        }
        return ParseDecimalInt(v.toString());
    }

    bool writeString(const QString& name, const QString& value) override
    {
        s_->setValue(name, value);
        return s_->status() == QSettings::NoError;
    }

    bool writeInteger(const QString& name, int value) override
    {
        s_->setValue(name, value);
        return s_->status() == QSettings::NoError;
    }

    bool close() override
    {
        s_->sync();
        return s_->status() == QSettings::NoError;
    }

private:
    std::unique_ptr<QSettings> s_;
};

// "\Software\Quorin\7304K" -> {"Software", "Quorin", "7304K"}
QStringList keyParts(const QString& keyPath)
{
    QString p = keyPath;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return p.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

} // namespace

QtSettingsStore::QtSettingsStore(QString configRoot) : configRoot_(std::move(configRoot)) {}

QString QtSettingsStore::locationOf(const QString& keyPath) const
{
    QStringList parts = keyParts(keyPath);
#ifdef Q_OS_WIN
    return QLatin1String("HKEY_CURRENT_USER\\") + parts.join(QLatin1Char('\\'));
#else
    // The registry's "Software" level has no counterpart in the file tree.
    if (!parts.isEmpty() && parts.front().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        return {};
    const QString root = configRoot_.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        : configRoot_;
    const QString app = parts.takeLast();
    QString dir = root;
    for (const QString& p : parts)
        dir += QLatin1Char('/') + p;
    return dir + QLatin1Char('/') + app + QLatin1String(".conf");
#endif
}

std::unique_ptr<SettingsKey> QtSettingsStore::openKey(const QString& keyPath)
{
    const QString location = locationOf(keyPath);
    if (location.isEmpty())
        return nullptr;
#ifndef Q_OS_WIN
    const QFileInfo fi(location);
    if (!QDir().mkpath(fi.absolutePath()))
        return nullptr;
#endif
    auto s = std::make_unique<QSettings>(location, QSettings::NativeFormat);
    if (s->status() != QSettings::NoError)
        return nullptr;
#ifndef Q_OS_WIN
    // An unreadable file would read as an empty key and then be overwritten.
    if (fi.exists() && !fi.isReadable())
        return nullptr;
#endif
    return std::make_unique<QtSettingsKey>(std::move(s));
}

} // namespace plat
