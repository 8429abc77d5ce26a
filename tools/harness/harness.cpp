// qz-harness: the program, or one of its windows, against a chosen simulator
// profile and language, for reviews and screenshots. See --help.
#include "Attesa.h"
#include "FormConfig.h"
#include "FormDiagnosi.h"
#include "BuildConstants.h"
#include "MainQuorin.h"
#include "Startup.h"

#include "VyxRegistryData.h"
#include "iodata.h"
#include "protovyx/Simulator.h"

#include "plat/Messages.h"
#include "plat/ProgramFolder.h"
#include "plat/Prompts.h"
#include "plat/Services.h"
#include "plat/testing/DesktopFakes.h"
#include "plat/testing/Fakes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QLibrary>
#include <QPointer>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <string_view>

namespace {

const char* const kHelp =
    "Usage: qz-harness [options]\n"
    "Starts Quorin Zelkon against the simulated ECU, lets it run, saves a\n"
    "screenshot and the simulator's call log, and exits.\n"
    "\n"
    "  --window NAME      the window to show: main (default); config (the\n"
    "                     configuration window, opened as its button does);\n"
    "                     diagnosi (the diagnostics window, modal over the\n"
    "                     main window, as its callers open it); visualizza\n"
    "                     (the live view) or taratura (the auto-calibration\n"
    "                     window), each opened as its button does\n"
    "  --page N           with --window config: the page shown first, by its\n"
    "                     sheet number (0 Configurazione ... 13 Altri parametri)\n"
    "  --profile TEXT     simulator profile, e.g. \"type=55;fw=30.4\"\n"
    "  --language N       language index stored in the settings (default 0)\n"
    "  --port N           serial port stored in the settings (default 1)\n"
    "  --offline          start without connecting (as with Shift held);\n"
    "                     otherwise the program connects at its first idle\n"
    "                     moment, and the keys come once that is over\n"
    "  --keys LIST        keys replayed, separated by blanks, each into the\n"
    "                     window on top (a modal window an earlier key opened),\n"
    "                     e.g. \"Right Right Ctrl+A Return\"\n"
    "  --run-ms N         how long the program runs, from the last key (or the\n"
    "                     end of its start), before the screenshot (500)\n"
    "  --size WxH         the screen size on the offscreen platform\n"
    "                     (default 1280x1024)\n"
    "  --screenshot FILE  PNG of the window on top as the screen shows it\n"
    "                     (every partial repaint included): a modal window\n"
    "                     the keys opened, else the main window\n"
    "  --calls FILE       the simulator's calls, one per line\n"
    "  --help             this text\n"
    "\n"
    "Settings live in memory only; message boxes are written to stderr and\n"
    "answered with their default button.\n";

QString argValue(const QStringList& args, const QString& name, const QString& fallback = {})
{
    const int i = static_cast<int>(args.indexOf(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

// The offscreen platform with a screen of the given size, unless the caller
// chose a platform.
void chooseScreen(const QString& size)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        return;
    const QStringList wh = size.split(QLatin1Char('x'));
    const int w = wh.value(0).toInt(), h = wh.value(1).toInt();
    if (w <= 0 || h <= 0)
        return;
    static QTemporaryFile config(QDir::tempPath() + QStringLiteral("/qz-harness-XXXXXX.json"));
    if (!config.open())
        return;
    config.write(QStringLiteral("{\"screens\":[{\"name\":\"harness\",\"x\":0,\"y\":0,\"width\":%1,\"height\":%2,"
                                "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                     .arg(w)
                     .arg(h)
                     .toUtf8());
    config.flush();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.fileName()).toLocal8Bit());
}

protovyx::ISimControl* simControl()
{
    QLibrary lib(QDir(plat::programFolder()).filePath(QStringLiteral("libProtoVyx.so")));
    using Fn = protovyx::ISimControl* (*)(TEcuProtocol*);
    auto fn = reinterpret_cast<Fn>(lib.resolve("_SimControl"));
    return fn && StreamDati ? fn(StreamDati->Protocol()) : nullptr;
}

void writeCalls(const QString& file)
{
    protovyx::ISimControl* sim = simControl();
    QFile f(file);
    if (!sim || !f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "qz-harness: no call log written\n");
        return;
    }
    QTextStream out(&f);
    for (const auto& c : sim->calls())
        out << c.seq << '\t' << c.timeMs << '\t' << QString::fromStdString(c.name) << "\t0x"
            << QString::number(c.code, 16) << '\t' << c.row << '\t' << (c.result ? "ok" : "failed") << '\t'
            << c.status << '\n';
}

// Whether the program's start is over: the first idle moment has ended (its
// last act is the configuration-changed event, sent) and its connect with it:
// no wait form is up and the poll timer runs again. Until then the wait form's
// progress runs events, so a check can come while the connect is under way.
class StartWatch : public QObject {
public:
    explicit StartWatch(TFormMain* main) : main_(main) { main->installEventFilter(this); }
    bool settled() const
    {
        return configEventSeen_ && main_ && !main_->findChild<TFormAttesa*>() && StreamDati &&
               StreamDati->TimerIO->isActive();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == main_ && plat::MessageEvent::isMessage(event, plat::WM_CONNECTIONEVENT) &&
            static_cast<plat::MessageEvent*>(event)->lParam() == 2)
            configEventSeen_ = true;
        return QObject::eventFilter(watched, event);
    }

private:
    // As a plain object: the filter still sees the events of the window's
    // destruction, when it is no longer a TFormMain.
    QPointer<QObject> main_;
    bool configEventSeen_ = false;
};

constexpr int kStartTimeoutMs = 30000;

QtMessageHandler previousHandler = nullptr;

// The offscreen platform reports every opacity step of the splash.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support setting window opacity")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    plat::serveLibraryProbe(argc, argv);
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QStringLiteral("--help"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const QString window = argValue(args, QStringLiteral("--window"), QStringLiteral("main"));
    const QStringList windows{QStringLiteral("main"), QStringLiteral("config"), QStringLiteral("diagnosi"),
                              QStringLiteral("visualizza"), QStringLiteral("taratura")};
    if (!windows.contains(window)) {
        std::fprintf(stderr, "qz-harness: unknown window %s\n", qPrintable(window));
        return 2;
    }
    chooseScreen(argValue(args, QStringLiteral("--size"), QStringLiteral("1280x1024")));
    const QString profile = argValue(args, QStringLiteral("--profile"));
    if (!profile.isEmpty())
        qputenv("PROTOVYX_SIM", profile.toLocal8Bit());

    previousHandler = qInstallMessageHandler(quietHandler);
    TApplication app(argc, argv);
    plat::setProgramFolder(QStringLiteral(QZ_APP_DIR));
    QDir::setCurrent(QStringLiteral(QZ_APP_DIR));

    // The settings an installer writes, in memory only.
    plat::testing::FakeSettingsStore settings;
    {
        auto& key = settings.keys[QStringLiteral("\\Software\\") + QString::fromUtf8(qz::RegistrySubkey())];
        key[QStringLiteral("MainPath")] = QStringLiteral("\"\"");
        key[QStringLiteral("LanguageName")] = QStringLiteral("\"\"");
        key[QStringLiteral("ComPort")] = argValue(args, QStringLiteral("--port"), QStringLiteral("1"));
        key[QStringLiteral("Language")] = argValue(args, QStringLiteral("--language"), QStringLiteral("0"));
    }
    plat::ConsolePrompts prompts;
    plat::ScopedServices services(plat::Services{.prompts = &prompts, .settings = &settings});
    // File dialogs would wait for a user: every one is cancelled.
    plat::testing::FakeFileDialogs fileDialogs;
    plat::ScopedDesktop desktop(plat::DesktopServices{.fileDialogs = &fileDialogs});

    const QStringList keys =
        argValue(args, QStringLiteral("--keys")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int runMs = argValue(args, QStringLiteral("--run-ms"), QStringLiteral("500")).toInt();
    const QString shot = argValue(args, QStringLiteral("--screenshot"));
    const QString calls = argValue(args, QStringLiteral("--calls"));
    int status = 0;

    StartupHooks hooks;
    std::unique_ptr<StartWatch> watch;
    hooks.created = [&](const char* name) {
        if (std::string_view(name) == "FormMain" && FormMain)
            watch = std::make_unique<StartWatch>(FormMain);
    };
    QElapsedTimer started;
    std::function<void()> afterStart;
    // Once the program's own start is over: the keys, then the screenshot.
    std::function<void()> waitForStart = [&] {
        if (watch && !watch->settled() && !started.hasExpired(kStartTimeoutMs)) {
            QTimer::singleShot(50, waitForStart);
            return;
        }
        if (watch && !watch->settled())
            std::fprintf(stderr, "qz-harness: the program's start is not over after %d ms\n", kStartTimeoutMs);
        afterStart();
    };
    afterStart = [&] {
        TFormMain* main = FormMain;
        if (!main) {
            QApplication::quit();
            return;
        }
        // The wait forms of the connect took the activation with them.
        main->raise();
        main->activateWindow();
        if (!keys.isEmpty() && !QTest::qWaitForWindowActive(main))
            std::fprintf(stderr, "qz-harness: the window is not active; shortcuts may not work\n");
        // The keys one after another, each into the window on top when its
        // turn comes: a key that opens a modal window is followed by keys
        // into it (they arrive through that window's own loop).
        auto queue = std::make_shared<QStringList>(keys);
        if (window == QLatin1String("config")) {
            queue->prepend(QStringLiteral("@page"));
            queue->prepend(QStringLiteral("@config"));
        } else if (window != QLatin1String("main")) {
            queue->prepend(QLatin1Char('@') + window);
        }
        auto screenshot = [&] {
            if (FormMain) {
                std::printf("ECU type %d, %s\n", StreamDati->EcuInfo.EcuType,
                            qPrintable(FormMain->LabelConfigurazione->text()));
                QWidget* top = QApplication::activeModalWidget();
                if (!top)
                    top = FormMain;
                // What the screen holds, not a fresh rendering: a window that
                // repaints only what changed shows here as it looks.
                QCoreApplication::processEvents();
                QPixmap picture = top->screen() ? top->screen()->grabWindow(top->winId()) : QPixmap();
                if (picture.isNull())
                    picture = top->grab();
                if (!shot.isEmpty() && !picture.save(shot, "PNG")) {
                    std::fprintf(stderr, "qz-harness: cannot save %s\n", qPrintable(shot));
                    status = 1;
                }
                if (!calls.isEmpty())
                    writeCalls(calls);
            }
            // The harness keeps nothing: closing must not stop at the
            // save-changes question (a connect leaves the image marked
            // modified, and the file dialogs are cancelled).
            if (StreamDati)
                StreamDati->Modified = 0;
            QApplication::quit();
        };
        auto next = std::make_shared<std::function<void()>>();
        *next = [&, main, queue, next, screenshot] {
            if (queue->isEmpty()) {
                QTimer::singleShot(runMs, screenshot);
                return;
            }
            const QString k = queue->takeFirst();
            // The next key comes after this one's work, modal loops included.
            QTimer::singleShot(150, [next] { (*next)(); });
            QWidget* top = QApplication::activeModalWidget();
            if (!top)
                top = main;
            // A window opened as its caller opens it: its modal loop runs
            // the rest of the queue.
            if (k == QLatin1String("@config")) {
                main->ActionConfExecute();
                return;
            }
            if (k == QLatin1String("@diagnosi")) {
                TFormDiagnosi diagnosi(main);
                diagnosi.exec();
                return;
            }
            if (k == QLatin1String("@visualizza")) {
                main->ActionVisualizzaExecute();
                return;
            }
            if (k == QLatin1String("@taratura")) {
                main->ActionTaraExecute();
                return;
            }
            if (k == QLatin1String("@page")) {
                // A page change as a click on its tab makes it.
                if (auto* config = qobject_cast<TFormConfig*>(main->ConfigWindow.data()))
                    config->PageControl->setCurrentIndex(
                        argValue(args, QStringLiteral("--page"), QStringLiteral("0")).toInt());
                return;
            }
            const QKeySequence seq(k);
            if (seq.isEmpty()) {
                std::fprintf(stderr, "qz-harness: unknown key %s\n", qPrintable(k));
                return;
            }
            const QKeyCombination c = seq[0];
            QWidget* target = QApplication::focusWidget();
            if (!target || target->window() != top->window())
                target = top;
            QTest::keyClick(target, c.key(), c.keyboardModifiers());
        };
        QTimer::singleShot(0, [next] { (*next)(); });
    };
    hooks.exec = [&] {
        started.start();
        QTimer::singleShot(50, waitForStart);
        return QApplication::exec();
    };
    StartupOptions options;
    options.offline = args.contains(QStringLiteral("--offline"));
    RunProgram(options, hooks);
    if (!shot.isEmpty() && status == 0)
        std::printf("screenshot: %s\n", qPrintable(shot));
    return status;
}
