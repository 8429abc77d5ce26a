#include "Startup.h"

#include "shell/windows/Attesa.h"

#include "MainQuorin.h"
#include "complib/settings/VyxRegistryData.h"
#include "config/window/FormConfig.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/ProgramVersion.h"
#include "plat/Services.h"

#include <exception>
#include <QPointer>
#include <memory>

StartupOptions ParseStartupOptions(const QStringList& arguments)
{
    StartupOptions o;
    for (const QString& a : arguments)
        if (a == QLatin1String("--offline"))
            o.offline = true;
    return o;
}

void ShowException(const char* what)
{
    plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()), QString::fromUtf8(what ? what : ""),
                                plat::PromptIcon::Error, plat::PromptButtons::Ok, 0});
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown exception");
    }
    return false;
}

QWidget* CreateConfigWindow(TFormMain* main)
{
    auto* config = new TFormConfig(nullptr);
    // The wait form of the window's long changes.
    auto wait = std::make_shared<QPointer<TFormAttesa>>();
    TConfigMainHooks hooks;
    hooks.connect = [main] { main->ActionConnettiExecute(); };
    hooks.disconnect = [main] { main->ActionDisconnettiExecute(); };
    hooks.extraInjectionSeen = &main->ExtraInjectionSeen;
    hooks.resetFromPc = [main] { main->ActionResetDaPcExecute(); };
    hooks.beginWait = [wait](QWidget* owner, const QString& text) {
        delete wait->data();
        *wait = new TFormAttesa(owner);
        (*wait)->Begin(text);
    };
    hooks.endWait = [wait] {
        delete wait->data();
        *wait = nullptr;
    };
    config->SetMainHooks(std::move(hooks));
    // The main window applied its language before this window existed.
    config->LoadTexts();
    return config;
}

int RunProgram(const StartupOptions& options, const StartupHooks& hooks)
{
    // Destroyed in the opposite order of their creation: the windows still
    // reach the data module while they go.
    std::unique_ptr<TStreamDati> dataModule;
    std::unique_ptr<TFormMain> mainWindow;
    std::unique_ptr<QWidget> configWindow;
    try {
        qz::InitBuildConstants();
        const QString title = QString::fromUtf8(qz::ProductTitle());
        QCoreApplication::setApplicationName(title);
        QGuiApplication::setApplicationDisplayName(title);
        QCoreApplication::setApplicationVersion(plat::ProgramVersion());

        dataModule = std::make_unique<TStreamDati>();
        if (hooks.created)
            hooks.created("StreamDati");
        mainWindow = std::make_unique<TFormMain>();
        mainWindow->OfflineStart = options.offline;
        if (hooks.created)
            hooks.created("FormMain");
        configWindow.reset(hooks.createConfigWindow ? hooks.createConfigWindow(mainWindow.get())
                                                    : CreateConfigWindow(mainWindow.get()));
        mainWindow->ConfigWindow = configWindow.get();
        if (hooks.created)
            hooks.created("FormConfig");

        if (dataModule->VyxRegistryData->Tag() != 0) {
            mainWindow->show();
            if (hooks.exec)
                hooks.exec();
            else
                QApplication::exec();
        }
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
    configWindow.reset();
    mainWindow.reset();
    dataModule.reset();
    return 0;
}
