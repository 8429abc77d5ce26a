#pragma once
// The program's start-up: the build constants, the three long-lived objects
// in their fixed order (the data module, the main window, the configuration
// window), the message loop while the start-up succeeded, and the clean-up.
#include <QApplication>
#include <functional>

class QWidget;
class TFormMain;

struct StartupOptions {
    // Start without connecting (as with Shift held).
    bool offline = false;
};

struct StartupHooks {
    // The configuration window, created hidden after the main window;
    // CreateConfigWindow when not set.
    std::function<QWidget*(TFormMain* main)> createConfigWindow;
    // Told the name of each object right after it is created: "StreamDati",
    // "FormMain", "FormConfig".
    std::function<void(const char* name)> created;
    // Runs the message loop with the main window shown; QApplication::exec
    // when not set.
    std::function<int()> exec;
};

// The configuration window of the program, hidden, in the current
// language, its connect tab working through the main window.
QWidget* CreateConfigWindow(TFormMain* main);

// The options the program understands (--offline); the rest is left to Qt.
StartupOptions ParseStartupOptions(const QStringList& arguments);

// Runs the program in the application object the caller made; returns 0.
// A std::exception escaping the start-up is shown in a message box and ends
// the program.
int RunProgram(const StartupOptions& options, const StartupHooks& hooks = {});

// The application object of the program: an exception that escapes an event
// handler is shown in a message box instead of ending the program.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The message box of an exception that was not handled.
void ShowException(const char* what);
