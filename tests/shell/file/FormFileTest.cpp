// The configuration-file dialog against the data module on the simulated
// ECU, with scripted message boxes and a fake mailer.
#include "shell/file/FormFile.h"
#include "datamodule/files/ConfigCheck.h"
#include "datamodule/files/IniDocument.h"
#include "datamodule/files/SaveFile.h"
#include "datamodule/files/Scrambler.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/rig/DataModuleRig.h"

#include "plat/Desktop.h"
#include "plat/Prompts.h"
#include "plat/testing/DesktopFakes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using T = TStreamDati;

bool isWrite(const std::string& n)
{
    return n == "WriteItem" || n == "WriteValue" || n == "WriteElement" || n == "WriteRow" || n == "WriteCell";
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class FormFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = QDir::currentPath();
        ASSERT_TRUE(app.isValid());
        r.dm().EcuInfo.EcuType = 30;
        r.dm().Modified = 0;
    }
    void TearDown() override { QDir::setCurrent(saved_); }

    QString lpg(const QString& file) const { return app.filePath(QStringLiteral("ConfigLPG/") + file); }

    std::unique_ptr<TFormFile> dialog(int mode, bool* anyFile = nullptr)
    {
        auto d = std::make_unique<TFormFile>(nullptr, anyFile, mode, app.path());
        d->FormActivate();
        return d;
    }

    // Saves the image through the dialog under a typed name.
    void save(const QString& name)
    {
        auto d = dialog(TFormFile::ModeSave);
        d->EditName->setText(name);
        d->ImageOkClick();
        ASSERT_EQ(d->result(), TFormFile::mrOk);
    }

    // Element index of an item in the simulated ECU; -1 when there is none.
    std::int32_t ecuValue(int item, int index)
    {
        std::vector<std::int32_t> v;
        r.sim().PeekItem(item, v);
        return index < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(index)] : -1;
    }

    std::vector<std::intptr_t> eventCodes()
    {
        std::vector<std::intptr_t> codes;
        for (const auto& m : r.events())
            codes.push_back(m.lParam);
        return codes;
    }

    rig::DataModuleRig r;
    QTemporaryDir app;
    plat::testing::FakeMailer mailer;
    plat::ScopedDesktop desktop{plat::DesktopServices{nullptr, nullptr, &mailer}};

private:
    QString saved_;
};

TEST_F(FormFileTest, SaveProposesTheCleanNameAndWritesItIntoTheFuelFolder)
{
    ASSERT_TRUE(r.dm().SetNomeConfigurazione("Golf 1.6; GPL"));
    auto d = dialog(TFormFile::ModeSave);
    EXPECT_EQ(d->EditName->text(), QStringLiteral("Golf 16 GPL"));
    EXPECT_TRUE(d->EditName->isVisibleTo(d.get()));
    EXPECT_TRUE(QFileInfo(app.filePath(QStringLiteral("ConfigLPG"))).isDir()); // created when missing
    EXPECT_EQ(QDir::current().absolutePath(), QDir(app.filePath(QStringLiteral("ConfigLPG"))).absolutePath());
    EXPECT_EQ(d->LabelSalva->text(), rig::text(454));
    EXPECT_EQ(d->LabelFile->text(), rig::text(460));
    EXPECT_TRUE(d->ComboTipoConfig->isEnabled());

    d->ImageOkClick();
    EXPECT_EQ(d->result(), TFormFile::mrOk);
    EXPECT_TRUE(QFileInfo(lpg(QStringLiteral("Golf 16 GPL.zc4"))).isFile());
    EXPECT_STREQ(r.dm().GetNomeConfigurazione(), "Golf 16 GPL");
    // Closing goes back to the application folder.
    EXPECT_EQ(QDir::current().absolutePath(), QDir(app.path()).absolutePath());
    EXPECT_EQ(r.prompts.shown().size(), 0u);
}

TEST_F(FormFileTest, SaveExtensionFollowsTheEcuKind)
{
    for (const auto& [type, file] : {std::pair{30, "k.zc4"}, {31, "k.zc8"}, {53, "k.zc8"}, {79, "k.zcs"}}) {
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(type);
        auto d = dialog(TFormFile::ModeSave);
        EXPECT_EQ(d->ComboEcuType->currentIndex(), EcuKindItemOfType(type));
        d->EditName->setText(QStringLiteral("k"));
        d->ImageOkClick();
        EXPECT_TRUE(QFileInfo(lpg(QLatin1String(file))).isFile()) << type;
    }
}

TEST_F(FormFileTest, SaveIntoAMakeFolderAndTheCngFolder)
{
    QDir().mkpath(lpg(QStringLiteral("Fiat")));
    QDir().mkpath(lpg(QStringLiteral("Alfa")));
    {
        auto d = dialog(TFormFile::ModeSave);
        ASSERT_EQ(d->ComboMarca->count(), 3);
        EXPECT_EQ(d->ComboMarca->itemText(0), QStringLiteral("."));
        EXPECT_EQ(d->ComboMarca->itemText(1), QStringLiteral("Alfa"));
        d->ComboMarca->setCurrentIndex(2);
        d->ComboMarcaChange();
        EXPECT_EQ(d->CurrentFolder(), QDir::cleanPath(lpg(QStringLiteral("Fiat"))));
        d->EditName->setText(QStringLiteral("Punto"));
        d->ImageOkClick();
        EXPECT_TRUE(QFileInfo(lpg(QStringLiteral("Fiat/Punto.zc4"))).isFile());
    }

    r.connectEcu();
    ASSERT_TRUE(r.dm().SetFlag(1, true)); // CNG
    ASSERT_NE(r.dm().GetFlag(1), 0);
    auto d = dialog(TFormFile::ModeSave);
    EXPECT_FALSE(d->ComboEcuType->isEnabled()); // fixed while connected
    d->EditName->setText(QStringLiteral("Metano"));
    d->ImageOkClick();
    EXPECT_TRUE(QFileInfo(app.filePath(QStringLiteral("ConfigCNG/Metano.zc4"))).isFile());
}

TEST_F(FormFileTest, OverwriteAsksWithNoAsDefault)
{
    write(lpg(QStringLiteral("Punto.zc4")), "old");
    r.prompts.script(plat::IDNO);
    auto d = dialog(TFormFile::ModeSave);
    d->EditName->setText(QStringLiteral("Punto"));
    d->ImageOkClick();
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    const plat::PromptRequest& q = r.prompts.shown()[0];
    EXPECT_EQ(q.text, rig::text(463));
    EXPECT_EQ(q.buttons, plat::PromptButtons::YesNo);
    EXPECT_EQ(q.defaultAnswer, plat::IDNO);
    EXPECT_EQ(plat::DefaultAnswerOf(q), plat::IDNO);
    EXPECT_EQ(contents(lpg(QStringLiteral("Punto.zc4"))), QByteArray("old"));
    EXPECT_EQ(d->result(), 0); // still open

    r.prompts.script(plat::IDYES);
    d->EditName->setText(QStringLiteral("punto.ZC4")); // a different name for the same extension
    write(lpg(QStringLiteral("punto.ZC4")), "old");
    d->ImageOkClick();
    EXPECT_EQ(d->result(), TFormFile::mrOk);
    EXPECT_NE(contents(lpg(QStringLiteral("punto.ZC4"))), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(lpg(QStringLiteral("punto.ZC4.zc4"))));
}

TEST_F(FormFileTest, EndOfLineExportWritesTheHexScript)
{
    auto d = dialog(TFormFile::ModeSave);
    d->ComboTipoConfig->setCurrentIndex(1);
    d->EditName->setText(QStringLiteral("linea"));
    d->ImageOkClick();
    EXPECT_EQ(d->result(), TFormFile::mrOk);
    const QByteArray script = contents(lpg(QStringLiteral("linea.ehcf")));
    EXPECT_FALSE(script.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(lpg(QStringLiteral("linea.zc4"))));
}

TEST_F(FormFileTest, NamesWithSlashesAreRefused)
{
    for (const char* name : {"../fuori", "Fiat\\Punto"}) {
        for (int mode : {TFormFile::ModeSave, TFormFile::ModeOpen}) {
            r.prompts.clear();
            auto d = dialog(mode);
            d->EditName->setText(QLatin1String(name));
            d->ImageOkClick();
            ASSERT_EQ(r.prompts.shown().size(), 1u) << name;
            EXPECT_EQ(r.prompts.shown()[0].text, rig::text(462));
            EXPECT_EQ(d->result(), 0);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(app.filePath(QStringLiteral("fuori.zc4"))));
    EXPECT_EQ(QDir(lpg(QString())).entryList(QDir::Files).size(), 0);
}

TEST_F(FormFileTest, OpenListsTheFilesWithDatesAndLoadsOneIntoTheEcu)
{
    // The connected ECU's configuration, saved and loaded back.
    r.connectEcu();
    ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
    r.dm().Modified = 0;
    save(QStringLiteral("Punto"));
    write(lpg(QStringLiteral("Other.zc8")), "x");
    r.events();

    bool anyFile = false;
    auto d = dialog(TFormFile::ModeOpen, &anyFile);
    EXPECT_TRUE(anyFile);
    EXPECT_FALSE(d->EditName->isVisibleTo(d.get()));
    EXPECT_EQ(d->LabelSalva->text(), rig::text(455));
    EXPECT_FALSE(d->ComboTipoConfig->isEnabled());
    ASSERT_EQ(d->ListFile->topLevelItemCount(), 1);
    const QTreeWidgetItem* row = d->ListFile->topLevelItem(0);
    EXPECT_EQ(row->text(0), QStringLiteral("Punto"));
    EXPECT_EQ(row->text(1), d->Rows()[0].Date);
    EXPECT_EQ(d->Rows()[0].Date.size(), 18);
    EXPECT_TRUE(row->isSelected());
    EXPECT_EQ(d->EditName->text(), QStringLiteral("Punto"));

    r.sim().ClearCalls();
    d->ImageOkClick();
    EXPECT_EQ(d->result(), TFormFile::mrOk);
    const auto names = r.callNames();
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), isWrite)) << "the loaded image goes to the ECU";
    const auto codes = eventCodes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), 2), codes.end());
}

TEST_F(FormFileTest, OpenOfflineSetsTheTypeOfTheChosenKind)
{
    r.dm().EcuInfo.EcuType = 79;
    save(QStringLiteral("Orsel"));
    r.dm().EcuInfo.EcuType = 30;
    auto d = dialog(TFormFile::ModeOpen);
    EXPECT_EQ(d->ListFile->topLevelItemCount(), 0);
    d->ComboEcuType->setCurrentIndex(1);
    d->ComboEcuTypeChange();
    ASSERT_EQ(d->ListFile->topLevelItemCount(), 1);
    EXPECT_EQ(d->EditName->text(), QStringLiteral("Orsel"));
    d->ImageOkClick();
    EXPECT_EQ(d->result(), TFormFile::mrOk);
    EXPECT_EQ(r.dm().EcuInfo.EcuType, 79);
}

TEST_F(FormFileTest, OpenTakesAListedOrTypedFileByItsRealName)
{
    save(QStringLiteral("Punto"));
    // A file whose name only contains the extension letters, and one whose
    // extension has capitals.
    ASSERT_TRUE(QFile::copy(lpg(QStringLiteral("Punto.zc4")), lpg(QStringLiteral("old zc4 golf"))));
    ASSERT_TRUE(QFile::rename(lpg(QStringLiteral("Punto.zc4")), lpg(QStringLiteral("Punto.ZC4"))));
    {
        auto d = dialog(TFormFile::ModeOpen);
        ASSERT_EQ(d->ListFile->topLevelItemCount(), 1);
        d->ImageOkClick(); // the row "Punto"
        EXPECT_EQ(d->result(), TFormFile::mrOk);
        EXPECT_EQ(r.prompts.shown().size(), 0u);
    }
    r.dm().Modified = 0; // the offline load set the ECU type
    auto d = dialog(TFormFile::ModeOpen);
    d->EditName->setText(QStringLiteral("old zc4 golf"));
    d->ImageOkClick();
    EXPECT_EQ(d->result(), TFormFile::mrOk);
    EXPECT_EQ(r.prompts.shown().size(), 0u);
}

TEST_F(FormFileTest, OpenOfAMissingFileStaysInTheDialog)
{
    auto d = dialog(TFormFile::ModeOpen);
    d->EditName->setText(QStringLiteral("Nessuno"));
    d->ImageOkClick();
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, rig::text(462));
    EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
    EXPECT_EQ(d->result(), 0);
    EXPECT_EQ(d->EditName->text(), QStringLiteral("Nessuno.zc4"));
}

TEST_F(FormFileTest, AFailedLoadWritesNothingToTheConnectedEcu)
{
    // A listed configuration file that cannot be read: larger than any file
    // the program reads (sparse, so it costs no disk).
    {
        QFile big(lpg(QStringLiteral("Rotto.zc4")));
        QDir().mkpath(lpg(QString()));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qz::files::kMaxInputFileSize + 1));
    }
    // The transfer's retry question: given up at once, or after one retry.
    for (const std::vector<int>& answers : {std::vector<int>{plat::IDNO}, {plat::IDYES, plat::IDNO}}) {
        SCOPED_TRACE(answers.size());
        r.connectEcu();
        ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
        r.dm().Modified = 0;
        r.prompts.clear();
        for (int a : answers)
            r.prompts.script(a);
        auto d = dialog(TFormFile::ModeOpen);
        ASSERT_EQ(d->EditName->text(), QStringLiteral("Rotto"));

        r.sim().ClearCalls();
        d->ImageOkClick();

        const auto names = r.callNames();
        EXPECT_EQ(std::count_if(names.begin(), names.end(), isWrite), 0) << "the old image reached the ECU";
        EXPECT_TRUE(r.callsOf("SendCommand").empty());
        // The user is told, once a try.
        ASSERT_EQ(r.prompts.shown().size(), answers.size());
        for (const plat::PromptRequest& box : r.prompts.shown()) {
            EXPECT_EQ(box.text, rig::text(301));
            EXPECT_EQ(box.icon, plat::PromptIcon::Error);
        }
    }
}

TEST_F(FormFileTest, DamagedOrForeignFilesNeverReachTheEcu)
{
    r.connectEcu();
    ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
    save(QStringLiteral("Punto"));
    const QByteArray good = contents(lpg(QStringLiteral("Punto.zc4")));
    ASSERT_GT(good.size(), 10000);
    QFile::remove(lpg(QStringLiteral("Punto.zc4")));

    for (const rig::DamagedFile& damaged : rig::DamagedConfigurations(good, r.dm().FileKey())) {
        // The same file, answered No and answered Yes when it is asked about.
        for (const int answer : {plat::IDNO, plat::IDYES}) {
            if (damaged.refused && answer == plat::IDYES)
                continue;
            SCOPED_TRACE(std::string(damaged.name) + (answer == plat::IDYES ? ", Yes" : ", No") + " " +
                         qz::files::CheckConfigurationFile(damaged.bytes, r.dm().FileKey()).reason);
            r.connectEcu();
            ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
            r.dm().Modified = 0;
            write(lpg(QStringLiteral("Rotto.zc4")), damaged.bytes);
            r.dm().Item(0x36)[0] = 77;
            const auto before = std::vector<std::int32_t>(r.dm().Image.All().begin(), r.dm().Image.All().end());
            r.prompts.clear();
            // Then No to any retry question.
            r.prompts.script({answer, plat::IDNO, plat::IDNO});
            r.sim().ClearCalls();

            auto d = dialog(TFormFile::ModeOpen);
            d->EditName->setText(QStringLiteral("Rotto"));
            d->ImageOkClick();

            const auto names = r.callNames();
            const auto writes = std::count_if(names.begin(), names.end(), isWrite);
            ASSERT_EQ(r.prompts.shown().size(), 1u);
            const plat::PromptRequest& box = r.prompts.shown()[0];
            if (damaged.refused) {
                // The load error, and the image as it was.
                EXPECT_EQ(box.text, rig::text(301));
                EXPECT_EQ(writes, 0) << "a refused file reached the ECU";
                EXPECT_TRUE(std::equal(before.begin(), before.end(), r.dm().Image.All().begin()));
                continue;
            }
            // A file that lacks keys: asked first, No the default.
            EXPECT_EQ(box.text, rig::text(781));
            EXPECT_EQ(box.buttons, plat::PromptButtons::YesNo);
            EXPECT_EQ(box.defaultAnswer, plat::IDNO);
            EXPECT_GT(r.dm().MissingValueCount(), 50);
            if (answer == plat::IDNO) {
                EXPECT_EQ(writes, 0) << "the defaults reached the ECU";
                EXPECT_EQ(r.dm().Modified, 1);
            } else {
                EXPECT_GT(writes, 200);
            }
        }
    }
}

// A file with damaged values, opened while connected: asked first (No the
// default), and nothing reaches the ECU on No; offline the defaults stay.
TEST_F(FormFileTest, DamagedValuesAreAskedAboutBeforeAnythingIsWritten)
{
    r.connectEcu();
    ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
    save(QStringLiteral("Punto"));
    const QByteArray key = r.dm().FileKey();
    const QByteArray plain =
        qz::files::DescrambleBytes(contents(lpg(QStringLiteral("Punto.zc4"))), key, qz::files::TScrambledSource::File);
    QFile::remove(lpg(QStringLiteral("Punto.zc4")));
    const auto open = [&](const QByteArray& text, const std::vector<int>& answers) {
        r.connectEcu();
        EXPECT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
        r.dm().Modified = 0;
        write(lpg(QStringLiteral("Rotto.zc4")), qz::files::ScrambleBytes(text, key));
        r.prompts.clear();
        for (int a : answers)
            r.prompts.script(a);
        r.prompts.script({plat::IDNO, plat::IDNO}); // any retry question
        r.sim().ClearCalls();
        auto d = dialog(TFormFile::ModeOpen);
        d->EditName->setText(QStringLiteral("Rotto"));
        d->ImageOkClick();
        EXPECT_EQ(d->result(), TFormFile::mrOk);
        const auto names = r.callNames();
        return std::count_if(names.begin(), names.end(), isWrite);
    };

    for (const rig::DamagedValue& v : rig::DamagedValues()) {
        SCOPED_TRACE(std::string(v.key) + "=" + v.text);
        EXPECT_EQ(open(rig::WithValue(plain, v), {plat::IDNO}), 0) << "a damaged file reached the ECU";
        ASSERT_EQ(r.prompts.shown().size(), 1u) << r.prompts.texts().join(u'|').toStdString();
        const plat::PromptRequest& box = r.prompts.shown()[0];
        EXPECT_EQ(box.text, rig::text(782));
        EXPECT_EQ(box.buttons, plat::PromptButtons::YesNo);
        EXPECT_EQ(box.defaultAnswer, plat::IDNO);
        EXPECT_EQ(box.icon, plat::PromptIcon::Warning);
        EXPECT_EQ(r.dm().DamagedValueCount(), 1);
        EXPECT_EQ(r.dm().Modified, 1);
    }

    // Two damaged values; with a missing one as well, both questions.
    const QByteArray two = rig::WithValue(rig::WithValue(plain, "Lambda", "RifLambda", QByteArray("abc")),
                                          "MappaCoefficientiK", "MappaK0_0", QByteArray("300"));
    const QByteArray lacking = rig::WithValue(two, "Lambda", "RifSupSondaFredda", std::nullopt);
    struct Case {
        const char* name;
        const QByteArray* text;
        std::vector<int> answers;
        std::vector<int> boxes;
        bool writes;
    };
    for (const Case& c :
         {Case{"damaged, No", &two, {plat::IDNO}, {782}, false}, Case{"damaged, Yes", &two, {plat::IDYES}, {782}, true},
          Case{"damaged and missing, No", &lacking, {plat::IDNO}, {782}, false},
          Case{"damaged and missing, Yes then No", &lacking, {plat::IDYES, plat::IDNO}, {782, 781}, false},
          Case{"damaged and missing, Yes", &lacking, {plat::IDYES, plat::IDYES}, {782, 781}, true}}) {
        SCOPED_TRACE(c.name);
        const auto writes = open(*c.text, c.answers);
        std::vector<int> boxes;
        for (const QString& t : r.prompts.texts())
            boxes.push_back(t.mid(1).toInt());
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(r.dm().DamagedValueKeys(), (std::vector<QByteArray>{"MappaK0_0", "RifLambda"}));
        if (c.writes) {
            EXPECT_GT(writes, 200);
            // The defaults, not the damaged values, went into the ECU.
            EXPECT_EQ(ecuValue(0x54, 0), 120);
            EXPECT_EQ(ecuValue(0x05, 0), 28);
        } else {
            EXPECT_EQ(writes, 0);
        }
    }

    // Offline: no question, the defaults stay in place.
    r.sim().Disconnect();
    write(lpg(QStringLiteral("Rotto.zc4")), qz::files::ScrambleBytes(two, key));
    r.prompts.clear();
    auto d = dialog(TFormFile::ModeOpen);
    d->EditName->setText(QStringLiteral("Rotto"));
    d->ImageOkClick();
    EXPECT_TRUE(r.prompts.shown().empty());
    EXPECT_EQ(r.dm().GetMappaK(0, 0), 120);
    EXPECT_EQ(*r.dm().Item(0x5), 28);
    EXPECT_EQ(d->result(), TFormFile::mrOk);
}

// The name typed for a save reaches the image (and the connected ECU) only
// once the file is saved; a save that fails leaves the image as it was.
TEST_F(FormFileTest, TheNewNameIsStoredOnlyOnceTheSaveSucceeded)
{
    for (const bool connected : {false, true}) {
        for (const bool fails : {true, false}) {
            SCOPED_TRACE(std::string(connected ? "connected" : "offline") + (fails ? ", failing" : ", saved"));
            if (connected) {
                r.connectEcu();
                ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
            } else {
                r.sim().Disconnect();
            }
            ASSERT_TRUE(r.dm().SetNomeConfigurazione("Vecchio"));
            ASSERT_TRUE(r.dm().SetDescription(1, "Vecchio"));
            r.dm().SetUfficiale(true);
            r.dm().Modified = 1;
            const QString file = lpg(QStringLiteral("Nuovo.zc4"));
            QFile::remove(file);
            r.prompts.clear();
            r.prompts.script({plat::IDNO, plat::IDNO}); // the retry question
            r.sim().ClearCalls();
            {
                std::optional<qz::files::TScopedSaveFaults> faults;
                if (fails)
                    faults.emplace(qz::files::TSaveFaults{.failWrite = 1});
                auto d = dialog(TFormFile::ModeSave);
                d->EditName->setText(QStringLiteral("Nuovo"));
                d->ImageOkClick();
            }
            int nameWrites = 0;
            for (const auto& c : r.callsOf("WriteElement"))
                nameWrites += c.code == 0x35 ? 1 : 0;

            if (fails) {
                EXPECT_FALSE(QFileInfo::exists(file));
                ASSERT_EQ(r.prompts.shown().size(), 1u);
                EXPECT_EQ(r.prompts.shown()[0].text, rig::text(304));
                EXPECT_STREQ(r.dm().GetNomeConfigurazione(), "Vecchio");
                EXPECT_STREQ(r.dm().DescrizAuto.data(), "Vecchio");
                EXPECT_TRUE(r.dm().GetUfficiale());
                EXPECT_EQ(r.dm().Modified, 1);
                EXPECT_EQ(nameWrites, 0) << "the name of no file reached the ECU";
                continue;
            }
            EXPECT_TRUE(r.prompts.shown().empty());
            const auto doc = qz::files::TIniDocument::Parse(
                qz::files::DescrambleBytes(contents(file), r.dm().FileKey(), qz::files::TScrambledSource::File));
            EXPECT_EQ(doc.Value("Generale", "DescrizAuto"), QByteArray("Nuovo"));
            EXPECT_EQ(doc.Value("Generale", "Ufficiale"), QByteArray("0"));
            EXPECT_STREQ(r.dm().GetNomeConfigurazione(), "Nuovo");
            EXPECT_STREQ(r.dm().DescrizAuto.data(), "Nuovo");
            EXPECT_FALSE(r.dm().GetUfficiale());
            EXPECT_EQ(r.dm().Modified, 0);
            if (connected) {
                EXPECT_GT(nameWrites, 0);
            }
        }
    }
}

TEST_F(FormFileTest, ALinkDropInTheEcuWriteAsksAndSaysWhatTheEcuHolds)
{
    // The 18th write of the image loses the link; given up at once, or after
    // one retry that cannot reconnect.
    for (const std::vector<int>& retries : {std::vector<int>{plat::IDNO}, {plat::IDYES, plat::IDNO}}) {
        SCOPED_TRACE(retries.size());
        r.sim().RestoreLink();
        r.connectEcu();
        ASSERT_TRUE(r.dm().TransferData(T::TRANSFER_READ_ECU, {}, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
        r.dm().Modified = 0;
        QFile::remove(lpg(QStringLiteral("Punto.zc4")));
        save(QStringLiteral("Punto"));
        r.events();
        r.prompts.clear();
        for (int a : retries)
            r.prompts.script(a);
        r.prompts.script(plat::IDOK);
        r.sim().ClearCalls();
        r.sim().AddFault({.op = protovyx::Op::AnyWrite, .skip = 17, .times = 1, .thenLoseLink = true});

        auto d = dialog(TFormFile::ModeOpen);
        d->EditName->setText(QStringLiteral("Punto"));
        d->ImageOkClick();

        const auto names = r.callNames();
        EXPECT_EQ(std::count_if(names.begin(), names.end(), isWrite), 18);
        // The transfer's retry question, once a try (a retry that cannot
        // reconnect says so), then what the ECU holds.
        const auto& shown = r.prompts.shown();
        ASSERT_EQ(shown.size(), retries.size() + 1) << r.prompts.texts().join(u'|').toStdString();
        for (std::size_t i = 0; i < retries.size(); ++i) {
            EXPECT_EQ(shown[i].text, rig::text(i == 0 ? 303 : 17) + u' ' + rig::text(47));
            EXPECT_EQ(shown[i].buttons, plat::PromptButtons::YesNo);
        }
        EXPECT_EQ(shown.back().text, rig::text(780));
        EXPECT_EQ(shown.back().icon, plat::PromptIcon::Warning);
        // The image in memory is kept and counts as unsaved: no reconnect
        // replaces it.
        EXPECT_EQ(r.dm().Modified, 1);
        const auto codes = eventCodes();
        EXPECT_EQ(std::find(codes.begin(), codes.end(), 3), codes.end());
        EXPECT_EQ(d->result(), TFormFile::mrOk);
    }
}

TEST_F(FormFileTest, SaveFirstQuestion)
{
    save(QStringLiteral("Punto"));
    ASSERT_TRUE(r.dm().SetNomeConfigurazione("in memoria"));
    struct Case {
        int answer;
        int saveResult; // -1: no save hook
        bool loads;
    };
    for (const Case& c : {Case{plat::IDCANCEL, 1, false}, Case{plat::IDNO, 1, true}, Case{plat::IDYES, 0, false},
                          Case{plat::IDYES, 1, true}, Case{plat::IDYES, -1, true}}) {
        ASSERT_TRUE(r.dm().SetNomeConfigurazione("in memoria"));
        r.dm().Modified = 1;
        r.prompts.clear();
        r.events();
        r.prompts.script(c.answer);
        int saves = 0;
        auto d = dialog(TFormFile::ModeOpen);
        if (c.saveResult >= 0)
            d->SaveChanges = [&] {
                ++saves;
                return c.saveResult == 1;
            };
        d->ImageOkClick();
        ASSERT_GE(r.prompts.shown().size(), 1u);
        EXPECT_EQ(r.prompts.shown()[0].text, rig::text(464));
        EXPECT_EQ(r.prompts.shown()[0].buttons, plat::PromptButtons::YesNoCancel);
        EXPECT_EQ(saves, c.answer == plat::IDYES && c.saveResult >= 0 ? 1 : 0);
        EXPECT_EQ(std::string(r.dm().GetNomeConfigurazione()), c.loads ? "Punto" : "in memoria")
            << c.answer << " " << c.saveResult;
        EXPECT_EQ(d->result(), c.loads ? TFormFile::mrOk : 0);
        const auto codes = eventCodes();
        EXPECT_EQ(std::find(codes.begin(), codes.end(), 4) != codes.end(), c.answer == plat::IDYES);
    }
}

TEST_F(FormFileTest, MailSendsTheFileAndShowsTheResultText)
{
    save(QStringLiteral("Punto"));
    struct Case {
        int result;
        bool box;
    };
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{4, true}, Case{11, true}}) {
        r.prompts.clear();
        mailer.sent.clear();
        mailer.result = c.result;
        auto d = dialog(TFormFile::ModeSave);
        d->EditName->setText(QStringLiteral("Punto"));
        d->ImageEmailClick();
        ASSERT_EQ(mailer.sent.size(), 1u);
        EXPECT_EQ(mailer.sent[0].subject, QStringLiteral("Punto.zc4"));
        EXPECT_EQ(QFileInfo(mailer.sent[0].attachment).canonicalFilePath(),
                  QFileInfo(lpg(QStringLiteral("Punto.zc4"))).canonicalFilePath());
        EXPECT_TRUE(QFileInfo(mailer.sent[0].attachment).isAbsolute());
        ASSERT_EQ(r.prompts.shown().size(), c.box ? 1u : 0u) << c.result;
        if (c.box) {
            EXPECT_EQ(r.prompts.shown()[0].text, MailResultText(c.result));
            EXPECT_EQ(r.prompts.shown()[0].icon, plat::PromptIcon::Error);
        }
        EXPECT_EQ(d->result(), 0); // stays open
    }

    r.prompts.clear();
    mailer.sent.clear();
    auto d = dialog(TFormFile::ModeSave);
    d->EditName->setText(QStringLiteral("Nessuno"));
    d->ImageEmailClick();
    EXPECT_TRUE(mailer.sent.empty());
    ASSERT_EQ(r.prompts.shown().size(), 1u);
    EXPECT_EQ(r.prompts.shown()[0].text, rig::text(462));
}

TEST_F(FormFileTest, EscCancelsAndRestoresTheFolder)
{
    auto d = dialog(TFormFile::ModeOpen);
    EXPECT_TRUE(d->FormKeyPress(27));
    EXPECT_EQ(d->result(), TFormFile::mrCancel);
    EXPECT_EQ(QDir::current().absolutePath(), QDir(app.path()).absolutePath());
}

} // namespace
