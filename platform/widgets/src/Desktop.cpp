#include "plat/Desktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QUrl>

namespace plat {

QStringList FilterToNameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        out << parts[i].trimmed() + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

int MailResultFromToolExit(int exitCode)
{
    switch (exitCode) {
    case 0:
        return 0; // the mail program has the message
    case 2:
        return 11; // the attachment does not exist
    default:
        return 2; // no tool, no mail program, or it failed
    }
}

QString SeparatorOfFormat(const QString& format, const QString& fallback)
{
    // A format that spells the month out has no numeric date separator.
    if (format.contains(QLatin1String("MMM")))
        return fallback;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

QString LocaleDateSeparator()
{
    return SeparatorOfFormat(QLocale::system().dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString LocaleTimeSeparator()
{
    return SeparatorOfFormat(QLocale::system().timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

namespace {

void prepare(QFileDialog& d, const FileDialogRequest& r)
{
    d.setWindowTitle(r.title);
    d.setDirectory(r.initialDir);
    const QStringList filters = FilterToNameFilters(r.filter);
    if (!filters.isEmpty()) {
        d.setNameFilters(filters);
        const int i = r.filterIndex - 1;
        if (i >= 0 && i < filters.size())
            d.selectNameFilter(filters[i]);
    }
    d.setDefaultSuffix(r.defaultExt);
    d.setWindowModality(Qt::ApplicationModal);
}

} // namespace

QString QtFileDialogs::getOpenFileName(const FileDialogRequest& r)
{
    QFileDialog d;
    prepare(d, r);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return d.selectedFiles().front();
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& r)
{
    QFileDialog d;
    prepare(d, r);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::DontConfirmOverwrite, !r.overwritePrompt);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return d.selectedFiles().front();
}

bool QtDocumentOpener::open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

int ToolMailer::sendMail(const QString& subject, const QString& attachmentPath)
{
    if (!QFileInfo::exists(attachmentPath))
        return 11;
    QProcess p;
    // An argument list, never a shell command line.
    p.start(QStringLiteral("xdg-email"),
            {QStringLiteral("--subject"), subject, QStringLiteral("--attach"), attachmentPath});
    if (!p.waitForStarted(5000))
        return MailResultFromToolExit(-1);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(1000);
        return 2;
    }
    if (p.exitStatus() != QProcess::NormalExit)
        return 2;
    return MailResultFromToolExit(p.exitCode());
}

DesktopServices& Desktop()
{
    static QtFileDialogs dialogs;
    static QtDocumentOpener opener;
    static ToolMailer mailer;
    static DesktopServices d{&dialogs, &opener, &mailer};
    return d;
}

ScopedDesktop::ScopedDesktop(const DesktopServices& r) : saved_(Desktop())
{
    DesktopServices& d = Desktop();
    if (r.fileDialogs)
        d.fileDialogs = r.fileDialogs;
    if (r.opener)
        d.opener = r.opener;
    if (r.mailer)
        d.mailer = r.mailer;
}

ScopedDesktop::~ScopedDesktop()
{
    Desktop() = saved_;
}

} // namespace plat
