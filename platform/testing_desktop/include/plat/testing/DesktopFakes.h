#pragma once
// Test doubles of the desktop services (link plat_widgets).
#include "plat/Desktop.h"

#include <deque>
#include <vector>

namespace plat::testing {

// Answers file dialogs from a script (an empty text = cancelled) and records
// every request.
class FakeFileDialogs final : public FileDialogs {
public:
    QString getOpenFileName(const FileDialogRequest& r) override { return next(r, false); }
    QString getSaveFileName(const FileDialogRequest& r) override { return next(r, true); }

    void script(const QString& answer) { answers.push_back(answer); }
    struct Shown {
        FileDialogRequest request;
        bool save;
    };
    std::vector<Shown> shown;
    std::deque<QString> answers;

private:
    QString next(const FileDialogRequest& r, bool save)
    {
        shown.push_back({r, save});
        if (answers.empty())
            return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FakeDocumentOpener final : public DocumentOpener {
public:
    bool open(const QString& path) override
    {
        opened << path;
        return result;
    }
    QStringList opened;
    bool result = true;
};

class FakeMailer final : public Mailer {
public:
    int sendMail(const QString& subject, const QString& attachmentPath) override
    {
        sent.push_back({subject, attachmentPath});
        return result;
    }
    struct Mail {
        QString subject;
        QString attachment;
    };
    std::vector<Mail> sent;
    int result = 0;
};

} // namespace plat::testing
