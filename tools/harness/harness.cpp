// qz-harness: the program, or one of its windows, against a chosen simulator
// profile and language, driven as a user would drive it (keys, clicks,
// typing, answers to its boxes, files in its dialogs), for reviews and
// screenshots. See --help.
#include "tools/harness_rules/HarnessRules.h"
#include "config/window/FormConfig.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "product/constants/BuildConstants.h"
#include "shell/file/FileRules.h"
#include "shell/file/FormFile.h"
#include "shell/main/MainQuorin.h"
#include "shell/main/Startup.h"
#include "shell/windows/Attesa.h"

#include "complib/settings/VyxRegistryData.h"
#include "datamodule/core/iodata.h"
#include "protovyx/Simulator.h"

#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/Messages.h"
#include "plat/ProgramFolder.h"
#include "plat/Prompts.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"
#include "plat/testing/OffscreenScreen.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kHelpHead =
    "Usage: qz-harness [options]\n"
    "Starts Quorin Zelkon against the simulated ECU, drives it as a user would,\n"
    "saves a screenshot and the call log, and exits.\n"
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
    "                     moment, and the script starts once that is over\n"
    "  --keys LIST        the script of user actions, separated by blanks, each\n"
    "                     into the window on top when its turn comes (a modal\n"
    "                     window an earlier action opened, else the main window):\n"
    "                       a key: Right, Return, Ctrl+A, F2 ...\n"
    "                       click:NAME       a left click at the centre of the\n"
    "                                        visible widget of that object name\n"
    "                       click:NAME@X,Y   ... at that point inside it\n"
    "                       dclick:NAME[@X,Y]  a double click\n"
    "                       type:TEXT        TEXT typed into the focused widget;\n"
    "                                        %20 is a blank, %25 a percent sign\n"
    "                       wait:MS          MS milliseconds before the next one\n"
    "                     A widget name that matches none, or more than one,\n"
    "                     visible widget ends the run with status 2.\n"
    "  --answers LIST     the message boxes answered in order with these buttons\n"
    "                     (Ok, Yes, No, Cancel; commas between them), then with\n"
    "                     their default buttons; a button the box does not have\n"
    "                     ends the run with status 2\n"
    "  --open FILE[,...]  the open dialogs answered in order with these files;\n"
    "                     in the configuration-file dialog FILE must lie in its\n"
    "                     fuel folder or one of its make folders: the make and\n"
    "                     the file are chosen in its lists and confirmed\n"
    "  --save FILE[,...]  the save dialogs likewise; in the configuration-file\n"
    "                     dialog the base name is typed into its name editor\n"
    "                     and its folder chosen as the make (a .ehcf name chooses\n"
    "                     the end-of-line script). Without --open/--save the\n"
    "                     system's file dialogs are cancelled\n"
    "  --program-folder DIR  the program's folder (its libraries, Firmware,\n"
    "                     ConfigLPG, ConfigCNG, Acquisition); the build's by\n"
    "                     default\n"
    "  --run-ms N         how long the program runs after the last action (or\n"
    "                     the end of its start) before the screenshot (500); the\n"
    "                     run ends then even while message boxes keep coming\n"
    "                     (status 3)\n"
    "  --size WxH         the screen size on the offscreen platform\n"
    "                     (default 1280x1024)\n"
    "  --screenshot FILE  PNG of the window on top as the screen shows it\n"
    "                     (every partial repaint included)\n"
    "  --calls FILE       the calls to the protocol library, one per line:\n";

const char* const kHelpTail =
    "  --help             this text\n"
    "\n"
    "Settings live in memory only. Every message box is written to stderr as\n"
    "one line: box<TAB>title<TAB>text<TAB>button (line breaks as \\n).\n"
    "Exit status: 0 done, 1 the screenshot or call log could not be written,\n"
    "2 a wrong option or action, 3 the run was ended at its time while the\n"
    "program had not come back (message boxes kept coming, or it hung).\n";

constexpr int kStartTimeoutMs = 30000;
constexpr int kStepMs = 150;
// A program that neither ends nor asks anything by then is ended from outside.
constexpr int kHangGraceMs = 5000;

enum ExitStatus { kDone = 0, kWriteFailed = 1, kUsage = 2, kTimedOut = 3 };

QString argValue(const QStringList& args, const QString& name, const QString& fallback = {})
{
    const int i = static_cast<int>(args.indexOf(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

// --- Temporary files ----------------------------------------------------------
// The screen configuration lives in a folder of the harness's own, one file
// per process. A run removes its file on every exit it sees (a crash or a
// signal included); a run that was killed outright leaves its file to the
// next run, which removes the files of processes that are gone.

char gScreenFile[4096] = {};

void removeScreenFile()
{
    if (gScreenFile[0])
        ::unlink(gScreenFile);
}

extern "C" void onFatalSignal(int sig)
{
    removeScreenFile();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

QString harnessTempFolder()
{
    return QDir::tempPath() + QStringLiteral("/qz-harness-%1").arg(::getuid());
}

void sweepStaleScreenFiles(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("screen-*.json")}, QDir::Files)) {
        bool ok = false;
        const qint64 pid = name.mid(7, name.size() - 12).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(dir.filePath(name));
    }
}

// The offscreen platform with a screen of the given size, unless the caller
// chose a platform.
void chooseScreen(const QString& size)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        return;
    const QSize screen = plat::testing::ParseScreenSize(size.toLatin1());
    if (screen.isEmpty())
        return;
    const QString folder = harnessTempFolder();
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    sweepStaleScreenFiles(folder);
    const QString path = folder + QStringLiteral("/screen-%1.json").arg(::getpid());
    const QByteArray encoded = QFile::encodeName(path);
    if (static_cast<std::size_t>(encoded.size()) >= sizeof gScreenFile)
        return;
    std::memcpy(gScreenFile, encoded.constData(), static_cast<std::size_t>(encoded.size()) + 1);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        std::signal(sig, onFatalSignal);
    std::atexit(removeScreenFile);
    plat::testing::UseOffscreenScreen(screen, path);
}

// The simulated ECU behind the program's protocol object, when the program
// has loaded the simulator: a library it refused is never mapped here.
protovyx::ISimControl* simControl()
{
    if (!StreamDati)
        return nullptr;
    const QByteArray path = QFile::encodeName(QDir(plat::ProgramFolder()).filePath(QStringLiteral("libProtoVyx.so")));
    void* handle = ::dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    using Fn = protovyx::ISimControl* (*)(TEcuProtocol*);
    auto fn = reinterpret_cast<Fn>(::dlsym(handle, "_SimControl"));
    protovyx::ISimControl* sim = fn ? fn(StreamDati->Protocol()) : nullptr;
    ::dlclose(handle); // the program's own reference keeps it mapped
    return sim;
}

bool writeCalls(protovyx::ISimControl* sim, const QString& file)
{
    if (!sim)
        return false;
    std::FILE* f = std::fopen(QFile::encodeName(file).constData(), "wb");
    if (!f)
        return false;
    bool ok = true;
    for (const auto& c : sim->Calls()) {
        const std::string line = harness::CallLine(c) + '\n';
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() && ok;
    }
    return std::fclose(f) == 0 && ok;
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

QtMessageHandler previousHandler = nullptr;

// The offscreen platform reports every opacity step of the splash.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support setting window opacity")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

using Clock = std::chrono::steady_clock;

// --- The run ------------------------------------------------------------------

class Run final : public QObject, public plat::Prompts, public plat::FileDialogs {
public:
    struct Setup {
        QString window;
        int page = 0;
        QString shot;
        QString calls;
        int runMs = 500;
        std::vector<harness::Action> actions;
        std::deque<harness::Button> answers;
        std::deque<QString> opens;
        std::deque<QString> saves;
    };

    explicit Run(Setup setup) : setup_(std::move(setup))
    {
        extendDeadline(kStartTimeoutMs + setup_.runMs);
        watchdog_ = std::thread([this] { watch(); });
    }
    ~Run() override
    {
        stopWatch_ = true;
        if (watchdog_.joinable())
            watchdog_.join();
    }

    int status() const { return status_; }

    // Once the program's own start is over.
    void begin(TFormMain* main)
    {
        main_ = main;
        sim_ = simControl();
        qApp->installEventFilter(this);
        // The wait forms of the connect took the activation with them.
        activate(main);
        if (setup_.window == QLatin1String("config")) {
            // The page shown first, as a click on its tab shows it, then the
            // script, in the window's modal loop.
            QTimer::singleShot(kStepMs, this, [this] {
                if (auto* config = qobject_cast<TFormConfig*>(main_ ? main_->ConfigWindow.data() : nullptr))
                    config->PageControl->setCurrentIndex(setup_.page);
                step();
            });
            main->ActionConfExecute();
            return;
        }
        if (setup_.window == QLatin1String("diagnosi")) {
            TFormDiagnosi diagnosi(main);
            QTimer::singleShot(0, this, [this] { step(); });
            diagnosi.exec();
            return;
        }
        if (setup_.window == QLatin1String("visualizza")) {
            QTimer::singleShot(0, this, [this] { step(); });
            main->ActionVisualizzaExecute();
            return;
        }
        if (setup_.window == QLatin1String("taratura")) {
            QTimer::singleShot(0, this, [this] { step(); });
            main->ActionTaraExecute();
            return;
        }
        step();
    }

    // --- Message boxes (plat::Prompts) ---
    int ask(const plat::PromptRequest& request) override
    {
        if (finished_)
            endNow(status_); // the results are written: nothing more runs
        if (!sim_)
            sim_ = simControl(); // for a run that never gets past its start
        const std::vector<harness::Button> offered = harness::ButtonsOf(request.buttons);
        harness::Button answer = harness::ButtonOfAnswer(plat::DefaultAnswerOf(request));
        if (!setup_.answers.empty()) {
            answer = setup_.answers.front();
            setup_.answers.pop_front();
            if (std::find(offered.begin(), offered.end(), answer) == offered.end()) {
                std::fprintf(stderr, "%s\n", qPrintable(harness::BoxLine(request, answer)));
                fail(kUsage, QStringLiteral("the box has no button %1").arg(harness::NameOfButton(answer)));
            }
        }
        std::fprintf(stderr, "%s\n", qPrintable(harness::BoxLine(request, answer)));
        std::fflush(stderr);
        if (Clock::now() > deadline()) {
            std::fprintf(stderr, "qz-harness: ended at its time while message boxes kept coming\n");
            finish(kTimedOut);
            endNow(kTimedOut);
        }
        return harness::AnswerOf(answer);
    }

    // --- The system's file dialogs (plat::FileDialogs) ---
    QString getOpenFileName(const plat::FileDialogRequest& request) override { return nextFile(request, false); }
    QString getSaveFileName(const plat::FileDialogRequest& request) override { return nextFile(request, true); }

protected:
    // The program's own configuration-file dialog, answered once it has
    // filled its lists.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<TFormFile*>(watched)) {
                QPointer<TFormFile> guard(dialog);
                QTimer::singleShot(300, this, [this, guard] {
                    if (guard && guard->isVisible())
                        driveFileDialog(guard);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Clock::time_point deadline() const { return Clock::time_point(Clock::duration(deadline_.load())); }
    void extendDeadline(int ms)
    {
        deadline_ = (Clock::now() + std::chrono::milliseconds(ms)).time_since_epoch().count();
    }

    // The window the user sees on top.
    QWidget* top() const
    {
        QWidget* w = QApplication::activeModalWidget();
        return w ? w : main_.data();
    }

    // After a modal window closed no window is active on the offscreen
    // platform: the one on top is made active again.
    static void activate(QWidget* window)
    {
        if (!window || QApplication::activeWindow() == window->window())
            return;
        window->raise();
        window->activateWindow();
        if (QWindow* handle = window->window()->windowHandle())
            handle->requestActivate();
        (void)QTest::qWaitForWindowActive(window->window(), 1000);
    }

    void step()
    {
        if (finished_)
            return;
        if (next_ >= setup_.actions.size()) {
            if (!endScheduled_) {
                endScheduled_ = true;
                extendDeadline(setup_.runMs);
                QTimer::singleShot(setup_.runMs, this, [this] { finish(status_); });
            }
            return;
        }
        const harness::Action action = setup_.actions[next_++];
        extendDeadline(setup_.runMs + (action.kind == harness::Action::Kind::Wait ? action.ms : 0));
        // The next action comes after this one's work, a modal loop it
        // opens included (it runs there).
        QTimer::singleShot(action.kind == harness::Action::Kind::Wait ? action.ms : kStepMs, this,
                           [this] { step(); });
        QWidget* window = top();
        if (!window)
            return;
        activate(window);
        perform(action, window);
    }

    void perform(const harness::Action& action, QWidget* window)
    {
        using Kind = harness::Action::Kind;
        switch (action.kind) {
        case Kind::Wait:
            return;
        case Kind::Key: {
            const QKeySequence seq(action.text);
            if (seq.isEmpty() || seq[0].key() == Qt::Key_unknown)
                fail(kUsage, QStringLiteral("unknown key %1").arg(action.text));
            const QKeyCombination c = seq[0];
            QTest::keyClick(keyTarget(window), c.key(), c.keyboardModifiers());
            return;
        }
        case Kind::Type:
            QTest::keyClicks(keyTarget(window), action.text);
            return;
        case Kind::Click:
        case Kind::DoubleClick:
            click(action, window);
            return;
        }
    }

    static QWidget* keyTarget(QWidget* window)
    {
        QWidget* target = QApplication::focusWidget();
        if (target && target->window() == window->window())
            return target;
        target = window->focusWidget();
        return target ? target : window;
    }

    QWidget* findVisible(QWidget* window, const QString& name, const QString& token)
    {
        QList<QWidget*> found;
        if (window->objectName() == name && window->isVisible())
            found << window;
        for (QWidget* w : window->findChildren<QWidget*>(name))
            if (w->isVisible() && w->window() == window->window())
                found << w;
        if (found.size() != 1)
            fail(kUsage, QStringLiteral("%1: %2 visible widget named %3 in %4")
                             .arg(token, found.isEmpty() ? QStringLiteral("no") : QStringLiteral("more than one"),
                                  name, window->objectName()));
        return found.front();
    }

    void click(const harness::Action& action, QWidget* window)
    {
        const bool twice = action.kind == harness::Action::Kind::DoubleClick;
        const QString token = (twice ? QStringLiteral("dclick:") : QStringLiteral("click:")) + action.name;
        QWidget* named = findVisible(window, action.name, token);
        const QPoint at = action.at.value_or(named->rect().center());
        if (!named->rect().contains(at))
            fail(kUsage, QStringLiteral("%1: the point %2,%3 is outside the widget (%4x%5)")
                             .arg(token)
                             .arg(at.x())
                             .arg(at.y())
                             .arg(named->width())
                             .arg(named->height()));
        // The click reaches what the user points at: the topmost widget of
        // the window at that point (a list's viewport, a label over a
        // picture), as a real click would.
        const QPoint inWindow = named->mapTo(window, at);
        QWidget* target = window->childAt(inWindow);
        if (!target)
            target = window;
        const QPoint local = target->mapFrom(window, inWindow);
        QPointer<QWidget> guard(target);
        QTest::mouseMove(target, local);
        if (!guard)
            return;
        QTest::mousePress(target, Qt::LeftButton, {}, local);
        if (!guard)
            return;
        QTest::mouseRelease(target, Qt::LeftButton, {}, local);
        if (!twice || !guard)
            return;
        QTest::mouseDClick(target, Qt::LeftButton, {}, local);
        if (guard)
            QTest::mouseRelease(target, Qt::LeftButton, {}, local);
    }

    QString nextFile(const plat::FileDialogRequest& request, bool save)
    {
        std::deque<QString>& queue = save ? setup_.saves : setup_.opens;
        QString file;
        if (!queue.empty()) {
            file = queue.front();
            queue.pop_front();
        }
        std::fprintf(stderr, "dialog\t%s\t%s\t%s\n", save ? "save" : "open", qPrintable(request.title),
                     file.isEmpty() ? "cancelled" : qPrintable(file));
        return file;
    }

    void driveFileDialog(TFormFile* dialog)
    {
        const bool save = dialog->Mode() == TFormFile::ModeSave;
        std::deque<QString>& queue = save ? setup_.saves : setup_.opens;
        if (queue.empty())
            return; // left to the script's keys and clicks
        const QFileInfo file(queue.front());
        queue.pop_front();
        const QString token = QStringLiteral("configuration-file dialog (%1 %2)")
                                  .arg(save ? QStringLiteral("save") : QStringLiteral("open"), file.filePath());
        std::fprintf(stderr, "dialog\t%s\tconfiguration file\t%s\n", save ? "save" : "open",
                     qPrintable(file.absoluteFilePath()));

        // The make: the fuel folder itself (".") or one of its sub-folders.
        const QString fuel = QDir::cleanPath(QDir(dialog->CurrentFolder()).absolutePath());
        const QString folder = QDir::cleanPath(file.absolutePath());
        int make = -1;
        for (int i = 0; i < dialog->ComboMarca->count(); ++i)
            if (QDir::cleanPath(ConfigMakeFolder(fuel, dialog->ComboMarca->itemText(i))) == folder)
                make = i;
        if (make < 0)
            fail(kUsage, QStringLiteral("%1: the file is not in %2 or one of its make folders").arg(token, fuel));
        if (dialog->ComboMarca->currentIndex() != make) {
            dialog->ComboMarca->setCurrentIndex(make);
            emit dialog->ComboMarca->activated(make);
        }
        if (save) {
            if (file.suffix().compare(QLatin1String(kScriptExtension), Qt::CaseInsensitive) == 0 &&
                dialog->ComboTipoConfig->isEnabled())
                dialog->ComboTipoConfig->setCurrentIndex(1);
            dialog->EditName->setFocus();
            dialog->EditName->selectAll();
            QTest::keyClick(dialog->EditName, Qt::Key_Delete);
            QTest::keyClicks(dialog->EditName, file.completeBaseName());
        } else {
            QTreeWidgetItem* row = nullptr;
            const auto& rows = dialog->Rows();
            for (int i = 0; i < dialog->ListFile->topLevelItemCount() && i < static_cast<int>(rows.size()); ++i)
                if (rows[static_cast<std::size_t>(i)].FileName == file.fileName())
                    row = dialog->ListFile->topLevelItem(i);
            if (!row)
                fail(kUsage, QStringLiteral("%1: the file is not listed (not of the ECU kind's extension %2?)")
                                 .arg(token, dialog->Extension()));
            dialog->ListFile->scrollToItem(row);
            const QPoint at = dialog->ListFile->visualItemRect(row).center();
            QTest::mouseClick(dialog->ListFile->viewport(), Qt::LeftButton, {}, at);
        }
        QTest::mouseClick(dialog->ImageOk, Qt::LeftButton, {}, dialog->ImageOk->rect().center());
    }

    // The normal end: the screenshot and the call log, then the program closes.
    void finish(int status)
    {
        if (finished_)
            return;
        finished_ = true;
        status_ = status;
        if (main_ && StreamDati) {
            std::printf("ECU type %d, %s\n", StreamDati->EcuInfo.EcuType,
                        qPrintable(main_->LabelConfigurazione->text()));
            QWidget* window = top();
            std::printf("window: %s %s\n", window->metaObject()->className(), qPrintable(window->objectName()));
            // What the screen holds, not a fresh rendering: a window that
            // repaints only what changed shows here as it looks.
            QCoreApplication::processEvents();
            QPixmap picture = window->screen() ? window->screen()->grabWindow(window->winId()) : QPixmap();
            if (picture.isNull())
                picture = window->grab();
            if (!setup_.shot.isEmpty()) {
                if (picture.save(setup_.shot, "PNG")) {
                    std::printf("screenshot: %s\n", qPrintable(setup_.shot));
                } else {
                    std::fprintf(stderr, "qz-harness: cannot save %s\n", qPrintable(setup_.shot));
                    status_ = std::max(status_.load(), int(kWriteFailed));
                }
            }
        }
        writeCallLog();
        std::fflush(stdout);
        // The harness keeps nothing: closing must not stop at the
        // save-changes question.
        if (StreamDati)
            StreamDati->Modified = 0;
        QApplication::exit(status_);
    }

    void writeCallLog()
    {
        if (setup_.calls.isEmpty())
            return;
        if (!writeCalls(sim_ ? sim_.load() : simControl(), setup_.calls)) {
            std::fprintf(stderr, "qz-harness: no call log written\n");
            status_ = std::max(status_.load(), int(kWriteFailed));
        }
    }

    // A wrong action: said, the call log written, the run ended at once.
    [[noreturn]] void fail(int status, const QString& why)
    {
        std::fprintf(stderr, "qz-harness: %s\n", qPrintable(why));
        finished_ = true;
        writeCallLog();
        endNow(status);
    }

    // Ends the process where it stands: the program's own code, deep in a
    // modal loop or a retry, must not go on.
    [[noreturn]] static void endNow(int status)
    {
        std::fflush(stdout);
        std::fflush(stderr);
        removeScreenFile();
        ::_exit(status);
    }

    // Outside the program's thread: a program that hangs past its time
    // without asking anything is ended here.
    void watch()
    {
        while (!stopWatch_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (stopWatch_)
                return;
            if (Clock::now() < deadline() + std::chrono::milliseconds(kHangGraceMs))
                continue;
            std::fprintf(stderr, "qz-harness: the program did not come back within %d ms of its time; ended\n",
                         kHangGraceMs);
            // Every call up to now, the ones after the screenshot included.
            if (!setup_.calls.isEmpty() && sim_)
                writeCalls(sim_, setup_.calls);
            endNow(finished_ ? std::max(status_.load(), int(kTimedOut)) : kTimedOut);
        }
    }

    Setup setup_;
    QPointer<TFormMain> main_;
    std::atomic<protovyx::ISimControl*> sim_{nullptr};
    std::size_t next_ = 0;
    bool endScheduled_ = false;
    std::atomic<bool> finished_{false};
    std::atomic<int> status_{kDone};
    std::atomic<Clock::rep> deadline_{0};
    std::atomic<bool> stopWatch_{false};
    std::thread watchdog_;
};

} // namespace

int main(int argc, char* argv[])
{
    plat::ServeLibraryProbe(argc, argv);
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QStringLiteral("--help"))) {
        std::fputs(kHelpHead, stdout);
        for (const QString& line : QString::fromLatin1(harness::CallLogColumns()).split(QLatin1Char('\n')))
            std::printf("                       %s\n", qPrintable(line));
        std::fputs(kHelpTail, stdout);
        return 0;
    }
    const auto usage = [](const QString& why) {
        std::fprintf(stderr, "qz-harness: %s\n", qPrintable(why));
        return int(kUsage);
    };

    Run::Setup setup;
    setup.window = argValue(args, QStringLiteral("--window"), QStringLiteral("main"));
    const QStringList windows{QStringLiteral("main"), QStringLiteral("config"), QStringLiteral("diagnosi"),
                              QStringLiteral("visualizza"), QStringLiteral("taratura")};
    if (!windows.contains(setup.window))
        return usage(QStringLiteral("unknown window %1").arg(setup.window));
    setup.page = argValue(args, QStringLiteral("--page"), QStringLiteral("0")).toInt();
    setup.runMs = std::max(0, argValue(args, QStringLiteral("--run-ms"), QStringLiteral("500")).toInt());
    setup.shot = argValue(args, QStringLiteral("--screenshot"));
    setup.calls = argValue(args, QStringLiteral("--calls"));
    for (const QString& token : argValue(args, QStringLiteral("--keys")).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const harness::ParsedAction parsed = harness::ParseAction(token);
        if (!parsed.action)
            return usage(QStringLiteral("%1: %2").arg(token, parsed.error));
        setup.actions.push_back(*parsed.action);
    }
    const harness::ParsedAnswers answers = harness::ParseAnswers(argValue(args, QStringLiteral("--answers")));
    if (!answers.error.isEmpty())
        return usage(QStringLiteral("--answers: %1").arg(answers.error));
    setup.answers.assign(answers.buttons.begin(), answers.buttons.end());
    // Files as the caller names them, from the caller's folder.
    for (const QString& f : harness::SplitFiles(argValue(args, QStringLiteral("--open"))))
        setup.opens.push_back(QFileInfo(f).absoluteFilePath());
    for (const QString& f : harness::SplitFiles(argValue(args, QStringLiteral("--save"))))
        setup.saves.push_back(QFileInfo(f).absoluteFilePath());
    QString folder = QStringLiteral(QZ_APP_DIR);
    if (args.contains(QStringLiteral("--program-folder"))) {
        folder = argValue(args, QStringLiteral("--program-folder"));
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            return usage(QStringLiteral("--program-folder: %1 is not a folder").arg(folder));
        folder = QFileInfo(folder).absoluteFilePath();
    }

    chooseScreen(argValue(args, QStringLiteral("--size"), QStringLiteral("1280x1024")));
    const QString profile = argValue(args, QStringLiteral("--profile"));
    if (!profile.isEmpty())
        qputenv("PROTOVYX_SIM", profile.toLocal8Bit());

    previousHandler = qInstallMessageHandler(quietHandler);
    TApplication app(argc, argv);
    plat::SetProgramFolder(folder);
    QDir::setCurrent(folder);

    // The settings an installer writes, in memory only.
    plat::testing::FakeSettingsStore settings;
    {
        auto& key = settings.keys[QStringLiteral("\\Software\\") + QString::fromUtf8(qz::RegistrySubkey())];
        key[QStringLiteral("MainPath")] = QStringLiteral("\"\"");
        key[QStringLiteral("LanguageName")] = QStringLiteral("\"\"");
        key[QStringLiteral("ComPort")] = argValue(args, QStringLiteral("--port"), QStringLiteral("1"));
        key[QStringLiteral("Language")] = argValue(args, QStringLiteral("--language"), QStringLiteral("0"));
    }
    Run run(std::move(setup));
    plat::ScopedServices services(plat::Services{.prompts = &run, .settings = &settings});
    plat::ScopedDesktop desktop(plat::DesktopServices{.fileDialogs = &run});

    StartupHooks hooks;
    std::unique_ptr<StartWatch> watch;
    hooks.created = [&](const char* name) {
        if (std::string_view(name) == "FormMain" && FormMain)
            watch = std::make_unique<StartWatch>(FormMain);
    };
    QElapsedTimer started;
    std::function<void()> waitForStart = [&] {
        if (watch && !watch->settled() && !started.hasExpired(kStartTimeoutMs)) {
            QTimer::singleShot(50, waitForStart);
            return;
        }
        if (watch && !watch->settled())
            std::fprintf(stderr, "qz-harness: the program's start is not over after %d ms\n", kStartTimeoutMs);
        if (!FormMain) {
            QApplication::quit();
            return;
        }
        run.begin(FormMain);
    };
    hooks.exec = [&] {
        started.start();
        QTimer::singleShot(50, waitForStart);
        return QApplication::exec();
    };
    StartupOptions options;
    options.offline = args.contains(QStringLiteral("--offline"));
    RunProgram(options, hooks);
    std::fflush(stdout);
    return run.status();
}
