#include "plat/DynamicLibrary.h"

#include "LibraryFile.h"
#include "plat/ProgramFolder.h"
#include "plat/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <cstring>
#include <vector>

#ifdef Q_OS_LINUX
#include <elf.h>
#include <link.h>
#endif

namespace plat {

QString LibraryFileName(const QString& logicalName)
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

std::unique_ptr<DynamicLibrary> refuseFile(const QString& fileName, const QString& why)
{
    LogRefusedLibrary(fileName, why);
    return nullptr;
}

std::unique_ptr<DynamicLibrary> tryLoad(const QString& fileName, const QString& probeKind)
{
    // A file given by its path is checked before anything maps it.
    QString why;
    if (fileName.contains(u'/') && !IsLoadableLibraryFile(fileName, &why))
        return refuseFile(fileName, why);
    if (!probeKind.isEmpty()) {
        why = CurrentServices().libraryProbe->probe(probeKind, fileName);
        if (!why.isEmpty())
            return refuseFile(fileName, why);
    }
    std::unique_ptr<DynamicLibrary> lib = MapLibraryFile(fileName, &why);
    if (!lib)
        return refuseFile(fileName, why);
    return lib;
}

// The file the loader takes for a logical name: the first one found in the
// program folder, then in the folders of LD_LIBRARY_PATH; else the bare file
// name, for the system's loader to search.
QString locate(const QString& logicalName)
{
    const QString file = LibraryFileName(logicalName);
    const QString local = QDir(ProgramFolder()).filePath(file);
    if (QFileInfo::exists(local))
        return local;
#ifdef Q_OS_LINUX
    // The folders the system's loader would search first, so that the file it
    // would take is checked too.
    const QString paths = qEnvironmentVariable("LD_LIBRARY_PATH");
    for (const QString& folder : paths.split(u':', Qt::SkipEmptyParts)) {
        const QString candidate = QDir(folder).absoluteFilePath(file);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
#endif
    // QLibrary would try decorated names; give it the exact file name.
    return file;
}

} // namespace

void LogRefusedLibrary(const QString& file, const QString& why)
{
    CurrentServices().log->write(QStringLiteral("run-time library %1 refused: %2").arg(file, why));
}

std::unique_ptr<DynamicLibrary> MapLibraryFile(const QString& fileName, QString* why)
{
    auto lib = std::make_unique<QLibrary>(fileName);
    // Resolve every symbol at load time: a library that lacks one fails to
    // load at once rather than at its first call.
    lib->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!lib->load()) {
        if (why)
            *why = lib->errorString();
        return nullptr;
    }
    return std::make_unique<QtDynamicLibrary>(std::move(lib));
}

std::unique_ptr<DynamicLibrary> QtLibraryLoader::load(const QString& logicalName, const QString& probeKind)
{
    // The file found first is the one loaded or refused, as on Windows: a
    // refused file is not replaced by one found further on.
    return tryLoad(locate(logicalName), probeKind);
}

void QtLibraryLoader::prepare(const QString& logicalName, const QString& probeKind)
{
    const QString file = locate(logicalName);
    // A file the check refuses is refused without a probe.
    if (!probeKind.isEmpty() && (!file.contains(u'/') || IsLoadableLibraryFile(file)))
        CurrentServices().libraryProbe->announce(probeKind, file);
}

#ifdef Q_OS_LINUX

namespace {

// The ELF identity of the running program: class, byte order, machine.
struct ElfIdentity {
    unsigned char elfClass = 0;
    unsigned char data = 0;
    int machine = -1; // -1: unknown, not compared
};

const ElfIdentity& ownIdentity()
{
    static const ElfIdentity id = [] {
        ElfIdentity i;
        i.elfClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
        i.data = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB;
        QFile self(QStringLiteral("/proc/self/exe"));
        ElfW(Ehdr) h{};
        if (self.open(QIODevice::ReadOnly) && self.read(reinterpret_cast<char*>(&h), sizeof h) == sizeof h &&
            std::memcmp(h.e_ident, ELFMAG, SELFMAG) == 0)
            i.machine = h.e_machine;
        return i;
    }();
    return id;
}

} // namespace

bool IsLoadableLibraryFile(const QString& fileName, QString* why)
{
    auto refuse = [&](const char* reason) {
        if (why)
            *why = QLatin1String(reason);
        return false;
    };
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return refuse("cannot be opened");
    const auto size = static_cast<quint64>(f.size());
    ElfW(Ehdr) h{};
    if (f.read(reinterpret_cast<char*>(&h), sizeof h) != sizeof h || std::memcmp(h.e_ident, ELFMAG, SELFMAG) != 0)
        return refuse("not an ELF file");
    const ElfIdentity& own = ownIdentity();
    if (h.e_ident[EI_CLASS] != own.elfClass || h.e_ident[EI_DATA] != own.data ||
        h.e_ident[EI_VERSION] != EV_CURRENT || (own.machine >= 0 && h.e_machine != own.machine))
        return refuse("an ELF file of another machine");
    if (h.e_type != ET_DYN)
        return refuse("not a shared object");
    if (h.e_phentsize != sizeof(ElfW(Phdr)) || h.e_phnum == 0 || h.e_phnum == PN_XNUM)
        return refuse("no usable program headers");
    const quint64 tableBytes = quint64{h.e_phnum} * sizeof(ElfW(Phdr));
    if (h.e_phoff < sizeof h || h.e_phoff + tableBytes > size || !f.seek(static_cast<qint64>(h.e_phoff)))
        return refuse("program headers outside the file");
    std::vector<ElfW(Phdr)> headers(h.e_phnum);
    if (f.read(reinterpret_cast<char*>(headers.data()), static_cast<qint64>(tableBytes)) !=
        static_cast<qint64>(tableBytes))
        return refuse("program headers cannot be read");
    int loadable = 0;
    for (const ElfW(Phdr)& ph : headers) {
        if (ph.p_type != PT_LOAD)
            continue;
        ++loadable;
        const quint64 offset = ph.p_offset, length = ph.p_filesz;
        if (offset > size || length > size - offset)
            return refuse("a loadable segment lies past the end of the file");
        if (ph.p_filesz > ph.p_memsz)
            return refuse("a loadable segment larger on file than in memory");
    }
    if (loadable == 0)
        return refuse("no loadable segment");
    return true;
}

#else

bool IsLoadableLibraryFile(const QString&, QString*) { return true; }

#endif

} // namespace plat
