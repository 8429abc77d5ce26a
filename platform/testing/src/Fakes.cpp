#include "plat/testing/Fakes.h"

#include <numeric>

namespace plat::testing {

void FakeClock::sleep(std::uint32_t ms)
{
    sleeps_.push_back(ms);
    now_ += ms;
    if (hook_)
        hook_(ms);
}

std::uint64_t FakeClock::sleptTotal() const
{
    return std::accumulate(sleeps_.begin(), sleeps_.end(), std::uint64_t{0});
}

int FakePrompts::ask(const PromptRequest& request)
{
    shown_.push_back(request);
    if (hook_)
        hook_(request);
    if (answers_.empty()) {
        ++unscripted_;
        return DefaultAnswerOf(request);
    }
    const int a = answers_.front();
    answers_.pop_front();
    return a;
}

void FakePrompts::script(std::initializer_list<int> answers)
{
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

QStringList FakePrompts::texts() const
{
    QStringList t;
    for (const auto& r : shown_)
        t << r.text;
    return t;
}

namespace {

class FakeKey final : public SettingsKey {
public:
    FakeKey(FakeSettingsStore& store, QString path) : store_(store), path_(std::move(path)) {}

    FakeSettingsStore::Values& values() { return store_.keys[path_]; }

    bool valueExists(const QString& name) override { return values().count(name) != 0; }
    std::optional<QString> readString(const QString& name) override
    {
        auto it = values().find(name);
        if (it == values().end())
            return std::nullopt;
        return it->second;
    }
    std::optional<int> readInteger(const QString& name) override
    {
        auto it = values().find(name);
        if (it == values().end())
            return std::nullopt;
        return ParseDecimalInt(it->second);
    }
    bool writeString(const QString& name, const QString& value) override
    {
        if (store_.failWrites.contains(name))
            return false;
        values()[name] = value;
        return true;
    }
    bool writeInteger(const QString& name, int value) override
    {
        return writeString(name, QString::number(value));
    }
    bool close() override { return true; }

private:
    FakeSettingsStore& store_;
    QString path_;
};

class FakeLibrary final : public DynamicLibrary {
public:
    FakeLibrary(FakeLibraryLoader& loader, QString name, QHash<QByteArray, void*> exports)
        : loader_(loader), name_(std::move(name)), exports_(std::move(exports))
    {
    }
    ~FakeLibrary() override { loader_.unloaded << name_; }
    void* resolve(const char* exportName) override { return exports_.value(QByteArray(exportName)); }

private:
    FakeLibraryLoader& loader_;
    QString name_;
    QHash<QByteArray, void*> exports_;
};

} // namespace

std::unique_ptr<SettingsKey> FakeSettingsStore::openKey(const QString& keyPath)
{
    ++opens;
    if (failOpen)
        return nullptr;
    keys[keyPath]; // opening creates the key
    return std::make_unique<FakeKey>(*this, keyPath);
}

std::unique_ptr<DynamicLibrary> FakeLibraryLoader::load(const QString& logicalName, const QString&)
{
    auto it = libs_.find(logicalName);
    if (it == libs_.end())
        return nullptr;
    loaded << logicalName;
    return std::make_unique<FakeLibrary>(*this, logicalName, it.value());
}

void FakeLibraryLoader::add(const QString& logicalName, QHash<QByteArray, void*> exports)
{
    libs_.insert(logicalName, std::move(exports));
}

QString FakeLibraryProbe::probe(const QString& kind, const QString& file)
{
    asked << kind + u' ' + file;
    return answer ? answer(kind, file) : QString();
}

bool MessageRecorder::event(QEvent* e)
{
    if (e->type() >= QEvent::User && e->type() <= QEvent::MaxUser) {
        auto* m = dynamic_cast<MessageEvent*>(e);
        if (m) {
            RecordedMessage r{m->message(), m->wParam(), m->lParam(), m->wasSent()};
            messages.push_back(r);
            if (reply)
                m->setResult(reply(r));
            return true;
        }
    }
    return QObject::event(e);
}

void FakeWindows::sendToAll(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    broadcast.push_back({message, wParam, lParam, true});
    for (QObject* w : windows)
        SendWindowMessage(w, message, wParam, lParam);
}

} // namespace plat::testing
