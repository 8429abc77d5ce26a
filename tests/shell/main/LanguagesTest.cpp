// The main window's language menus and texts, with a two-language library.
#include "MainTestSupport.h"
#include "shell/main/MainQuorin.h"

#include "complib/settings/VyxRegistryData.h"
#include "complib/language/LanguageLibrary.h"
#include "complib/translator/Translator.h"
#include "product/constants/BuildConstants.h"
#include "tests/support/rig/DataModuleRig.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr int kStrings = 1000;

// Language 0 reads "T<n>", language 1 "E<n>"; string 0 is the language name.
QString twoLanguageText(std::uint32_t id)
{
    const int language = static_cast<int>(id) / kStrings;
    const int number = static_cast<int>(id) % kStrings;
    if (number == 0)
        return language == 0 ? QStringLiteral("Italiano") : QStringLiteral("English");
    return (language == 0 ? QStringLiteral("T") : QStringLiteral("E")) + QString::number(number);
}

extern "C" std::int32_t twoLanguages(std::int8_t* count)
{
    *count = 2;
    return 1;
}
extern "C" std::int32_t thousandStrings(std::int32_t* count)
{
    *count = kStrings;
    return 1;
}
extern "C" std::int32_t loadString(std::uint32_t id, char16_t* buffer, std::int32_t chars)
{
    if (chars < 1)
        return 0;
    const QString t = twoLanguageText(id);
    const int n = std::min<int>(static_cast<int>(t.size()), chars - 1);
    std::memcpy(buffer, t.utf16(), static_cast<std::size_t>(n) * sizeof(char16_t));
    buffer[n] = 0;
    return n;
}

class LanguagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qz::InitBuildConstants();
        rig.libraries.add(QStringLiteral("Languages.dll"),
                          {{langlib::kMaxLanguagesExport, reinterpret_cast<void*>(&twoLanguages)},
                           {langlib::kMaxStringsExport, reinterpret_cast<void*>(&thousandStrings)},
                           {langlib::kLoadStringWExport, reinterpret_cast<void*>(&loadString)}});
        ASSERT_TRUE(StreamDati->Translator->LoadDll());
        window = std::make_unique<TFormMain>();
        window->OfflineStart = true;
        window->DefaultSetLoader = [](int) { return true; };
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
    }
    QAction* item(const char* name) { return window->findChild<QAction*>(QLatin1String(name)); }
    int storedLanguage() const { return StreamDati->VyxRegistryData->GetInteger(QStringLiteral("Language")); }

    rig::DataModuleRig rig{{.profile = {}, .settings = true, .protocolLibrary = true, .languageLibrary = false}};
    std::unique_ptr<TFormMain> window;
};

TEST_F(LanguagesTest, ShowBuildsBothMenusAndAppliesTheStoredLanguage)
{
    StreamDati->VyxRegistryData->SetInteger(QStringLiteral("Language"), 1);
    window->FormShow();
    ASSERT_EQ(window->MenuSelLingua->actions().size(), 2);
    ASSERT_EQ(window->FormPopupMenu->actions().size(), 2);
    for (const char* name : {"MenuLingua0", "MenuLingua1", "MenuPopup0", "MenuPopup1"})
        ASSERT_NE(item(name), nullptr) << name;
    EXPECT_EQ(item("MenuLingua0")->text(), QStringLiteral("Italiano"));
    EXPECT_EQ(item("MenuPopup1")->text(), QStringLiteral("English"));
    EXPECT_TRUE(item("MenuLingua1")->isChecked());
    EXPECT_TRUE(item("MenuPopup1")->isChecked());
    EXPECT_FALSE(item("MenuLingua0")->isChecked());
    EXPECT_EQ(StreamDati->Translator->LanguageIndex(), 1);

    // Every text of the window in English.
    const std::pair<QLabel*, const char*> labels[] = {
        {window->LabelConfig, "E3"}, {window->LabelTara, "E4"}, {window->LabelVisualizza, "E5"},
        {window->LabelLingua, "E6"}, {window->LabelCarica, "E7"}, {window->LabelSalva, "E8"},
        {window->LabelProgramma, "E9"}, {window->LabelSchemi, "E535"},
    };
    for (const auto& [label, expected] : labels)
        EXPECT_EQ(label->text(), QLatin1String(expected));
    EXPECT_EQ(window->MenuElectricalLPG->text(), QStringLiteral("E536"));
    EXPECT_EQ(window->MenuPneumaticCNG->text(), QStringLiteral("E539"));
    EXPECT_TRUE(window->LabelVersioneSw->text().startsWith(QStringLiteral("E14 ")));
    EXPECT_TRUE(window->LabelVersioneFw->text().startsWith(QStringLiteral("E13 ")));
    EXPECT_TRUE(window->LabelConfigurazione->text().startsWith(QStringLiteral("E12 ")));
    EXPECT_EQ(window->NoConnectionText(), QStringLiteral("E20\n\n- E21\n- E22"));
    EXPECT_EQ(window->FailedAttemptText(), QStringLiteral("E45\nE46"));

    // The data module's texts and the protocol library's.
    EXPECT_EQ(StreamDati->MessageTexts[0].left(1), QStringLiteral("E"));
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(rig.sim().MessageText(i).substr(0, 1), "E") << i;
    EXPECT_EQ(rig.sim().MessageText(10), "E587");
    EXPECT_EQ(rig.sim().MessageText(53), "E635");
    EXPECT_EQ(rig.sim().MessageText(54), "E634");
    EXPECT_EQ(rig.sim().MessageText(85), "E669");
}

TEST_F(LanguagesTest, PickingALanguageStoresItAndRetextsTheWindow)
{
    window->FormShow();
    EXPECT_EQ(window->LabelConfig->text(), QStringLiteral("T3"));
    EXPECT_TRUE(item("MenuLingua0")->isChecked());

    item("MenuPopup1")->trigger();
    EXPECT_EQ(storedLanguage(), 1);
    EXPECT_EQ(window->LabelConfig->text(), QStringLiteral("E3"));
    EXPECT_TRUE(item("MenuLingua1")->isChecked());
    EXPECT_TRUE(item("MenuPopup1")->isChecked());
    EXPECT_FALSE(item("MenuPopup0")->isChecked());
    EXPECT_EQ(rig.sim().MessageText(53), "E635");

    // The other menu, and the same language twice: stored again, same texts.
    item("MenuLingua0")->trigger();
    EXPECT_EQ(storedLanguage(), 0);
    EXPECT_TRUE(item("MenuPopup0")->isChecked());
    StreamDati->VyxRegistryData->SetInteger(QStringLiteral("Language"), 7);
    item("MenuLingua0")->trigger();
    EXPECT_EQ(storedLanguage(), 0);
    EXPECT_EQ(window->LabelConfig->text(), QStringLiteral("T3"));
    EXPECT_TRUE(item("MenuLingua0")->isChecked());
}

TEST_F(LanguagesTest, AStoredLanguageOutOfRangeFallsBackToTheFirst)
{
    StreamDati->VyxRegistryData->SetInteger(QStringLiteral("Language"), 5);
    window->FormShow();
    EXPECT_TRUE(item("MenuLingua0")->isChecked());
    EXPECT_TRUE(item("MenuPopup0")->isChecked());
    EXPECT_EQ(window->LabelConfig->text(), QStringLiteral("T3"));
}

TEST_F(LanguagesTest, ChangingLanguageWhileConnectedShowsTheBlankVariantOfTheFirmwareLabel)
{
    window->FormShow();
    rig.connectEcu();
    QApplication::processEvents();
    ASSERT_TRUE(window->LabelVersioneFw->text().startsWith(QStringLiteral("T13: ")));
    item("MenuLingua1")->trigger();
    EXPECT_TRUE(window->LabelVersioneFw->text().startsWith(QStringLiteral("E13 ")))
        << window->LabelVersioneFw->text().toStdString();
}

TEST(ProtocolTexts, IndexesTakeTheirStringsWithFiftyThreeAndFiftyFourSwapped)
{
    const std::pair<int, int> pairs[] = {
        {10, 587}, {19, 596}, {20, 598}, {28, 606}, {29, 608}, {37, 616}, {38, 618}, {49, 629},
        {50, 631}, {52, 633}, {53, 635}, {54, 634}, {55, 636}, {61, 642}, {62, 644}, {67, 649},
        {68, 651}, {75, 658}, {76, 660}, {85, 669}, {9, 0}, {86, 0},
    };
    for (const auto& [index, number] : pairs)
        EXPECT_EQ(TFormMain::ProtocolTextString(index), number) << index;
    std::set<int> numbers;
    for (int i = 10; i <= 85; ++i)
        numbers.insert(TFormMain::ProtocolTextString(i));
    EXPECT_EQ(numbers.size(), 76u);
    for (int skipped : {597, 607, 617, 630, 643, 650, 659})
        EXPECT_EQ(numbers.count(skipped), 0u) << skipped;
}

} // namespace
