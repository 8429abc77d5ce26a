// The string tables: the program's own (Italian) table and the two languages
// of the language library hold the same numbers, every text is there in both
// languages, and every string number the program's code asks for exists.
#include "complib/language/LanguageLibrary.h"
#include "resources/strings/OwnStringTable.h"

#include "plat/DynamicLibrary.h"

#include <QDirIterator>
#include <QFile>
#include <QLibrary>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr std::uint32_t kStride = 1000;

class StringTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib.setFileName(QStringLiteral(QZ_APP_DIR "/") + plat::LibraryFileName(QStringLiteral("Languages.dll")));
        ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
        load = reinterpret_cast<LoadStringWFn>(lib.resolve("_LoadStringW"));
        ASSERT_NE(load, nullptr);
    }
    void TearDown() override { lib.unload(); }

    QString library(std::uint32_t id) const
    {
        char16_t buffer[256] = {};
        const std::int32_t n = load(id, buffer, 256);
        return QString::fromUtf16(buffer, n);
    }
    static QString own(std::uint32_t id)
    {
        const std::u16string_view s = qz::strings::Find(qz::strings::OwnStringTable(), id);
        return QString::fromUtf16(s.data(), qsizetype(s.size()));
    }
    static std::set<std::uint32_t> ownNumbers()
    {
        std::set<std::uint32_t> n;
        const auto& t = qz::strings::OwnStringTable();
        for (std::size_t i = 0; i < t.count; ++i)
            n.insert(t.entries[i].id);
        return n;
    }

    QLibrary lib;
    LoadStringWFn load = nullptr;
};

// The numbers the code asks the translator for as literals.
std::set<std::uint32_t> numbersUsedInCode()
{
    std::set<std::uint32_t> used;
    const QRegularExpression call(QStringLiteral(R"(GetString\s*\(\s*(\d+)\s*[,)])"));
    for (const char* folder : {"complib", "datamodule", "shell", "config", "live"}) {
        QDirIterator it(QStringLiteral(QZ_SOURCE_DIR "/") + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(f.readAll());
            for (auto m = call.globalMatch(text); m.hasNext();)
                used.insert(m.next().captured(1).toUInt());
        }
    }
    return used;
}

} // namespace

TEST_F(StringTablesTest, LibraryExportsTwoLanguagesOfAThousandStrings)
{
    auto maxLanguages = reinterpret_cast<MaxLanguagesFn>(lib.resolve("_MaxLanguages"));
    auto maxStrings = reinterpret_cast<MaxStringsFn>(lib.resolve("_MaxStrings"));
    ASSERT_NE(maxLanguages, nullptr);
    ASSERT_NE(maxStrings, nullptr);
    std::int8_t languages = 0;
    std::int32_t strings = 0;
    maxLanguages(&languages);
    maxStrings(&strings);
    EXPECT_EQ(languages, 2);
    EXPECT_EQ(strings, std::int32_t(kStride));
    EXPECT_NE(lib.resolve("_LoadStringA"), nullptr);
}

TEST_F(StringTablesTest, LoaderCopiesLikeAResourceStringLoader)
{
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(load(3, buffer, 5), 4); // "Configura" cut to size - 1
    EXPECT_EQ(std::u16string(buffer), u"Conf");
    EXPECT_EQ(load(3, buffer, 0), 0);
    EXPECT_EQ(load(3, nullptr, 8), 0);
    EXPECT_EQ(load(999, buffer, 8), 0);
    EXPECT_EQ(load(2 * kStride + 3, buffer, 8), 0) << "there is no third language";

    char narrow[16];
    auto loadA = reinterpret_cast<LoadStringAFn>(lib.resolve("_LoadStringA"));
    ASSERT_NE(loadA, nullptr);
    EXPECT_EQ(loadA(184, narrow, 16), 8);
    EXPECT_STREQ(narrow, "Modalit\xE0");
}

TEST_F(StringTablesTest, BothLanguagesHoldEveryNumberOfTheOwnTable)
{
    const std::set<std::uint32_t> numbers = ownNumbers();
    ASSERT_GT(numbers.size(), 400u);
    for (std::uint32_t n : numbers) {
        ASSERT_LT(n, kStride);
        EXPECT_FALSE(own(n).isEmpty()) << n;
        EXPECT_EQ(library(n), own(n)) << "language 0 is the own table, string " << n;
        EXPECT_FALSE(library(kStride + n).isEmpty()) << "English string " << n;
    }
    // And nothing beyond it in either language.
    for (std::uint32_t n = 0; n < kStride; ++n) {
        if (!numbers.count(n)) {
            EXPECT_TRUE(library(n).isEmpty()) << n;
            EXPECT_TRUE(library(kStride + n).isEmpty()) << "English string " << n;
        }
    }
}

// Texts that are joined to others keep their blanks and line breaks in the
// translation.
TEST_F(StringTablesTest, TranslationsKeepBlanksAtTheEndsAndLineBreaks)
{
    for (std::uint32_t n : ownNumbers()) {
        const QString it = own(n);
        const QString en = library(kStride + n);
        EXPECT_EQ(it.startsWith(QLatin1Char(' ')), en.startsWith(QLatin1Char(' '))) << n;
        EXPECT_EQ(it.endsWith(QLatin1Char(' ')), en.endsWith(QLatin1Char(' '))) << n;
        EXPECT_EQ(it.count(QLatin1Char('\n')), en.count(QLatin1Char('\n'))) << n;
    }
}

TEST_F(StringTablesTest, EachLanguageNamesItselfAndItsCharsetAndCodePage)
{
    EXPECT_EQ(library(0), QStringLiteral("Italiano"));
    EXPECT_EQ(library(1), QStringLiteral("0"));
    EXPECT_EQ(library(2), QStringLiteral("1252"));
    EXPECT_EQ(library(kStride), QStringLiteral("English"));
    EXPECT_EQ(library(kStride + 1), QStringLiteral("0"));
    EXPECT_EQ(library(kStride + 2), QStringLiteral("1252"));
}

TEST_F(StringTablesTest, ItalianTextsAreExact)
{
    struct Case {
        std::uint32_t number;
        const char* text;
    };
    const Case cases[] = {
        {3, "Configura"},
        {20, "ATTENZIONE: non è stata rilevata la connessione con la centralina"},
        {70, " Configurazione "},
        {76, " Correzioni"},
        {193, "Procedendo si terminerà la commutazione da PC. Continuare? "},
        {242, "Impossibile scaricare i dati di configurazione \nprecedentemente memorizzati. Riprovare?"},
        {258, "Attenzione !!! Il proseguimento di tale operazione cancellerà\ni parametri attuali della carburazione. Continuare?"},
        {292, "Nota: se ''ritardo per attivazione emulazione'' è zero l'emulazione è disattivata"},
        {296, "La centralina è disconnessa perchè non risponde correttamente, errore"},
        {328, "Smagrimento su Mazda™"},
        {342, "Questa configurazione è relativa ad iniettori "},
        {382, "Sonda lambda 1          (filo BIANCO)"},
        {514, "MANUTENZIONE            360 ORE"},
        {566, "max ±25% - ±50%"},
        {580, "Correzione  gas"},
        {587, "Impossibile caricare i parametri del dispositivo. \nErrore n. "},
        {635, "Proprietà"},
        {678, "Temp.[°C]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(own(c.number), QString::fromUtf8(c.text)) << c.number;
}

// The protocol library's texts: 0-5 from the data module, 10-85 from the
// main window (string numbers 587 to 669 without the seven skipped ones).
TEST_F(StringTablesTest, ProtocolLibraryTextsExist)
{
    const std::set<std::uint32_t> numbers = ownNumbers();
    for (std::uint32_t n = 295; n <= 300; ++n)
        EXPECT_TRUE(numbers.count(n)) << n;
    const std::set<std::uint32_t> skipped = {597, 607, 617, 630, 643, 650, 659};
    int given = 0;
    for (std::uint32_t n = 587; n <= 669; ++n) {
        if (skipped.count(n))
            continue;
        ++given;
        EXPECT_TRUE(numbers.count(n)) << n;
    }
    EXPECT_EQ(given, 76);
}

TEST_F(StringTablesTest, EveryNumberTheCodeAsksForExistsInBothLanguages)
{
    for (std::uint32_t n : numbersUsedInCode()) {
        EXPECT_FALSE(library(n).isEmpty()) << "Italian string " << n << " is used but missing";
        EXPECT_FALSE(library(kStride + n).isEmpty()) << "English string " << n << " is used but missing";
    }
}
