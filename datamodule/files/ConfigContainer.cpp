#include "ConfigContainer.h"

#include "ConfigCheck.h"
#include "EncryptedContainer.h"
#include "HexScript.h"
#include "SaveFile.h"
#include "Scrambler.h"

#include "product/constants/BuildConstants.h"

#include <algorithm>
#include <cstring>

namespace qz::files {

namespace {

// A section or key name as the bytes of the text: Latin-1 views and ASCII
// UTF-8 views as they stand, short UTF-16 ones through a buffer on the
// stack, so that a lookup allocates nothing.
class NameBytes {
public:
    explicit NameBytes(QAnyStringView v)
    {
        v.visit([this](auto s) { take(s); });
    }
    NameBytes(const NameBytes&) = delete;
    NameBytes& operator=(const NameBytes&) = delete;
    QByteArrayView view() const { return view_; }

private:
    void take(QLatin1StringView s) { view_ = QByteArrayView(s.data(), s.size()); }
    void take(QUtf8StringView s)
    {
        const QByteArrayView bytes(s.data(), s.size());
        unsigned char all = 0;
        for (char c : bytes)
            all |= static_cast<unsigned char>(c);
        if (all & 0x80) {
            owned_ = QString::fromUtf8(bytes).toLatin1();
            view_ = owned_;
        } else {
            view_ = bytes;
        }
    }
    void take(QStringView s)
    {
        if (s.size() > kSize) {
            owned_ = s.toLatin1();
            view_ = owned_;
            return;
        }
        for (qsizetype i = 0; i < s.size(); ++i)
            buf_[i] = s[i].unicode() < 0x100 ? static_cast<char>(s[i].unicode()) : '?';
        view_ = QByteArrayView(buf_, s.size());
    }

    static constexpr qsizetype kSize = 64;
    char buf_[kSize];
    QByteArray owned_;
    QByteArrayView view_;
};

} // namespace

QString DefaultContainerText(int number)
{
    switch (number) {
    case kTextFileUnreadable:
        return QStringLiteral("Impossibile leggere i dati dal file impostato.");
    case kTextResourceUnreadable:
        return QStringLiteral("Impossibile leggere i dati dalla risorsa impostata.");
    case kTextSaveFailed:
        return QStringLiteral("Impossibile completare correttamente il caricamento/salvataggio dei dati.");
    default:
        return {};
    }
}

TFileContainerError::TFileContainerError(int number, QString text)
    : number_(number), text_(std::move(text)), utf8_(text_.toUtf8())
{
}

std::optional<QByteArray> ReadDefaultSetResource(int number)
{
    TReadResult r = ReadWholeFile(QStringLiteral(":/defaults/%1").arg(number));
    if (!r.Ok())
        return std::nullopt;
    return std::move(r.data);
}

TConfigContainer::TConfigContainer()
    : resources_(&ReadDefaultSetResource)
{
    SetFileKey(qz::FileKeyString());
}

bool TConfigContainer::SetFileKey(QByteArrayView key)
{
    if (!IsValidFileKey(key))
        return false;
    fileKey_ = key.toByteArray();
    return true;
}

void TConfigContainer::fail(int number) const
{
    QString text = texts_ ? texts_(number) : QString();
    if (text.isEmpty())
        text = DefaultContainerText(number);
    throw TFileContainerError(number, text);
}

void TConfigContainer::open(TIniDocument doc)
{
    missing_.clear();
    damagedSeen_.clear();
    damaged_.clear();
    doc_ = std::move(doc);
}

void TConfigContainer::OpenFileContainer(bool read)
{
    if (IsOpen())
        return;
    if (!read) {
        open({});
        return;
    }
    const TReadResult file = files_ ? files_(fileName_) : ReadWholeFile(fileName_);
    if (!file.Ok())
        fail(kTextFileUnreadable);
    // A damaged or foreign file is refused before anything is read from it.
    TIniDocument doc;
    if (!CheckConfigurationFile(file.data, fileKey_, &doc).Accepted())
        fail(kTextFileUnreadable);
    open(std::move(doc));
}

void TConfigContainer::CloseFileContainer(bool discard)
{
    if (!IsOpen())
        return;
    if (!discard) {
        const QByteArray scrambled = ScrambleBytes(doc_->Serialize(), fileKey_);
        const bool saved = !scrambled.isEmpty() && SaveFileAtomically(fileName_, scrambled);
        if (!saved) {
            doc_.reset();
            fail(kTextSaveFailed);
        }
    }
    doc_.reset();
}

void TConfigContainer::DeleteTempFile()
{
    doc_.reset();
}

void TConfigContainer::OpenResourceContainer(int number)
{
    if (IsOpen())
        return;
    const std::optional<QByteArray> data = resources_ ? resources_(number) : std::nullopt;
    if (!data)
        fail(kTextResourceUnreadable);
    open(TIniDocument::Parse(DescrambleBytes(*data, fileKey_, TScrambledSource::Resource)));
}

void TConfigContainer::OpenResourceContainer2(int number)
{
    if (IsOpen())
        return;
    const std::optional<QByteArray> data = resources_ ? resources_(number) : std::nullopt;
    if (!data)
        fail(kTextResourceUnreadable);
    const TContainerResult plain = DecryptContainerResource(*data);
    if (!plain.Ok())
        fail(kTextResourceUnreadable);
    open(TIniDocument::Parse(plain.body));
}

void TConfigContainer::SaveHexScript(const THexScript& script, const QString& fileName) const
{
    if (!script.Save(fileName))
        fail(kTextSaveFailed);
}

bool TConfigContainer::KeySet::insert(int number)
{
    const auto at = static_cast<std::size_t>(number);
    if (at >= marked.size())
        marked.resize(std::max<std::size_t>(at + 1, 2 * marked.size()));
    if (marked[at])
        return false;
    marked[at] = true;
    ++count;
    return true;
}

void TConfigContainer::KeySet::clear()
{
    // The marks stay allocated: the next load asks for the same keys.
    std::fill(marked.begin(), marked.end(), false);
    count = 0;
}

int TConfigContainer::keyNumber(QByteArrayView section, QByteArrayView key) const
{
    // The name "section\nkey", hashed and compared in its parts.
    const std::uint32_t hash = TNameIndex::Hash(key, TNameIndex::Hash("\n", TNameIndex::Hash(section)));
    const auto at = keyIndex_.FindHashed(hash, [&](std::size_t i) {
        const QByteArrayView name = keyNames_[i];
        return name.size() == section.size() + 1 + key.size() &&
               TNameIndex::SameName(name.first(section.size()), section) && name[section.size()] == '\n' &&
               TNameIndex::SameName(name.sliced(section.size() + 1), key);
    });
    if (at)
        return static_cast<int>(*at);
    keyNames_.push_back((section.toByteArray() + '\n' + key.toByteArray()).toLower());
    keyIndex_.AddHashed(keyNames_.size() - 1, hash);
    return static_cast<int>(keyNames_.size() - 1);
}

std::optional<QByteArray> TConfigContainer::value(QAnyStringView key, QAnyStringView section) const
{
    if (!doc_)
        return std::nullopt;
    const NameBytes s(section);
    const NameBytes k(key);
    std::optional<QByteArray> v = doc_->Value(s.view(), k.view());
    if (!v)
        missing_.insert(keyNumber(s.view(), k.view()));
    return v;
}

std::optional<std::int32_t> TConfigContainer::integer(QAnyStringView key, QAnyStringView section,
                                                      const TValueCheck& fits) const
{
    const auto v = value(key, section);
    if (!v)
        return std::nullopt;
    const std::optional<std::int32_t> n = IniTextToInteger(*v);
    if (n && (!fits || fits(*n)))
        return n;
    const NameBytes s(section);
    const NameBytes k(key);
    const int number = keyNumber(s.view(), k.view());
    if (damagedSeen_.insert(number))
        damaged_.push_back(k.view().toByteArray());
    return std::nullopt;
}

bool TConfigContainer::ReadIniInteger(std::int32_t& dest, QAnyStringView key, QAnyStringView section,
                                      const TValueCheck& fits) const
{
    const std::optional<std::int32_t> n = integer(key, section, fits);
    if (!n)
        return false;
    dest = *n;
    return true;
}

bool TConfigContainer::ReadIniBool(std::uint8_t& dest, QAnyStringView key, QAnyStringView section) const
{
    const std::optional<std::int32_t> n = integer(key, section, {});
    if (!n)
        return false;
    dest = *n != 0 ? 1 : 0;
    return true;
}

bool TConfigContainer::ReadIniRow(QByteArray& dest, QAnyStringView key, QAnyStringView section,
                                  int maxLength) const
{
    const auto v = value(key, section);
    if (!v)
        return false;
    if (maxLength > 0 && v->size() >= maxLength)
        dest = IniRowPart(*v, 1, maxLength - 1);
    else
        dest = *v;
    return true;
}

bool TConfigContainer::ReadIniRow(std::span<char> dest, QAnyStringView key, QAnyStringView section,
                                  int maxLength) const
{
    if (dest.empty())
        return false;
    const auto field = static_cast<int>(std::min<std::size_t>(dest.size(), 0x7fffffff));
    QByteArray text;
    if (!ReadIniRow(text, key, section, maxLength > 0 ? std::min(maxLength, field) : field))
        return false;
    std::memcpy(dest.data(), text.constData(), static_cast<std::size_t>(text.size()));
    dest[static_cast<std::size_t>(text.size())] = '\0';
    return true;
}

void TConfigContainer::WriteIniByte(std::uint8_t value, QAnyStringView key, QAnyStringView section)
{
    if (doc_)
        doc_->SetValue(NameBytes(section).view(), NameBytes(key).view(), value != 0 ? "1" : "0");
}

void TConfigContainer::WriteIniInteger(std::int32_t value, QAnyStringView key, QAnyStringView section)
{
    if (doc_)
        doc_->SetValue(NameBytes(section).view(), NameBytes(key).view(), IniIntToText(value));
}

void TConfigContainer::WriteIniString(QByteArrayView text, QAnyStringView key, QAnyStringView section)
{
    if (!doc_)
        return;
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text = text.first(zero);
    doc_->SetValue(NameBytes(section).view(), NameBytes(key).view(), text);
}

} // namespace qz::files
