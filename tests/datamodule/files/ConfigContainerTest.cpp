#include "datamodule/files/ConfigContainer.h"
#include "datamodule/files/EncryptedContainer.h"
#include "datamodule/files/Scrambler.h"

#include "TestUtil.h"
#include "product/constants/BuildConstants.h"

#include <QFile>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

#include <map>

using namespace qz::files;

namespace {

// The container's error number, or 0 when the call threw nothing.
template <typename F>
int errorOf(F&& f, QString* text = nullptr)
{
    try {
        f();
    } catch (const TFileContainerError& e) {
        if (text)
            *text = e.Text();
        return e.Number();
    }
    return 0;
}

class ConfigContainer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(name); }

    // A configuration file as the program stores it.
    void writeConfig(const QString& name, const QByteArray& plain, QByteArrayView key = qz::FileKeyString())
    {
        ASSERT_TRUE(testutil::writeFile(name, ScrambleBytes(plain, key)));
    }

    QTemporaryDir dir;
    TConfigContainer c;
};

TEST_F(ConfigContainer, Keys)
{
    EXPECT_EQ(c.FileKey(), QByteArray(qz::FileKeyString()));
    EXPECT_FALSE(c.SetFileKey(QByteArray(50, 'k')));
    EXPECT_FALSE(c.SetFileKey(""));
    EXPECT_EQ(c.FileKey(), QByteArray(qz::FileKeyString()));
    EXPECT_TRUE(c.SetFileKey(QByteArray(49, 'k')));
    EXPECT_EQ(c.FileKey(), QByteArray(49, 'k'));
    EXPECT_EQ(c.FileName(), QStringLiteral("default"));
}

TEST_F(ConfigContainer, SavesAndLoadsAConfigurationFile)
{
    const QString name = path("Punto.zc4");
    c.SetFileName(name);
    c.OpenFileContainer(false);
    ASSERT_TRUE(c.IsOpen());
    c.WriteIniInteger(1044, u"Flag1", u"Generale");
    c.WriteIniByte(1, u"Ufficiale", u"Generale");
    c.WriteIniByte(0, u"Opzione1", u"Generale");
    c.WriteIniString("Punto 1.2, 8V", u"DescrizAuto", u"Generale");
    c.WriteIniInteger(-40, u"Prt0003", u"Iniezione");
    c.CloseFileContainer(false);
    EXPECT_FALSE(c.IsOpen());

    const QByteArray file = testutil::readFile(name);
    EXPECT_EQ(DescrambleBytes(file, qz::FileKeyString(), TScrambledSource::File).toStdString(),
              "[Generale]\r\nFlag1=1044\r\nUfficiale=1\r\nOpzione1=0\r\nDescrizAuto=Punto 1.2, 8V\r\n"
              "\r\n[Iniezione]\r\nPrt0003=-40\r\n");

    c.OpenFileContainer(true);
    std::int32_t i = 0;
    std::uint8_t b = 9;
    QByteArray s;
    EXPECT_TRUE(c.ReadIniInteger(i, "FLAG1", "generale"));
    EXPECT_EQ(i, 1044);
    EXPECT_TRUE(c.ReadIniBool(b, u"Ufficiale", u"Generale"));
    EXPECT_EQ(b, 1);
    EXPECT_TRUE(c.ReadIniBool(b, u"Opzione1", u"Generale"));
    EXPECT_EQ(b, 0);
    EXPECT_TRUE(c.ReadIniRow(s, u"DescrizAuto", u"Generale", 51));
    EXPECT_EQ(s, QByteArray("Punto 1.2, 8V"));
    EXPECT_TRUE(c.ReadIniInteger(i, u"Prt0003", u"Iniezione"));
    EXPECT_EQ(i, -40);
    // A missing key leaves the destination alone.
    i = 77;
    EXPECT_FALSE(c.ReadIniInteger(i, u"Prt0004", u"Iniezione"));
    EXPECT_FALSE(c.ReadIniInteger(i, u"Flag1", u"Iniezione"));
    EXPECT_EQ(i, 77);
    c.CloseFileContainer(true);
    // Discarding wrote nothing.
    EXPECT_EQ(testutil::readFile(name), file);
}

TEST_F(ConfigContainer, ReadsAndWritesNothingWhileClosed)
{
    std::int32_t i = 5;
    std::uint8_t b = 5;
    QByteArray s = "x";
    EXPECT_FALSE(c.ReadIniInteger(i, u"Flag1", u"Generale"));
    EXPECT_FALSE(c.ReadIniBool(b, u"Flag1", u"Generale"));
    EXPECT_FALSE(c.ReadIniRow(s, u"Flag1", u"Generale", 0));
    EXPECT_EQ(i, 5);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(s, QByteArray("x"));
    c.WriteIniInteger(1, u"Flag1", u"Generale");
    EXPECT_EQ(c.Document(), nullptr);
    // Closing what is not open does nothing, saving included.
    c.SetFileName(path("never.zc4"));
    c.CloseFileContainer(false);
    c.DeleteTempFile();
    c.DeleteTempFile2();
    EXPECT_FALSE(QFile::exists(path("never.zc4")));
}

TEST_F(ConfigContainer, ReadIniRowCuts)
{
    writeConfig(path("a.zc4"), "[Generale]\r\nFlag1=1\r\nDescrizAuto=ABCDEFGHIJKLMNOPQRST\r\nEuro=Euro 4\r\n");
    c.SetFileName(path("a.zc4"));
    c.OpenFileContainer(true);
    QByteArray s;
    ASSERT_TRUE(c.ReadIniRow(s, u"DescrizAuto", u"Generale", 11));
    EXPECT_EQ(s, QByteArray("ABCDEFGHIJ"));
    ASSERT_TRUE(c.ReadIniRow(s, u"DescrizAuto", u"Generale", 0));
    EXPECT_EQ(s, QByteArray("ABCDEFGHIJKLMNOPQRST"));
    ASSERT_TRUE(c.ReadIniRow(s, u"DescrizAuto", u"Generale", 21));
    EXPECT_EQ(s, QByteArray("ABCDEFGHIJKLMNOPQRST"));
    ASSERT_TRUE(c.ReadIniRow(s, u"DescrizAuto", u"Generale", 20));
    EXPECT_EQ(s, QByteArray("ABCDEFGHIJKLMNOPQRS"));

    // Into a field: never beyond it, whatever the maximum says.
    char euro[11];
    std::memset(euro, 'X', sizeof euro);
    ASSERT_TRUE(c.ReadIniRow(euro, u"Euro", u"Generale", 11));
    EXPECT_STREQ(euro, "Euro 4");
    char small[6];
    ASSERT_TRUE(c.ReadIniRow(small, u"DescrizAuto", u"Generale", 51));
    EXPECT_STREQ(small, "ABCDE");
    ASSERT_TRUE(c.ReadIniRow(small, u"DescrizAuto", u"Generale", 0));
    EXPECT_STREQ(small, "ABCDE");
    ASSERT_TRUE(c.ReadIniRow(small, u"DescrizAuto", u"Generale", 3));
    EXPECT_STREQ(small, "AB");
    std::memcpy(small, "keep!", 6);
    EXPECT_FALSE(c.ReadIniRow(small, u"Motore", u"Generale", 6));
    EXPECT_STREQ(small, "keep!");
}

TEST_F(ConfigContainer, SecondOpenAndSecondCloseDoNothing)
{
    writeConfig(path("a.zc4"), "[Generale]\r\nFlag1=1\r\n");
    writeConfig(path("b.zc4"), "[Generale]\r\nFlag1=2\r\n");
    c.SetFileName(path("a.zc4"));
    c.OpenFileContainer(true);
    c.SetFileName(path("b.zc4"));
    c.OpenFileContainer(true);
    c.OpenResourceContainer(12345); // would fail if it ran
    std::int32_t v = 0;
    ASSERT_TRUE(c.ReadIniInteger(v, u"Flag1", u"Generale"));
    EXPECT_EQ(v, 1);
    c.CloseFileContainer(true);
    EXPECT_FALSE(c.IsOpen());
    EXPECT_EQ(errorOf([&] { c.CloseFileContainer(false); }), 0);
    EXPECT_FALSE(c.IsOpen());
}

TEST_F(ConfigContainer, MissingFileGives301AndNothingOpen)
{
    c.SetFileName(path("missing.zc4"));
    QString text;
    EXPECT_EQ(errorOf([&] { c.OpenFileContainer(true); }, &text), 301);
    EXPECT_EQ(text, QStringLiteral("Impossibile leggere i dati dal file impostato."));
    EXPECT_FALSE(c.IsOpen());
    // A folder is no file either.
    c.SetFileName(dir.path());
    EXPECT_EQ(errorOf([&] { c.OpenFileContainer(true); }), 301);
    EXPECT_FALSE(c.IsOpen());
    // Nothing was left in the folder.
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(ConfigContainer, ErrorTextsComeFromTheTextSource)
{
    c.SetTextSource([](int n) { return n == 301 ? QStringLiteral("Cannot read the file.") : QString(); });
    c.SetFileName(path("missing.zc4"));
    QString text;
    EXPECT_EQ(errorOf([&] { c.OpenFileContainer(true); }, &text), 301);
    EXPECT_EQ(text, QStringLiteral("Cannot read the file."));
    // An empty answer falls back to the program's own text.
    EXPECT_EQ(errorOf([&] { c.OpenResourceContainer(1); }, &text), 302);
    EXPECT_EQ(text, QStringLiteral("Impossibile leggere i dati dalla risorsa impostata."));
}

#ifdef Q_OS_UNIX
// A file-size limit makes the new file's writing fail half-way, for every
// user (root included), as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit r = old_;
        r.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &r) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};
#endif

TEST_F(ConfigContainer, FailedSaveGives304AndKeepsTheOldFile)
{
    const QString name = path("old.zc4");
    writeConfig(name, "[Generale]\r\nFlag1=1\r\n");
    const QByteArray before = testutil::readFile(name);
    c.SetFileName(name);
    c.OpenFileContainer(false);
    for (int i = 0; i < 2000; ++i)
        c.WriteIniInteger(i, QString(QStringLiteral("MappaK%1")).arg(i), u"MappaCoefficientiK");
    QString text;
#ifdef Q_OS_UNIX
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_EQ(errorOf([&] { c.CloseFileContainer(false); }, &text), 304);
    }
    EXPECT_EQ(text, QStringLiteral("Impossibile completare correttamente il caricamento/salvataggio dei dati."));
    EXPECT_FALSE(c.IsOpen());
    EXPECT_EQ(testutil::readFile(name), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"old.zc4"});
#endif

    // A folder that does not exist.
    c.SetFileName(path("none/old.zc4"));
    c.OpenFileContainer(false);
    c.WriteIniInteger(2, u"Flag1", u"Generale");
    EXPECT_EQ(errorOf([&] { c.CloseFileContainer(false); }), 304);
    EXPECT_FALSE(c.IsOpen());
}

TEST_F(ConfigContainer, SaveReplacesTheWholeFile)
{
    const QString name = path("c.zc4");
    ASSERT_TRUE(testutil::writeFile(name, QByteArray(5000, 'z')));
    c.SetFileName(name);
    c.OpenFileContainer(false);
    c.WriteIniInteger(1, u"Flag1", u"Generale");
    c.CloseFileContainer(false);
    EXPECT_EQ(testutil::readFile(name), ScrambleBytes("[Generale]\r\nFlag1=1\r\n", qz::FileKeyString()));
}

TEST_F(ConfigContainer, BuiltInSets)
{
    std::map<int, QByteArray> sets;
    sets[300] = ScrambleBytes("[Generale]\r\nFlag1=300\r\n", qz::FileKeyString());
    sets[301] = ScrambleBytes("[Generale]\r\nFlag1=301\r\n", qz::FileKeyString()).mid(21); // body only
    sets[400] = EncryptContainer("[Generale]\r\nFlag1=400\r\n", 1);
    sets[401] = EncryptContainer("", 2);
    sets[402] = sets[400].left(165);                                // short
    sets[403] = "ENCRYPTED_FILE_V_01.02" + sets[400].mid(22);        // another header
    c.SetResourceSource([&](int n) -> std::optional<QByteArray> {
        const auto it = sets.find(n);
        if (it == sets.end())
            return std::nullopt;
        return it->second;
    });
    auto flag1 = [&] {
        std::int32_t v = -1;
        c.ReadIniInteger(v, u"Flag1", u"Generale");
        return v;
    };

    for (int n : {300, 301}) {
        c.OpenResourceContainer(n);
        EXPECT_EQ(flag1(), n);
        c.DeleteTempFile();
    }
    c.OpenResourceContainer2(400);
    EXPECT_EQ(flag1(), 400);
    c.DeleteTempFile2();
    c.OpenResourceContainer2(401);
    EXPECT_TRUE(c.IsOpen());
    EXPECT_EQ(flag1(), -1);
    c.DeleteTempFile2();

    for (int n : {402, 403, 999}) {
        EXPECT_EQ(errorOf([&] { c.OpenResourceContainer2(n); }), 302) << n;
        EXPECT_FALSE(c.IsOpen());
    }
    EXPECT_EQ(errorOf([&] { c.OpenResourceContainer(999); }), 302);
    EXPECT_FALSE(c.IsOpen());
}

// The program's own resources ":/defaults/<n>"; the test binary carries two
// sets made by the build with vyxfile.
TEST_F(ConfigContainer, ProgramResources)
{
    c.OpenResourceContainer(257);
    QByteArray s;
    ASSERT_TRUE(c.ReadIniRow(s, u"DescrizAuto", u"Generale", 51));
    EXPECT_EQ(s, QByteArray("Punto 1.2, 8V"));
    std::int32_t v = 0;
    ASSERT_TRUE(c.ReadIniInteger(v, u"Prt0003", u"Iniezione"));
    EXPECT_EQ(v, 5);
    c.DeleteTempFile();

    c.OpenResourceContainer2(513);
    ASSERT_TRUE(c.ReadIniInteger(v, u"TInjDefault0_0", u"TInjDefault"));
    EXPECT_EQ(v, 25);
    c.DeleteTempFile2();

    EXPECT_FALSE(ReadDefaultSetResource(258).has_value());
    EXPECT_EQ(errorOf([&] { c.OpenResourceContainer(258); }), 302);
    EXPECT_EQ(errorOf([&] { c.OpenResourceContainer2(514); }), 302);
}

TEST_F(ConfigContainer, ValuesNeverSplitALine)
{
    c.SetFileName(path("d.zc4"));
    c.OpenFileContainer(false);
    c.WriteIniString("riga\r\n[Generale]\r\nFlag1=666", u"NoteConfig", u"Generale");
    c.WriteIniString(QByteArrayView("abc\0def", 7), u"Motore", u"Generale");
    c.WriteIniInteger(1, u"Flag1", u"Generale");
    c.CloseFileContainer(false);
    c.OpenFileContainer(true);
    std::int32_t v = 0;
    ASSERT_TRUE(c.ReadIniInteger(v, u"Flag1", u"Generale"));
    EXPECT_EQ(v, 1);
    QByteArray s;
    ASSERT_TRUE(c.ReadIniRow(s, u"NoteConfig", u"Generale", 0));
    EXPECT_EQ(s, QByteArray("riga  [Generale]  Flag1=666"));
    ASSERT_TRUE(c.ReadIniRow(s, u"Motore", u"Generale", 0));
    EXPECT_EQ(s, QByteArray("abc"));
    c.DeleteTempFile();
}

TEST_F(ConfigContainer, FileNamesAreNeverCut)
{
    QString deep = dir.path();
    while (deep.size() < 300)
        deep += QStringLiteral("/cartella_con_un_nome_lungo");
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString name = deep + QStringLiteral("/Configurazione.zc4");
    c.SetFileName(name);
    c.OpenFileContainer(false);
    c.WriteIniInteger(3, u"Flag1", u"Generale");
    c.CloseFileContainer(false);
    EXPECT_TRUE(QFile::exists(name));
    c.OpenFileContainer(true);
    std::int32_t v = 0;
    EXPECT_TRUE(c.ReadIniInteger(v, u"Flag1", u"Generale"));
    EXPECT_EQ(v, 3);
    c.DeleteTempFile();
}

} // namespace

#include "datamodule/files/SaveFile.h"

namespace {

TEST(SaveFileAtomically, AFailedSaveLeavesThePreviousFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("target");
    ASSERT_TRUE(SaveFileAtomically(name, QByteArrayView("old contents")));
    // Half the new contents written, then the writer gives up.
    QString why;
    EXPECT_FALSE(SaveFileAtomically(
        name,
        [](QIODevice& out) {
            out.write("new, but only in ");
            return false;
        },
        &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(testutil::readFile(name), QByteArray("old contents"));
    EXPECT_FALSE(SaveFileAtomically(dir.path(), QByteArrayView("x")));
    EXPECT_FALSE(SaveFileAtomically(QString(), QByteArrayView("x")));
    EXPECT_FALSE(SaveFileAtomically(dir.filePath("none/target"), QByteArrayView("x")));
    // Only the target is in the folder: no new file was left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"target"});
    ASSERT_TRUE(SaveFileAtomically(name, QByteArrayView("new")));
    EXPECT_EQ(testutil::readFile(name), QByteArray("new"));
}

TEST(ReadWholeFile, LimitsAndErrors)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("f");
    ASSERT_TRUE(testutil::writeFile(name, QByteArray(100, 'a')));
    EXPECT_EQ(ReadWholeFile(name).data.size(), 100);
    EXPECT_EQ(ReadWholeFile(name, 100).error, TReadError::None);
    EXPECT_EQ(ReadWholeFile(name, 99).error, TReadError::TooLarge);
    EXPECT_EQ(ReadWholeFile(dir.filePath("none")).error, TReadError::CannotOpen);
    EXPECT_EQ(ReadWholeFile(dir.path()).error, TReadError::CannotOpen);
}

} // namespace

#include "datamodule/files/HexScript.h"

namespace {

TEST(ConfigContainerScript, SavesUnderTheScriptKeyOrThrows304)
{
    QTemporaryDir dir;
    TConfigContainer c;
    THexScript s;
    WriteScriptC0(&s, 5, 0);
    const QString name = dir.filePath("out.ehcf");
    c.SaveHexScript(s, name);
    EXPECT_EQ(testutil::readFile(name), ScrambleBytes("C0 5 0 \r\n", HexScriptKey()));
    EXPECT_EQ(c.FileKey(), QByteArray(qz::FileKeyString()));
    EXPECT_EQ(errorOf([&] { c.SaveHexScript(s, dir.filePath("none/out.ehcf")); }), 304);
}

} // namespace
