#pragma once
// TTranslator: the text of a string number in the current language. The texts
// come from the language library (DllName, normally "Languages.dll"); without
// it the same numbers are read from the program's own string table, so the
// Italian texts appear. QtCore only; the library is reached through the
// platform's LibraryLoader.
#include "complib/language/LanguageLibrary.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace plat {
class DynamicLibrary;
}

class TTranslator;

// (sender, string number asked for, text; starts empty, the handler may fill it)
using TMissingStringEvent = std::function<void(TTranslator* sender, int number, QString& text)>;

class TTranslator : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString DllName READ DllName WRITE SetDllName)
    Q_PROPERTY(bool IsUnicode READ IsUnicode WRITE SetIsUnicode)

public:
    // Longest text a string can carry; longer strings arrive cut.
    static constexpr int kMaxStringLength = 254;

    // Nothing loaded, LanguageIndex 0, one language of one string, DllName
    // empty, Charset 1, CodePage 1252, IsUnicode true.
    explicit TTranslator(QObject* owner = nullptr);
    // Frees the library.
    ~TTranslator() override;

    TTranslator(const TTranslator&) = delete;
    TTranslator& operator=(const TTranslator&) = delete;

    QString DllName() const { return dllName_; }
    // A new name reloads the library when one is loaded.
    void SetDllName(const QString& name);

    bool IsUnicode() const { return isUnicode_; }
    // True: strings are read as 16-bit text; false: as 8-bit text, widened
    // with the language library's code page.
    void SetIsUnicode(bool value);

    // Called for every string that is absent or empty; the number is the
    // string number asked for, not the library's resource number.
    TMissingStringEvent OnMissingString;

    int LanguageIndex() const { return languageIndex_; }
    std::int8_t LanguageCount() const { return languageCount_; }
    int StringsPerLanguage() const { return stringsPerLanguage_; }
    int Charset() const { return charset_; }
    int CodePage() const { return codePage_; }
    bool DllLoaded() const { return library_ != nullptr; }

    // (Re)loads the library named DllName and asks it for its language and
    // string counts (1 each when it does not tell, or tells less than 1).
    // Moves LanguageIndex to the last language when it lies beyond. True when
    // the library loaded. Before the file is mapped, the probe makes these
    // calls and reads the first strings of every language in a process of its
    // own. A file without a text function (_LoadStringW or _LoadStringA) is no
    // language library: it is refused as a missing one, and the program's own
    // table answers.
    bool LoadDll();
    // Announces the library to the probe ahead of LoadDll, so that the
    // libraries announced together are probed by one process.
    void PrepareDll();
    // Frees the library; one language of one string.
    void FreeDll();

    // The text of string `number` in the current language (resource number
    // number + LanguageIndex x StringsPerLanguage), at most 254 characters;
    // the missing text when absent or empty. maxLength above 0 keeps that
    // many leading characters.
    QString GetString(int number, int maxLength = 0);
    // Selects a language; an index outside 0..LanguageCount-1 is ignored.
    // Takes the language's character set (string 1) and code page (string 2)
    // when they are numbers that are accepted.
    void SetLanguage(int index);
    // String 0 of the given language; the current language stays. An index
    // outside 0..LanguageCount-1 gives the missing text for number 0.
    QString GetLanguageName(int index);

    // Accepts only the known character-set numbers (0, 1, 2, 77, 128, 129,
    // 130, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238, 255).
    void SetCharset(int number);
    // Accepts only valid Windows code pages (IsValidCodePage).
    void SetCodePage(int number);

    // The probe kind of the language library (plat/LibraryProbe.h).
    static constexpr const char* kProbeKind = "language";

    // The code pages SetCodePage accepts.
    static bool IsValidCodePage(int codePage);
    static bool IsValidCharset(int charset);

private:
    // The text of resource number `resource`, or empty when absent.
    QString readResource(std::int64_t resource);
    QString missingText(int number);

    QString dllName_;
    bool isUnicode_ = false;
    int languageIndex_ = 0;
    std::int8_t languageCount_ = 1;
    std::int32_t stringsPerLanguage_ = 1;
    int charset_ = 1;
    int codePage_ = 1252;
    std::unique_ptr<plat::DynamicLibrary> library_;
    LoadStringWFn loadStringW_ = nullptr;
    LoadStringAFn loadStringA_ = nullptr;
};
