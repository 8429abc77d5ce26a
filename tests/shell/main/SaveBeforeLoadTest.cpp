// Loading a configuration file over unsaved data: the main window saves first.
#include "MainTestSupport.h"
#include "shell/main/MainQuorin.h"

#include "product/constants/BuildConstants.h"
#include "shell/file/FormFile.h"
#include "tests/support/rig/DataModuleRig.h"

#include "plat/Prompts.h"
#include "plat/testing/DesktopFakes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using T = TStreamDati;

// An offline main window whose application folder is a folder of its own,
// holding one configuration file "Punto" to load; the image in memory is
// another one, modified.
class SaveBeforeLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.isValid());
        ASSERT_TRUE(elsewhere.isValid());
        saved_ = QDir::currentPath();
        QDir::setCurrent(app.path());
        qz::InitBuildConstants();
        window = std::make_unique<TFormMain>();
        StreamDati->EcuInfo.EcuType = 30;

        ASSERT_TRUE(QDir().mkpath(app.filePath(QStringLiteral("ConfigLPG"))));
        ASSERT_TRUE(StreamDati->SetNomeConfigurazione("Punto"));
        StreamDati->SetDescription(1, "Punto");
        ASSERT_TRUE(StreamDati->TransferData(T::TRANSFER_SAVE, app.filePath(QStringLiteral("ConfigLPG/Punto.zc4")), 0,
                                             T::TRANSFER_ALL_GROUPS, 0, 0));
        ASSERT_TRUE(StreamDati->SetNomeConfigurazione("in memoria"));
        StreamDati->Modified = 1;
        rig.prompts.clear();
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
        QDir::setCurrent(saved_);
    }

    // "Carica Dati", the first row chosen and confirmed.
    TFormFile* openFirstRow()
    {
        window->ActionApriConfExecute();
        auto* dialog = window->findChild<TFormFile*>();
        if (!dialog)
            return nullptr;
        dialog->FormActivate();
        EXPECT_EQ(dialog->EditName->text(), QStringLiteral("Punto"));
        dialog->ImageOkClick();
        return dialog;
    }

    plat::testing::FakeFileDialogs dialogs;
    plat::ScopedDesktop desktopGuard{{.fileDialogs = &dialogs}};
    rig::DataModuleRig rig;
    QTemporaryDir app;
    QTemporaryDir elsewhere;
    std::unique_ptr<TFormMain> window;

private:
    QString saved_;
};

TEST_F(SaveBeforeLoad, YesSavesThroughTheSaveDialogWithoutAskingAgainThenLoads)
{
    const QString target = elsewhere.filePath(QStringLiteral("Golf.zc4"));
    dialogs.script(target);
    rig.prompts.script(plat::IDYES); // save first?

    TFormFile* dialog = openFirstRow();
    ASSERT_NE(dialog, nullptr);

    ASSERT_EQ(rig.prompts.shown().size(), 1u) << rig.prompts.texts().join(" | ").toStdString();
    EXPECT_EQ(rig.prompts.shown()[0].text, rig::text(464)); // and not the main window's question again
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].save);
    EXPECT_EQ(dialogs.shown[0].request.defaultExt, QStringLiteral("zc4"));

    // The unsaved image went to the chosen file, under the name of that file.
    ASSERT_TRUE(QFileInfo(target).isFile());
    EXPECT_GT(QFileInfo(target).size(), 0);
    // Then the chosen configuration was loaded.
    EXPECT_EQ(dialog->result(), TFormFile::mrOk);
    EXPECT_STREQ(StreamDati->GetNomeConfigurazione(), "Punto");

    // What was saved is the image that was in memory.
    ASSERT_TRUE(StreamDati->TransferData(T::TRANSFER_LOAD, target, 0, T::TRANSFER_ALL_GROUPS, 0, 0));
    EXPECT_STREQ(StreamDati->GetNomeConfigurazione(), "Golf");
}

TEST_F(SaveBeforeLoad, ACancelledOrFailedSaveKeepsTheImageInMemory)
{
    struct Case {
        const char* what;
        QString file; // the save dialog's answer
    } cases[] = {
        {"save dialog cancelled", QString()},
        {"folder missing", QStringLiteral("missing/x.zc4")},
        {"folder is a file", QStringLiteral("plain/x.zc4")},
    };
    ASSERT_TRUE(QFile(elsewhere.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly));
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        rig.prompts.clear();
        dialogs.shown.clear();
        const QString target = k.file.isEmpty() ? QString() : elsewhere.filePath(k.file);
        dialogs.script(target);
        // Save first: Yes; a failed save's retry question: No.
        rig.prompts.script({plat::IDYES, plat::IDNO, plat::IDNO});

        TFormFile* dialog = openFirstRow();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(rig.prompts.shown().size(), k.file.isEmpty() ? 1u : 2u)
            << rig.prompts.texts().join(" | ").toStdString();
        if (!target.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(target));
        }
        // Nothing loaded: the dialog stays open over the unsaved image.
        EXPECT_EQ(dialog->result(), 0);
        EXPECT_STRNE(StreamDati->GetNomeConfigurazione(), "Punto");
        // A save that failed gave the image no name of a file that is not there.
        EXPECT_STREQ(StreamDati->GetNomeConfigurazione(), "in memoria");
        EXPECT_EQ(StreamDati->Modified, 1);
        delete dialog;
    }
}

} // namespace
