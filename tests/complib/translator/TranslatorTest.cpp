#include "complib/translator/Translator.h"

#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using plat::testing::FakeLibraryLoader;

namespace {

// A language library made of C functions over one table, for the fakes.
struct FixtureLibrary {
    std::int8_t languages = 4;
    std::int32_t stringsPerLanguage = 1000;
    std::map<std::uint32_t, std::u16string> strings; // by resource number
    std::map<std::uint32_t, std::string> strings8;   // for the 8-bit reader
    std::vector<std::uint32_t> reads;                // resource numbers asked for
};
FixtureLibrary* g_lib = nullptr;

extern "C" std::int32_t fixtureMaxLanguages(std::int8_t* count)
{
    *count = g_lib->languages;
    return 1;
}
extern "C" std::int32_t fixtureMaxStrings(std::int32_t* count)
{
    *count = g_lib->stringsPerLanguage;
    return 1;
}
extern "C" std::int32_t fixtureLoadStringW(std::uint32_t id, char16_t* buffer, std::int32_t chars)
{
    g_lib->reads.push_back(id);
    auto it = g_lib->strings.find(id);
    if (it == g_lib->strings.end() || chars < 1)
        return 0;
    const std::int32_t n = std::min<std::int32_t>(std::int32_t(it->second.size()), chars - 1);
    std::copy_n(it->second.data(), n, buffer);
    buffer[n] = 0;
    return n;
}
extern "C" std::int32_t fixtureLoadStringA(std::uint32_t id, char* buffer, std::int32_t chars)
{
    g_lib->reads.push_back(id);
    auto it = g_lib->strings8.find(id);
    if (it == g_lib->strings8.end() || chars < 1)
        return 0;
    const std::int32_t n = std::min<std::int32_t>(std::int32_t(it->second.size()), chars - 1);
    std::copy_n(it->second.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

QHash<QByteArray, void*> allExports()
{
    return {{"_MaxLanguages", reinterpret_cast<void*>(&fixtureMaxLanguages)},
            {"_MaxStrings", reinterpret_cast<void*>(&fixtureMaxStrings)},
            {"_LoadStringW", reinterpret_cast<void*>(&fixtureLoadStringW)},
            {"_LoadStringA", reinterpret_cast<void*>(&fixtureLoadStringA)}};
}

class TranslatorTest : public ::testing::Test {
protected:
    TranslatorTest()
    {
        g_lib = &lib;
        // 4 languages x 1000 strings: name, character set, code page and a
        // few texts per language.
        const char16_t* names[] = {u"Italiano", u"English", u"Deutsch", u"Ελληνικά"};
        const char16_t* charsets[] = {u"0", u"0", u"abc", u"161"};
        const char16_t* codePages[] = {u"1252", u"1252", u"1234", u"1253"};
        for (std::uint32_t i = 0; i < 4; ++i) {
            lib.strings[i * 1000] = names[i];
            lib.strings[i * 1000 + 1] = charsets[i];
            lib.strings[i * 1000 + 2] = codePages[i];
            lib.strings[i * 1000 + 17] = u"text 17 of language " + std::u16string(1, u'0' + i);
        }
    }
    ~TranslatorTest() override { g_lib = nullptr; }

    void install(QHash<QByteArray, void*> exports = allExports())
    {
        loader.add(QStringLiteral("Languages.dll"), std::move(exports));
    }

    FixtureLibrary lib;
    FakeLibraryLoader loader;
    plat::ScopedServices guard{{.libraries = &loader}};
};

} // namespace

TEST_F(TranslatorTest, ConstructedWithoutLibrary)
{
    TTranslator t;
    EXPECT_TRUE(t.DllName().isEmpty());
    EXPECT_TRUE(t.IsUnicode());
    EXPECT_EQ(t.LanguageIndex(), 0);
    EXPECT_EQ(t.LanguageCount(), 1);
    EXPECT_EQ(t.StringsPerLanguage(), 1);
    EXPECT_EQ(t.Charset(), 1);
    EXPECT_EQ(t.CodePage(), 1252);
}

TEST_F(TranslatorTest, WithoutLibraryTheProgramsOwnTableAnswers)
{
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll")); // not installed
    EXPECT_FALSE(t.LoadDll());
    EXPECT_EQ(t.LanguageCount(), 1);
    EXPECT_EQ(t.GetString(3), QStringLiteral("Configura"));
    EXPECT_EQ(t.GetString(3, 0), QStringLiteral("Configura"));
    EXPECT_EQ(t.GetLanguageName(0), QStringLiteral("Italiano"));
    EXPECT_EQ(t.GetString(20), QString::fromUtf8("ATTENZIONE: non è stata rilevata la connessione con la centralina"));
    EXPECT_EQ(t.GetString(242), QStringLiteral("Impossibile scaricare i dati di configurazione \nprecedentemente memorizzati. Riprovare?"));

    t.SetIsUnicode(false); // the same table through the 8-bit reader
    EXPECT_EQ(t.GetString(191), QStringLiteral("Metano"));
    EXPECT_EQ(t.GetString(184), QString::fromUtf8("Modalità"));
}

TEST_F(TranslatorTest, ResourceNumbersFollowTheLanguageIndex)
{
    install();
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    EXPECT_EQ(t.LanguageCount(), 4);
    EXPECT_EQ(t.StringsPerLanguage(), 1000);

    t.SetLanguage(2);
    EXPECT_EQ(t.LanguageIndex(), 2);
    lib.reads.clear();
    EXPECT_EQ(t.GetString(17), QStringLiteral("text 17 of language 2"));
    EXPECT_EQ(lib.reads, std::vector<std::uint32_t>{2017});

    lib.reads.clear();
    EXPECT_EQ(t.GetLanguageName(3), QString::fromUtf8("Ελληνικά"));
    EXPECT_EQ(lib.reads, std::vector<std::uint32_t>{3000});
    EXPECT_EQ(t.LanguageIndex(), 2) << "the language name does not select the language";
}

TEST_F(TranslatorTest, LanguageIndexOutOfRangeIsIgnored)
{
    install();
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    t.SetLanguage(1);
    for (int bad : {4, -1, 127, 1000}) {
        t.SetLanguage(bad);
        EXPECT_EQ(t.LanguageIndex(), 1) << bad;
    }
    int missingFor = -1;
    t.OnMissingString = [&](TTranslator*, int n, QString& text) {
        missingFor = n;
        text = QStringLiteral("?");
    };
    EXPECT_EQ(t.GetLanguageName(4), QStringLiteral("?"));
    EXPECT_EQ(missingFor, 0);
    EXPECT_EQ(t.GetLanguageName(-1), QStringLiteral("?"));
}

TEST_F(TranslatorTest, ReloadingWithFewerLanguagesMovesTheIndexToTheLast)
{
    install();
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    t.SetLanguage(3);
    lib.languages = 2;
    ASSERT_TRUE(t.LoadDll());
    EXPECT_EQ(t.LanguageCount(), 2);
    EXPECT_EQ(t.LanguageIndex(), 1);

    t.FreeDll();
    EXPECT_EQ(t.LanguageCount(), 1);
    EXPECT_EQ(t.StringsPerLanguage(), 1);
    EXPECT_FALSE(t.DllLoaded());
}

// A library that tells less than one language or string is taken as one,
// so the index never goes negative.
TEST_F(TranslatorTest, CountsBelowOneAreTakenAsOne)
{
    install();
    struct Case {
        std::int8_t languages;
        std::int32_t strings;
    };
    for (Case c : {Case{0, 1000}, Case{-3, 1000}, Case{4, 0}, Case{4, -50}}) {
        lib.languages = c.languages;
        lib.stringsPerLanguage = c.strings;
        TTranslator t;
        t.SetDllName(QStringLiteral("Languages.dll"));
        ASSERT_TRUE(t.LoadDll());
        EXPECT_GE(t.LanguageCount(), 1);
        EXPECT_GE(t.StringsPerLanguage(), 1);
        EXPECT_EQ(t.LanguageIndex(), 0);
        lib.reads.clear();
        t.GetString(17);
        ASSERT_EQ(lib.reads.size(), 1u);
        EXPECT_EQ(lib.reads[0], 17u);
    }
}

TEST_F(TranslatorTest, MissingCountExportsGiveOne)
{
    QHash<QByteArray, void*> exports = allExports();
    exports.remove("_MaxLanguages");
    exports.remove("_MaxStrings");
    install(exports);
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    EXPECT_TRUE(t.LoadDll());
    EXPECT_EQ(t.LanguageCount(), 1);
    EXPECT_EQ(t.StringsPerLanguage(), 1);
    EXPECT_EQ(t.GetString(0), QStringLiteral("Italiano"));
}

// A file without a text function is no language library: every caption would
// be blank. It is refused as a missing one, and the own table answers.
TEST_F(TranslatorTest, AFileWithoutATextFunctionIsRefusedAsAMissingLibrary)
{
    const struct {
        const char* name;
        QList<QByteArray> exports;
        QString reason;
    } cases[] = {
        {"none of the exports", {}, QStringLiteral("none of the language exports")},
        {"only the counts",
         {"_MaxLanguages", "_MaxStrings"},
         QStringLiteral("no text function (_LoadStringW, _LoadStringA)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QHash<QByteArray, void*> exports;
        for (const QByteArray& name : c.exports)
            exports.insert(name, allExports().value(name));
        // A library that has other exports, as any shared object has.
        exports.insert("_CreateClassInstance", reinterpret_cast<void*>(&fixtureMaxStrings));
        loader.add(QStringLiteral("Foreign.dll"), exports);
        plat::testing::FakeLog log;
        plat::ScopedServices logged({.log = &log});
        TTranslator t;
        t.SetDllName(QStringLiteral("Foreign.dll"));
        EXPECT_FALSE(t.LoadDll());
        EXPECT_FALSE(t.DllLoaded());
        EXPECT_EQ(loader.unloaded.count(QStringLiteral("Foreign.dll")),
                  loader.loaded.count(QStringLiteral("Foreign.dll")));
        EXPECT_EQ(t.LanguageCount(), 1);
        EXPECT_EQ(t.StringsPerLanguage(), 1);
        EXPECT_EQ(t.GetString(3), QStringLiteral("Configura"));
        EXPECT_EQ(log.lines, QStringList{QStringLiteral("run-time library Foreign.dll refused: ") + c.reason});
    }
}

TEST_F(TranslatorTest, CharsetAndCodePageOfTheChosenLanguage)
{
    install();
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    t.SetLanguage(3);
    EXPECT_EQ(t.Charset(), 161);
    EXPECT_EQ(t.CodePage(), 1253);
    t.SetLanguage(2); // "abc" and 1234: both kept
    EXPECT_EQ(t.Charset(), 161);
    EXPECT_EQ(t.CodePage(), 1253);
    t.SetLanguage(0);
    EXPECT_EQ(t.Charset(), 0);
    EXPECT_EQ(t.CodePage(), 1252);

    struct Case {
        int number;
        bool accepted;
    };
    for (Case c : {Case{204, true}, Case{205, false}, Case{255, true}, Case{-1, false}, Case{3, false}}) {
        TTranslator u;
        u.SetCharset(c.number);
        EXPECT_EQ(u.Charset(), c.accepted ? c.number : 1) << c.number;
    }
    for (Case c : {Case{1251, true}, Case{65001, true}, Case{437, true}, Case{1234, false}, Case{0, false}}) {
        TTranslator u;
        u.SetCodePage(c.number);
        EXPECT_EQ(u.CodePage(), c.accepted ? c.number : 1252) << c.number;
    }
}

TEST_F(TranslatorTest, LengthsAndCuts)
{
    lib.strings[5] = u"Twelve chars";
    lib.strings[6] = std::u16string(300, u'x');
    install();
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    struct Case {
        int number;
        int maxLength;
        QString expected;
    };
    const Case cases[] = {
        {5, 5, QStringLiteral("Twelv")},  {5, 0, QStringLiteral("Twelve chars")},
        {5, -1, QStringLiteral("Twelve chars")}, {5, 100, QStringLiteral("Twelve chars")},
        {6, 0, QString(254, QLatin1Char('x'))}, {6, 3, QStringLiteral("xxx")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.GetString(c.number, c.maxLength), c.expected) << c.number << " " << c.maxLength;
}

TEST_F(TranslatorTest, MissingStringsGiveTheHandlersTextForTheAskedNumber)
{
    lib.strings[2040] = u"";
    install();
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    t.SetLanguage(2);
    EXPECT_EQ(t.GetString(40), QString()); // empty counts as missing
    EXPECT_EQ(t.GetString(999), QString());

    std::vector<int> asked;
    t.OnMissingString = [&](TTranslator* sender, int n, QString& text) {
        EXPECT_EQ(sender, &t);
        EXPECT_TRUE(text.isEmpty());
        asked.push_back(n);
        text = QStringLiteral("missing");
    };
    EXPECT_EQ(t.GetString(40), QStringLiteral("missing"));
    EXPECT_EQ(t.GetString(41, 4), QStringLiteral("miss"));
    EXPECT_EQ(t.GetString(-5000), QStringLiteral("missing")); // no resource number below 0
    EXPECT_EQ(t.GetString(17), QStringLiteral("text 17 of language 2"));
    EXPECT_EQ(asked, (std::vector<int>{40, 41, -5000}));
}

TEST_F(TranslatorTest, EightBitStringsAreWidenedFromTheWindowsCodePage)
{
    lib.strings8[7] = "perch\xE8 \x80 \x93ok\x94";
    QHash<QByteArray, void*> exports = allExports();
    install(exports);
    TTranslator t;
    t.SetIsUnicode(false);
    t.SetDllName(QStringLiteral("Languages.dll"));
    ASSERT_TRUE(t.LoadDll());
    EXPECT_EQ(t.GetString(7), QString::fromUtf8("perchè € “ok”"));

    // A library without the 16-bit reader is read as 8-bit text.
    exports.remove("_LoadStringW");
    loader.add(QStringLiteral("Other.dll"), exports);
    TTranslator u;
    u.SetDllName(QStringLiteral("Other.dll"));
    ASSERT_TRUE(u.LoadDll());
    EXPECT_EQ(u.GetString(7), QString::fromUtf8("perchè € “ok”"));
}

TEST_F(TranslatorTest, ChangingTheNameReloadsALoadedLibrary)
{
    install();
    loader.add(QStringLiteral("Other.dll"), allExports());
    TTranslator t;
    t.SetDllName(QStringLiteral("Languages.dll"));
    EXPECT_TRUE(loader.loaded.isEmpty()) << "a name alone loads nothing";
    ASSERT_TRUE(t.LoadDll());
    t.SetDllName(QStringLiteral("Languages.dll"));
    EXPECT_EQ(loader.loaded.size(), 1) << "the same name changes nothing";
    t.SetDllName(QStringLiteral("Other.dll"));
    EXPECT_EQ(loader.loaded, QStringList({"Languages.dll", "Other.dll"}));
    EXPECT_EQ(loader.unloaded, QStringList({"Languages.dll"}));
    t.SetDllName(QStringLiteral("Missing.dll"));
    EXPECT_FALSE(t.DllLoaded());
    EXPECT_EQ(t.GetString(3), QStringLiteral("Configura"));
}

// The language library built into the program folder.
TEST(LanguageLibraryTest, ItalianAndEnglishFromTheProgramFolder)
{
    plat::QtLibraryLoader loader;
    plat::ScopedServices guard({.libraries = &loader});
    plat::SetProgramFolder(QStringLiteral(QZ_APP_DIR));
    {
        TTranslator t;
        t.SetDllName(QStringLiteral("Languages.dll"));
        ASSERT_TRUE(t.LoadDll());
        EXPECT_EQ(t.LanguageCount(), 2);
        EXPECT_EQ(t.StringsPerLanguage(), 1000);
        EXPECT_EQ(t.GetLanguageName(0), QStringLiteral("Italiano"));
        EXPECT_EQ(t.GetLanguageName(1), QStringLiteral("English"));
        EXPECT_EQ(t.GetString(3), QStringLiteral("Configura"));
        t.SetLanguage(1);
        EXPECT_EQ(t.GetString(3), QStringLiteral("Configure"));
        EXPECT_EQ(t.Charset(), 0);
        EXPECT_EQ(t.CodePage(), 1252);
        t.SetIsUnicode(false);
        EXPECT_EQ(t.GetString(3), QStringLiteral("Configure"));
    }
    plat::SetProgramFolder({});
}
