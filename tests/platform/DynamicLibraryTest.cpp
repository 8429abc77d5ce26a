#include "plat/DynamicLibrary.h"
#include "plat/ProgramFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

TEST(DynamicLibrary, LogicalNamesMapToThisSystemsFileNames)
{
#if defined(Q_OS_WIN)
    EXPECT_EQ(LibraryFileName("ProtoVyx.dll"), "ProtoVyx.dll");
#elif !defined(Q_OS_MACOS)
    EXPECT_EQ(LibraryFileName("ProtoVyx.dll"), "libProtoVyx.so");
    EXPECT_EQ(LibraryFileName("Languages.DLL"), "libLanguages.so");
    EXPECT_EQ(LibraryFileName("SerVyxDL.dll"), "libSerVyxDL.so");
#endif
}

TEST(DynamicLibrary, MissingLibraryIsNullNotACrash)
{
    QTemporaryDir dir;
    SetProgramFolder(dir.path());
    QtLibraryLoader loader;
    EXPECT_EQ(loader.load("NoSuchLibrary.dll"), nullptr);
    SetProgramFolder({});
}

#ifdef Q_OS_LINUX
#include <elf.h>
#include <link.h>

#include <QFile>
#include <cstring>
#include <functional>

// The check before a library is mapped, over edited copies of a real one.
TEST(DynamicLibrary, OnlyWholeElfLibrariesOfThisMachinePass)
{
    QFile built(QStringLiteral(QZ_LANGUAGES_LIBRARY));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    auto header = [](QByteArray& b) { return reinterpret_cast<ElfW(Ehdr)*>(b.data()); };
    auto lastLoad = [&](QByteArray& b) {
        ElfW(Phdr)* last = nullptr;
        auto* ph = reinterpret_cast<ElfW(Phdr)*>(b.data() + header(b)->e_phoff);
        for (int i = 0; i < header(b)->e_phnum; ++i)
            if (ph[i].p_type == PT_LOAD)
                last = &ph[i];
        return last;
    };
    const struct {
        const char* name;
        std::function<void(QByteArray&)> edit;
        bool passes;
    } cases[] = {
        {"the library as built", [](QByteArray&) {}, true},
        {"not ELF", [](QByteArray& b) { b[1] = 'X'; }, false},
        {"another machine", [&](QByteArray& b) { header(b)->e_machine = header(b)->e_machine == EM_AARCH64 ? EM_X86_64 : EM_AARCH64; }, false},
        {"the other class", [](QByteArray& b) { b[EI_CLASS] = sizeof(void*) == 8 ? ELFCLASS32 : ELFCLASS64; }, false},
        {"the other byte order", [](QByteArray& b) { b[EI_DATA] = b[EI_DATA] == ELFDATA2LSB ? ELFDATA2MSB : ELFDATA2LSB; }, false},
        {"a program, not a library", [&](QByteArray& b) { header(b)->e_type = ET_EXEC; }, false},
        {"program headers past the end", [&](QByteArray& b) { header(b)->e_phoff = static_cast<ElfW(Off)>(b.size()); }, false},
        {"a segment past the end", [&](QByteArray& b) { lastLoad(b)->p_filesz = static_cast<ElfW(Xword)>(b.size()); }, false},
        {"cut inside the last segment", [&](QByteArray& b) { b.truncate(static_cast<qsizetype>(lastLoad(b)->p_offset + 1)); }, false},
        {"only the header", [](QByteArray& b) { b.truncate(sizeof(ElfW(Ehdr))); }, false},
        {"empty", [](QByteArray& b) { b.clear(); }, false},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = whole;
        c.edit(bytes);
        const QString file = dir.filePath(QStringLiteral("libEdited.so"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        QString why;
        EXPECT_EQ(IsLoadableLibraryFile(file, &why), c.passes) << why.toStdString();
        EXPECT_EQ(why.isEmpty(), c.passes);
    }
}
#endif
