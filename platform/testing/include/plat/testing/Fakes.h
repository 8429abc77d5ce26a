#pragma once
// Test doubles of the platform services.
#include "plat/Services.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace plat::testing {

// Virtual time: a sleep advances it at once.
class FakeClock final : public Clock {
public:
    std::uint32_t tickCount() override { return now_; }
    void sleep(std::uint32_t ms) override;
    QDate today() override { return today_; }

    void advance(std::uint32_t ms) { now_ += ms; }
    void setNow(std::uint32_t ms) { now_ = ms; }
    void setToday(QDate d) { today_ = d; }
    // Runs after every sleep, with the time already advanced (a simulated
    // device can change state while the program waits).
    void onSleep(std::function<void(std::uint32_t ms)> hook) { hook_ = std::move(hook); }

    const std::vector<std::uint32_t>& sleeps() const { return sleeps_; }
    std::uint64_t sleptTotal() const;

private:
    std::uint32_t now_ = 1000;
    QDate today_ = QDate(2026, 1, 15);
    std::vector<std::uint32_t> sleeps_;
    std::function<void(std::uint32_t)> hook_;
};

// Scripted answers and a record of every box shown. A box without a scripted
// answer is answered with its default button and counted as unscripted.
class FakePrompts final : public Prompts {
public:
    int ask(const PromptRequest& request) override;

    void script(std::initializer_list<int> answers);
    void script(int answer) { answers_.push_back(answer); }
    // Runs while a box is "shown" (the program's state at that moment).
    void onAsk(std::function<void(const PromptRequest&)> hook) { hook_ = std::move(hook); }

    const std::vector<PromptRequest>& shown() const { return shown_; }
    QStringList texts() const;
    int unscripted() const { return unscripted_; }
    std::size_t pending() const { return answers_.size(); }
    void clear() { shown_.clear(); answers_.clear(); unscripted_ = 0; }

private:
    std::deque<int> answers_;
    std::vector<PromptRequest> shown_;
    int unscripted_ = 0;
    std::function<void(const PromptRequest&)> hook_;
};

// An in-memory settings store: keys by path, values as text like the Linux
// file keeps them. A key can be made to fail opening or writing.
class FakeSettingsStore final : public SettingsStore {
public:
    std::unique_ptr<SettingsKey> openKey(const QString& keyPath) override;

    using Values = std::map<QString, QString>;
    std::map<QString, Values> keys;
    bool failOpen = false;
    QStringList failWrites; // value names whose write fails
    int opens = 0;
};

// Libraries made of symbol tables.
class FakeLibraryLoader final : public LibraryLoader {
public:
    using LibraryLoader::load;
    // The probe kind plays no part: the exports are the test's own functions.
    std::unique_ptr<DynamicLibrary> load(const QString& logicalName, const QString& probeKind) override;

    void add(const QString& logicalName, QHash<QByteArray, void*> exports);
    QStringList loaded;   // logical names, in load order
    QStringList unloaded; // logical names, in unload order

private:
    QHash<QString, QHash<QByteArray, void*>> libs_;
};

// A probe that answers by script (every file passes unless `answer` says
// otherwise) and records what it was asked.
class FakeLibraryProbe final : public LibraryProbe {
public:
    QString probe(const QString& kind, const QString& file) override;
    void announce(const QString& kind, const QString& file) override { announced << kind + u' ' + file; }

    std::function<QString(const QString& kind, const QString& file)> answer;
    QStringList asked;   // "kind file", in order
    QStringList announced; // the same, of the files announced ahead
};

// The log's lines, in order.
class FakeLog final : public Log {
public:
    void write(const QString& line) override { lines << line; }
    QStringList lines;
};

struct RecordedMessage {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool sent; // true: delivered synchronously (SendWindowMessage), false: posted
};

// A window that records the messages it receives, and whether each was sent
// or posted.
class MessageRecorder : public QObject {
public:
    explicit MessageRecorder(QObject* parent = nullptr) : QObject(parent) {}
    bool event(QEvent* e) override;
    std::vector<RecordedMessage> messages;
    std::function<std::intptr_t(const RecordedMessage&)> reply;
};

// Broadcast to a list of recorders.
class FakeWindows final : public WindowList {
public:
    void sendToAll(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<QObject*> windows;
    std::vector<RecordedMessage> broadcast;
};

} // namespace plat::testing
