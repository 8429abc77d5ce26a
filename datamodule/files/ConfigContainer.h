#pragma once
// The configuration-file container: the one open INI text of the data module,
// taken from a scrambled configuration file or from a built-in default set,
// read and written with typed readers and writers, and scrambled back into the
// file when a save ends.
//
// The plain text stays in memory: no plain copy is ever written to disk. Only
// one container is open at a time; an open while one is open does nothing,
// and so does a close while none is. A failed open leaves nothing open. The
// errors are TFileContainerError exceptions carrying the text of string 301
// (file cannot be read), 302 (built-in set cannot be read) or 304 (file cannot
// be saved); a failed save leaves the previous file as it was.
#include "IniDocument.h"
#include "SaveFile.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace qz::files {

class THexScript;

// String numbers of the container's error texts.
inline constexpr int kTextFileUnreadable = 301;
inline constexpr int kTextResourceUnreadable = 302;
inline constexpr int kTextSaveFailed = 304;

// The program's own (Italian) text of those numbers; empty for any other.
QString DefaultContainerText(int number);

class TFileContainerError : public std::exception {
public:
    TFileContainerError(int number, QString text);
    int Number() const { return number_; }
    const QString& Text() const { return text_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    int number_;
    QString text_;
    QByteArray utf8_;
};

// Whether the item a value read from a file goes to can hold it.
using TValueCheck = std::function<bool(std::int32_t value)>;

// The text of a string number in the current language.
using TTextSource = std::function<QString(int number)>;
// The bytes of a built-in default set by resource number; none when the
// program has no such set.
using TResourceSource = std::function<std::optional<QByteArray>(int number)>;

// The built-in sets as the program carries them: the Qt resource
// ":/defaults/<number>".
std::optional<QByteArray> ReadDefaultSetResource(int number);

// The bytes of a configuration file by name (ReadWholeFile).
using TFileSource = std::function<TReadResult(const QString& fileName)>;

class TConfigContainer {
public:
    // File name "default", the build's configuration-file key, the Italian
    // texts and the program's own resources.
    TConfigContainer();

    // Texts by number (the translator); empty answers fall back to the
    // Italian texts.
    void SetTextSource(TTextSource source) { texts_ = std::move(source); }
    void SetResourceSource(TResourceSource source) { resources_ = std::move(source); }
    // Where configuration files are read from: the disk (ReadWholeFile);
    // the fuzz target hands over its inputs.
    void SetFileSource(TFileSource source) { files_ = std::move(source); }

    // The configuration file that the file operations open and save; taken
    // whole, never cut.
    void SetFileName(const QString& name) { fileName_ = name; }
    const QString& FileName() const { return fileName_; }

    // A key of 1 to 49 bytes is taken (true); any other is refused and the
    // key stays as it was.
    bool SetFileKey(QByteArrayView key);
    const QByteArray& FileKey() const { return fileKey_; }

    // Read: the descrambled configuration file; otherwise an empty text that
    // the writers fill. Throws 301 when the file cannot be read or is not a
    // whole configuration of this system (ConfigCheck.h).
    void OpenFileContainer(bool read);
    // Unless discard: scrambles the text into the configuration file (throws
    // 304 when that fails; the container is closed all the same). Closes.
    void CloseFileContainer(bool discard);
    // Closes without saving.
    void DeleteTempFile();
    // A built-in set stored scrambled; throws 302 when it is missing.
    void OpenResourceContainer(int number);
    // A built-in set stored as an encrypted container; throws 302 when it is
    // missing, short or not such a container.
    void OpenResourceContainer2(int number);
    // Closes a container opened by OpenResourceContainer2 (or any other).
    void DeleteTempFile2() { DeleteTempFile(); }

    bool IsOpen() const { return doc_.has_value(); }
    // The keys that readers asked for and the open text lacks (each counted
    // once), since the last open; kept after the close.
    int MissingKeyCount() const { return missing_.count; }
    // The keys whose values the readers refused (each counted once), in the
    // order they were read, since the last open; kept after the close.
    int DamagedKeyCount() const { return static_cast<int>(damaged_.size()); }
    const std::vector<QByteArray>& DamagedKeys() const { return damaged_; }
    // The open text, for inspection; null when none is open.
    const TIniDocument* Document() const { return doc_ ? &*doc_ : nullptr; }

    // The end of a script export: scrambles the script under the script key
    // (the file key is neither used nor changed) and replaces fileName with
    // it. Throws 304 when the file cannot be saved; the previous file then
    // stays as it was.
    void SaveHexScript(const THexScript& script, const QString& fileName) const;

    // Readers: false, with the destination unchanged, when no container is
    // open or the key is missing from the section.
    // A value that is no integer (IniTextToInteger), or one that fits
    // refuses, is damaged: it is counted, the destination stays unchanged
    // and the answer is false.
    bool ReadIniInteger(std::int32_t& dest, QAnyStringView key, QAnyStringView section,
                        const TValueCheck& fits = {}) const;
    // 1 when the value reads as a non-zero integer, else 0; a value that is
    // no integer is damaged, as above.
    bool ReadIniBool(std::uint8_t& dest, QAnyStringView key, QAnyStringView section) const;
    // The text value; with a maximum length N other than 0 at most N-1
    // characters (N counts the terminating zero of the field), else the
    // whole text.
    bool ReadIniRow(QByteArray& dest, QAnyStringView key, QAnyStringView section, int maxLength) const;
    // Into a character field: cut to the smaller of maxLength and the field
    // (maxLength 0: the field), always zero-terminated.
    bool ReadIniRow(std::span<char> dest, QAnyStringView key, QAnyStringView section, int maxLength) const;
    template <std::size_t N>
    bool ReadIniRow(char (&dest)[N], QAnyStringView key, QAnyStringView section, int maxLength) const
    {
        return ReadIniRow(std::span<char>(dest, N), key, section, maxLength);
    }

    // Writers: nothing when no container is open.
    // "1" for a non-zero value, "0" for 0.
    void WriteIniByte(std::uint8_t value, QAnyStringView key, QAnyStringView section);
    void WriteIniInteger(std::int32_t value, QAnyStringView key, QAnyStringView section);
    // The text as it stands, up to a terminating zero if it has one.
    void WriteIniString(QByteArrayView text, QAnyStringView key, QAnyStringView section);

private:
    std::optional<QByteArray> value(QAnyStringView key, QAnyStringView section) const;
    // The key's value as an integer; none (counted as damaged) when it is no
    // integer or fits refuses it, none (counted as missing) without the key.
    std::optional<std::int32_t> integer(QAnyStringView key, QAnyStringView section, const TValueCheck& fits) const;
    [[noreturn]] void fail(int number) const;
    // Makes doc the open text; the count of missing keys starts again.
    void open(TIniDocument doc);

    QString fileName_ = QStringLiteral("default");
    QByteArray fileKey_;
    TTextSource texts_;
    TResourceSource resources_;
    TFileSource files_;
    std::optional<TIniDocument> doc_;
    // Every key a reader asked for has a number (its folded "section\nkey"),
    // kept from open to open: the readers ask for the same keys each time,
    // so counting them allocates nothing once they are known.
    int keyNumber(QByteArrayView section, QByteArrayView key) const;
    mutable std::vector<QByteArray> keyNames_; // folded "section\nkey" by number
    mutable TNameIndex keyIndex_;
    // Keys by number, each counted once: a mark per key number.
    struct KeySet {
        std::vector<bool> marked;
        int count = 0;
        // True when number was not in the set yet.
        bool insert(int number);
        void clear();
    };
    mutable KeySet missing_;
    mutable KeySet damagedSeen_;
    mutable std::vector<QByteArray> damaged_; // the keys, as the readers name them
};

} // namespace qz::files
