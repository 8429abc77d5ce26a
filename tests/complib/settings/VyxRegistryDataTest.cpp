#include "complib/settings/VyxRegistryData.h"

#include "plat/Services.h"
#include "plat/SettingsStore.h"
#include "plat/testing/Fakes.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using plat::testing::FakeSettingsStore;

namespace {

const QString kKey = QStringLiteral("\\Software\\Quorin\\7304K");

// The data module's declared settings.
void declareProgramSettings(TVyxRegistryData& r)
{
    r.SetStringDataList({QStringLiteral("MainPath=\"\""), QStringLiteral("LanguageName=\"\"")});
    r.SetIntegerDataList({QStringLiteral("ComPort=0"), QStringLiteral("Language=0")});
}

// The settings on a real settings file in a temporary folder.
class RegistryFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    plat::QtSettingsStore store{dir.path()};
    plat::ScopedServices guard{{.settings = &store}};

    QString file() const { return store.locationOf(kKey); }
};

class RegistryFakeTest : public ::testing::Test {
protected:
    FakeSettingsStore store;
    plat::ScopedServices guard{{.settings = &store}};
};

} // namespace

TEST_F(RegistryFakeTest, ConstructedEmptyOnTheUsersRoot)
{
    TVyxRegistryData r;
    EXPECT_EQ(r.RootKey(), TRegistryRoot::CurrentUser);
    EXPECT_TRUE(r.KeyName().isEmpty());
    EXPECT_TRUE(r.StringDataList().isEmpty());
    EXPECT_TRUE(r.IntegerDataList().isEmpty());
}

TEST_F(RegistryFakeTest, EmptyKeyNameTouchesNothing)
{
    {
        TVyxRegistryData r;
        declareProgramSettings(r);
        EXPECT_FALSE(r.LoadFromRegistry());
        EXPECT_FALSE(r.SaveToRegistry());
        EXPECT_EQ(r.GetString(QStringLiteral("MainPath")), QStringLiteral("\"\""));
    } // the destructor's save, too
    EXPECT_EQ(store.opens, 0);
    EXPECT_TRUE(store.keys.empty());
}

TEST_F(RegistryFileTest, EmptyKeyNameCreatesNoFile)
{
    {
        TVyxRegistryData r;
        declareProgramSettings(r);
        EXPECT_FALSE(r.LoadFromRegistry());
        EXPECT_FALSE(r.SaveToRegistry());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(RegistryFakeTest, KeyThatCannotBeOpenedFailsBoth)
{
    store.failOpen = true;
    TVyxRegistryData r;
    declareProgramSettings(r);
    r.SetKeyName(kKey);
    EXPECT_FALSE(r.LoadFromRegistry());
    EXPECT_FALSE(r.SaveToRegistry());
    EXPECT_EQ(r.GetInteger(QStringLiteral("ComPort")), 0);
}

// First start without the installer's settings, then the next start.
TEST_F(RegistryFileTest, FirstStartFailsWithDefaultsAndTheNextStartSucceeds)
{
    {
        TVyxRegistryData r;
        declareProgramSettings(r);
        r.SetKeyName(kKey);
        QStringList asked;
        r.OnMissingStringValue = [&](TVyxRegistryData* sender, const QString& name, QString& value) {
            EXPECT_EQ(sender, &r);
            asked << name + QLatin1Char(':') + value;
        };
        r.OnMissingIntegerValue = [&](TVyxRegistryData*, const QString& name, int& value) {
            asked << name + QLatin1Char(':') + QString::number(value);
            if (name == QLatin1String("ComPort"))
                value = 4;
        };
        EXPECT_FALSE(r.LoadFromRegistry());
        EXPECT_EQ(asked, QStringList({"MainPath:\"\"", "LanguageName:\"\"", "ComPort:0", "Language:0"}));
        EXPECT_EQ(r.GetInteger(QStringLiteral("ComPort")), 4);
        EXPECT_EQ(r.GetString(QStringLiteral("LanguageName")), QStringLiteral("\"\""));
        r.SetInteger(QStringLiteral("Language"), 1);
    } // saved at destruction
    EXPECT_TRUE(QFile::exists(file()));

    TVyxRegistryData again;
    declareProgramSettings(again);
    again.SetKeyName(kKey);
    int missing = 0;
    again.OnMissingStringValue = [&](TVyxRegistryData*, const QString&, QString&) { ++missing; };
    again.OnMissingIntegerValue = [&](TVyxRegistryData*, const QString&, int&) { ++missing; };
    EXPECT_TRUE(again.LoadFromRegistry());
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(again.GetInteger(QStringLiteral("ComPort")), 4);
    EXPECT_EQ(again.GetInteger(QStringLiteral("Language")), 1);
    EXPECT_EQ(again.GetString(QStringLiteral("MainPath")), QStringLiteral("\"\""));
}

// The file tools/run.sh writes for a fresh machine, as an installer would.
TEST_F(RegistryFileTest, SettingsSeededByTheRunScriptLoad)
{
    QDir().mkpath(QFileInfo(file()).absolutePath());
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[General]\nMainPath=\"\\\"\\\"\"\nLanguageName=\"\\\"\\\"\"\nComPort=0\nLanguage=0\n");
    f.close();

    TVyxRegistryData r;
    declareProgramSettings(r);
    r.SetKeyName(kKey);
    EXPECT_TRUE(r.LoadFromRegistry());
    EXPECT_EQ(r.GetString(QStringLiteral("MainPath")), QStringLiteral("\"\""));
    EXPECT_EQ(r.StringDataList().size(), 2);
}

TEST_F(RegistryFileTest, IntegerSettingsReadFromTheirStoredText)
{
    struct Case {
        const char* stored;
        bool loaded;
        int value;
    };
    const Case cases[] = {
        {"3", true, 3}, {"-2", true, -2}, {"abc", false, 7}, {"3x", false, 7},
        {"", false, 7}, {"99999999999", false, 7},
    };
    for (const Case& c : cases) {
        {
            QSettings s(file(), QSettings::NativeFormat);
            s.setValue(QStringLiteral("ComPort"), QString::fromLatin1(c.stored));
        }
        TVyxRegistryData r;
        r.SetIntegerDataList({QStringLiteral("ComPort=7")});
        r.SetKeyName(kKey);
        EXPECT_EQ(r.LoadFromRegistry(), c.loaded) << c.stored;
        EXPECT_EQ(r.GetInteger(QStringLiteral("ComPort")), c.value) << c.stored;
        EXPECT_EQ(r.IntegerDataList(), QStringList(QStringLiteral("ComPort=") + QString::number(c.value)));
        r.SetKeyName({}); // keep the file as this case wrote it
    }
}

TEST_F(RegistryFakeTest, EmptyStoredTextRemovesItsLineAndLoadingGoesOn)
{
    store.keys[kKey] = {{"MainPath", ""}, {"LanguageName", "Italiano"}, {"ComPort", "2"}, {"Language", "1"}};
    TVyxRegistryData r;
    declareProgramSettings(r);
    r.SetKeyName(kKey);
    EXPECT_TRUE(r.LoadFromRegistry());
    EXPECT_EQ(r.StringDataList(), QStringList({QStringLiteral("LanguageName=Italiano")}));
    EXPECT_EQ(r.GetString(QStringLiteral("MainPath")), QString());
    EXPECT_EQ(r.GetInteger(QStringLiteral("ComPort")), 2);

    // The removed setting is no longer saved.
    store.keys[kKey].clear();
    EXPECT_TRUE(r.SaveToRegistry());
    EXPECT_EQ(store.keys[kKey].count("MainPath"), 0u);
    EXPECT_EQ(store.keys[kKey]["LanguageName"], QStringLiteral("Italiano"));
}

TEST_F(RegistryFakeTest, MissingTextDefaultEmptiedByTheHandlerRemovesTheLine)
{
    TVyxRegistryData r;
    declareProgramSettings(r);
    r.SetKeyName(kKey);
    r.OnMissingStringValue = [](TVyxRegistryData*, const QString& name, QString& value) {
        if (name == QLatin1String("MainPath"))
            value.clear();
    };
    EXPECT_FALSE(r.LoadFromRegistry());
    EXPECT_EQ(r.StringDataList(), QStringList({QStringLiteral("LanguageName=\"\"")}));
}

TEST_F(RegistryFakeTest, SaveWritesEveryLineAndReportsAFailedWrite)
{
    TVyxRegistryData r;
    declareProgramSettings(r);
    r.SetKeyName(kKey);
    r.SetInteger(QStringLiteral("ComPort"), 3);
    store.failWrites << QStringLiteral("LanguageName");
    EXPECT_FALSE(r.SaveToRegistry());
    const auto& v = store.keys[kKey];
    EXPECT_EQ(v.at("MainPath"), QStringLiteral("\"\""));
    EXPECT_EQ(v.count("LanguageName"), 0u);
    EXPECT_EQ(v.at("ComPort"), QStringLiteral("3"));
    EXPECT_EQ(v.at("Language"), QStringLiteral("0"));

    store.failWrites.clear();
    EXPECT_TRUE(r.SaveToRegistry());
}

TEST_F(RegistryFakeTest, AssignedListsAreNormalised)
{
    struct Case {
        QStringList in;
        QStringList strings;  // as the text list keeps them
        QStringList integers; // as the integer list keeps them
    };
    const Case cases[] = {
        {{"ComPort=abc", "  Language = 5  ", "NoEquals"},
         {"ComPort=abc", "Language = 5"},
         {"ComPort=0", "Language = 5"}},
        {{"A=1", "", "B=", " =x"}, {"A=1", "B=", "=x"}, {"A=1", "B=0", "=0"}},
        {{"\tTab=-3\t", "Big=99999999999", "Plus=+4"},
         {"Tab=-3", "Big=99999999999", "Plus=+4"},
         {"Tab=-3", "Big=0", "Plus=+4"}},
    };
    for (const Case& c : cases) {
        TVyxRegistryData r;
        r.SetStringDataList(c.in);
        r.SetIntegerDataList(c.in);
        EXPECT_EQ(r.StringDataList(), c.strings) << c.in.join('|').toStdString();
        EXPECT_EQ(r.IntegerDataList(), c.integers) << c.in.join('|').toStdString();
    }
}

TEST_F(RegistryFakeTest, GettersAndSetters)
{
    TVyxRegistryData r;
    EXPECT_EQ(r.GetInteger(QStringLiteral("ComPort")), 0);
    EXPECT_EQ(r.GetString(QStringLiteral("MainPath")), QString());

    r.SetInteger(QStringLiteral("ComPort"), 3);
    EXPECT_EQ(r.IntegerDataList(), QStringList({QStringLiteral("ComPort=3")}));
    r.SetInteger(QStringLiteral("comport"), -12); // names ignore case, like registry values
    EXPECT_EQ(r.IntegerDataList(), QStringList({QStringLiteral("ComPort=-12")}));
    EXPECT_EQ(r.GetInteger(QStringLiteral("ComPort")), -12);

    r.SetString(QStringLiteral("MainPath"), QStringLiteral("C:\\a=b"));
    EXPECT_EQ(r.GetString(QStringLiteral("MainPath")), QStringLiteral("C:\\a=b"));
    r.SetString(QStringLiteral("MainPath"), QString());
    EXPECT_TRUE(r.StringDataList().isEmpty());
    r.SetString(QStringLiteral("Other"), QString());
    EXPECT_TRUE(r.StringDataList().isEmpty()) << "an empty text adds no line";

    r.SetStringDataList({QStringLiteral("N=x")});
    EXPECT_EQ(r.GetInteger(QStringLiteral("N")), 0) << "the integer getter reads its own list";
}

TEST_F(RegistryFakeTest, DestructorSaves)
{
    {
        TVyxRegistryData r;
        r.SetKeyName(kKey);
        r.SetInteger(QStringLiteral("Language"), 1);
    }
    EXPECT_EQ(store.keys[kKey].at("Language"), QStringLiteral("1"));
}
