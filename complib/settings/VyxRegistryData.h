#pragma once
// TVyxRegistryData: a fixed set of named settings, some text and some integer,
// kept in memory as "name=value" lines and persisted as the values of one
// settings key (the registry under HKEY_CURRENT_USER on Windows, a settings
// file on Linux). QtCore only; the key is reached through the platform's
// SettingsStore.
//
// The order of the lines is the order in which the settings are loaded and
// saved. Before loading, the value of a line is the setting's default.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace plat {
class SettingsStore;
}

// The root under which KeyName lies. The settings store knows the user's root
// only, which is the one the program uses.
enum class TRegistryRoot { CurrentUser };

class TVyxRegistryData;

// (sender, value name, default to use; the handler may change it)
using TMissingStringValueEvent = std::function<void(TVyxRegistryData* sender, const QString& name, QString& value)>;
using TMissingIntegerValueEvent = std::function<void(TVyxRegistryData* sender, const QString& name, int& value)>;

class TVyxRegistryData : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString KeyName READ KeyName WRITE SetKeyName)
    Q_PROPERTY(QStringList StringDataList READ StringDataList WRITE SetStringDataList)
    Q_PROPERTY(QStringList IntegerDataList READ IntegerDataList WRITE SetIntegerDataList)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    // RootKey the user's root, KeyName empty, both lists empty. The settings
    // store is the one installed in plat::CurrentServices() at this moment; it must
    // outlive the component (the destructor saves through it).
    explicit TVyxRegistryData(QObject* owner = nullptr);
    // Saves the settings (SaveToRegistry, result ignored).
    ~TVyxRegistryData() override;

    TVyxRegistryData(const TVyxRegistryData&) = delete;
    TVyxRegistryData& operator=(const TVyxRegistryData&) = delete;

    TRegistryRoot RootKey() const { return rootKey_; }
    void SetRootKey(TRegistryRoot root) { rootKey_ = root; }

    // The key's path under RootKey, as "\Software\Quorin\7304K".
    QString KeyName() const { return keyName_; }
    void SetKeyName(const QString& name) { keyName_ = name; }

    // One "name=value" line per text setting.
    QStringList StringDataList() const { return strings_; }
    // Drops every line without "=", trims the others of surrounding blanks.
    void SetStringDataList(const QStringList& lines);

    // One "name=value" line per integer setting.
    QStringList IntegerDataList() const { return integers_; }
    // As SetStringDataList; a value that is not a decimal integer becomes "0".
    void SetIntegerDataList(const QStringList& lines);

    // A free number for the owner's use (the data module keeps its start-up
    // flag here).
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // Called while loading for every setting the key does not hold (for an
    // integer setting also when the stored text is not a decimal integer),
    // with the line's default; what the handler leaves in the value is stored.
    TMissingStringValueEvent OnMissingStringValue;
    TMissingIntegerValueEvent OnMissingIntegerValue;

    // Opens the key (creating it when absent) and reads every setting in list
    // order. False when KeyName is empty (nothing touched), when the key
    // cannot be opened, or when at least one setting was missing (its default
    // is then in place).
    bool LoadFromRegistry();
    // Writes every setting, texts first. False when KeyName is empty, the key
    // cannot be opened, or a write failed (the other settings are still
    // written).
    bool SaveToRegistry();

    // The value of the setting's line; empty when there is no line.
    QString GetString(const QString& name) const;
    // The value as a decimal integer; 0 when there is no line or the value is
    // not a number.
    int GetInteger(const QString& name) const;
    // Appends "name=text" or replaces the value; an empty text removes the
    // line, so the setting then reads as empty and is no longer saved.
    void SetString(const QString& name, const QString& text);
    // Appends "name=number" or replaces the value with the decimal number.
    void SetInteger(const QString& name, int value);

    // The decimal integer of a setting's value: optional leading blanks, an
    // optional sign, digits and nothing else; empty otherwise or on overflow.
    static std::optional<int> ParseInteger(const QString& text);

private:
    plat::SettingsStore* store_;
    TRegistryRoot rootKey_ = TRegistryRoot::CurrentUser;
    QString keyName_;
    QStringList strings_;
    QStringList integers_;
    int tag_ = 0;
};
