#include "plat/DynamicLibrary.h"
#include "plat/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace plat {

QString libraryFileName(const QString& logicalName)
{
#ifdef Q_OS_WIN
    return logicalName;
#else
    QString base = logicalName;
    if (base.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        base.chop(4);
#ifdef Q_OS_MACOS
    return QLatin1String("lib") + base + QLatin1String(".dylib");
#else
    return QLatin1String("lib") + base + QLatin1String(".so");
#endif
#endif
}

namespace {

class QtDynamicLibrary final : public DynamicLibrary {
public:
    explicit QtDynamicLibrary(std::unique_ptr<QLibrary> lib) : lib_(std::move(lib)) {}
    ~QtDynamicLibrary() override { lib_->unload(); }
    void* resolve(const char* exportName) override
    {
        return reinterpret_cast<void*>(lib_->resolve(exportName));
    }

private:
    std::unique_ptr<QLibrary> lib_;
};

std::unique_ptr<DynamicLibrary> tryLoad(const QString& fileName)
{
    auto lib = std::make_unique<QLibrary>(fileName);
    // Resolve every symbol at load time: a library that lacks one fails to
    // load at once rather than at its first call.
    lib->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!lib->load())
        return nullptr;
    return std::make_unique<QtDynamicLibrary>(std::move(lib));
}

} // namespace

std::unique_ptr<DynamicLibrary> QtLibraryLoader::load(const QString& logicalName)
{
    const QString file = libraryFileName(logicalName);
    const QString local = QDir(programFolder()).filePath(file);
    if (QFileInfo::exists(local)) {
        if (auto lib = tryLoad(local))
            return lib;
    }
    // QLibrary would try decorated names; give it the exact file name.
    return tryLoad(file);
}

} // namespace plat
