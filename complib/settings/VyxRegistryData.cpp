#include "VyxRegistryData.h"

#include "plat/Services.h"
#include "plat/SettingsStore.h"

namespace {

// Windows value names, like the lines' names, compare without regard to case.
int indexOfName(const QStringList& lines, const QString& name)
{
    for (int i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(lines[i]).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString nameOf(const QString& line)
{
    return line.left(line.indexOf(QLatin1Char('=')));
}

QString valueOf(const QString& line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

QStringList normalised(const QStringList& lines)
{
    // From last to first: lines without "=" go, the others are trimmed.
    QStringList out;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!lines[i].contains(QLatin1Char('=')))
            continue;
        out.prepend(lines[i].trimmed());
    }
    return out;
}

QStringList namesOf(const QStringList& lines)
{
    QStringList names;
    for (const QString& l : lines)
        names.append(nameOf(l));
    return names;
}

} // namespace

TVyxRegistryData::TVyxRegistryData(QObject* owner) : QObject(owner), store_(plat::CurrentServices().settings) {}

TVyxRegistryData::~TVyxRegistryData()
{
    SaveToRegistry();
}

std::optional<int> TVyxRegistryData::ParseInteger(const QString& text)
{
    qsizetype first = 0;
    while (first < text.size() && text[first] == QLatin1Char(' '))
        ++first;
    return plat::ParseDecimalInt(text.mid(first));
}

void TVyxRegistryData::SetStringDataList(const QStringList& lines)
{
    strings_ = normalised(lines);
}

void TVyxRegistryData::SetIntegerDataList(const QStringList& lines)
{
    integers_ = normalised(lines);
    for (QString& l : integers_) {
        if (!ParseInteger(valueOf(l)))
            l = nameOf(l) + QLatin1String("=0");
    }
}

QString TVyxRegistryData::GetString(const QString& name) const
{
    const int i = indexOfName(strings_, name);
    return i < 0 ? QString() : valueOf(strings_[i]);
}

int TVyxRegistryData::GetInteger(const QString& name) const
{
    const int i = indexOfName(integers_, name);
    if (i < 0)
        return 0;
    return ParseInteger(valueOf(integers_[i])).value_or(0);
}

void TVyxRegistryData::SetString(const QString& name, const QString& text)
{
    const int i = indexOfName(strings_, name);
    if (i < 0) {
        // An empty text would make a line that the next store removes; the
        // setting reads as empty either way.
        if (!text.isEmpty())
            strings_.append(name + QLatin1Char('=') + text);
        return;
    }
    if (text.isEmpty())
        strings_.removeAt(i);
    else
        strings_[i] = nameOf(strings_[i]) + QLatin1Char('=') + text;
}

void TVyxRegistryData::SetInteger(const QString& name, int value)
{
    const QString number = QString::number(value);
    const int i = indexOfName(integers_, name);
    if (i < 0)
        integers_.append(name + QLatin1Char('=') + number);
    else
        integers_[i] = nameOf(integers_[i]) + QLatin1Char('=') + number;
}

bool TVyxRegistryData::LoadFromRegistry()
{
    if (keyName_.isEmpty() || !store_)
        return false;
    std::unique_ptr<plat::SettingsKey> key = store_->openKey(keyName_);
    if (!key)
        return false;

    bool result = true;
    // Every listed name once, also when an empty text removes its line.
    for (const QString& name : namesOf(strings_)) {
        if (std::optional<QString> stored = key->readString(name)) {
            SetString(name, *stored);
        } else {
            QString value = GetString(name);
            if (OnMissingStringValue)
                OnMissingStringValue(this, name, value);
            SetString(name, value);
            result = false;
        }
    }
    for (const QString& name : namesOf(integers_)) {
        if (std::optional<int> stored = key->readInteger(name)) {
            SetInteger(name, *stored);
        } else {
            int value = GetInteger(name);
            if (OnMissingIntegerValue)
                OnMissingIntegerValue(this, name, value);
            SetInteger(name, value);
            result = false;
        }
    }
    key->close();
    return result;
}

bool TVyxRegistryData::SaveToRegistry()
{
    if (keyName_.isEmpty() || !store_)
        return false;
    std::unique_ptr<plat::SettingsKey> key = store_->openKey(keyName_);
    if (!key)
        return false;

    bool result = true;
    for (const QString& line : strings_) {
        if (!key->writeString(nameOf(line), valueOf(line)))
            result = false;
    }
    for (const QString& line : integers_) {
        const std::optional<int> value = ParseInteger(valueOf(line));
        if (!value || !key->writeInteger(nameOf(line), *value))
            result = false;
    }
    // A store that cannot be flushed has kept nothing.
    if (!key->close())
        result = false;
    return result;
}
