#pragma once
// Desktop services of the shell: file dialogs, opening documents with the
// system's viewer, sending a file by e-mail, and the locale's separators.
#include <QString>
#include <QStringList>

namespace plat {

struct FileDialogRequest {
    QString title;
    QString initialDir;
    // The toolkit's filter form: "text|*.a;*.b|text2|*.c".
    QString filter;
    int filterIndex = 1; // 1-based, as the toolkit counts
    QString defaultExt;  // without the dot
    bool overwritePrompt = false;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file's path; empty when cancelled.
    virtual QString getOpenFileName(const FileDialogRequest& request) = 0;
    virtual QString getSaveFileName(const FileDialogRequest& request) = 0;
};

// "desc|*.a;*.b|desc2|*.c" -> {"desc (*.a *.b)", "desc2 (*.c)"}. A trailing
// description without a pattern is dropped.
QStringList FilterToNameFilters(const QString& filter);

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // Opens the file with the desktop's default program; false when that failed.
    virtual bool open(const QString& path) = 0;
};

// Sends a ready message to the user's mail program: no recipients, no body,
// the subject and one attached file. Returns a Simple-MAPI-style result:
// 0 success, 1 aborted by the user, 2 unspecified failure, 11 attachment not
// found.
class Mailer {
public:
    virtual ~Mailer() = default;
    virtual int sendMail(const QString& subject, const QString& attachmentPath) = 0;
};

// The result of the mail tool mapped by meaning onto the Simple-MAPI results.
// exitCode < 0: the tool could not be started.
int MailResultFromToolExit(int exitCode);

// The separators the user's locale puts between date and between time fields
// ("/" and ":" when the locale's format has none).
QString LocaleDateSeparator();
QString LocaleTimeSeparator();
// The first character of a format that is not a letter, a blank or a quote;
// fallback when there is none or the month is spelled out ("d MMM yyyy").
QString SeparatorOfFormat(const QString& format, const QString& fallback);

// Qt implementations: QFileDialog, QDesktopServices, xdg-email.
class QtFileDialogs final : public FileDialogs {
public:
    QString getOpenFileName(const FileDialogRequest& request) override;
    QString getSaveFileName(const FileDialogRequest& request) override;
};
class QtDocumentOpener final : public DocumentOpener {
public:
    bool open(const QString& path) override;
};
class ToolMailer final : public Mailer {
public:
    int sendMail(const QString& subject, const QString& attachmentPath) override;
};

struct DesktopServices {
    FileDialogs* fileDialogs = nullptr;
    DocumentOpener* opener = nullptr;
    Mailer* mailer = nullptr;
};
// Current desktop services (the Qt ones unless a test replaced them).
DesktopServices& Desktop();

class ScopedDesktop {
public:
    explicit ScopedDesktop(const DesktopServices& replacement);
    ~ScopedDesktop();
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;

private:
    DesktopServices saved_;
};

} // namespace plat
