#pragma once
#include <QString>
#include <memory>
#include <optional>

namespace plat {

// One key of the settings store (the registry under HKEY_CURRENT_USER on
// Windows, ~/.config/<first>/<second>.conf on Linux).
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    virtual bool valueExists(const QString& name) = 0;
    virtual std::optional<QString> readString(const QString& name) = 0;
    // Empty when the value is absent or is not a decimal integer.
    virtual std::optional<int> readInteger(const QString& name) = 0;
    virtual bool writeString(const QString& name, const QString& value) = 0;
    virtual bool writeInteger(const QString& name, int value) = 0;
    // Flushes; false when the store could not be written.
    virtual bool close() = 0;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // keyPath as the program names it under the user's root:
    // "\Software\Quorin\7304K". Creates the key when absent.
    virtual std::unique_ptr<SettingsKey> openKey(const QString& keyPath) = 0;
};

// QSettings in its native format. On Linux keyPath "\Software\A\B" is the file
// <configRoot>/A/B.conf; configRoot defaults to the user's configuration
// folder (~/.config).
class QtSettingsStore final : public SettingsStore {
public:
    explicit QtSettingsStore(QString configRoot = {});
    std::unique_ptr<SettingsKey> openKey(const QString& keyPath) override;

    // The file (or registry path) that keyPath maps to.
    QString locationOf(const QString& keyPath) const;

private:
    QString configRoot_;
};

// Parses a decimal integer the way the settings do ("%i"): optional sign,
// digits, nothing else; empty on anything else or on overflow.
std::optional<int> ParseDecimalInt(const QString& text);

} // namespace plat
