#pragma once
// Damaged copies of a built run-time library whose headers stay intact, so
// the check before mapping passes them: a section zeroed, the code of one
// export overwritten with random bytes. Linux (ELF) only.
#include <elf.h>
#include <link.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace rig {

namespace elf {

using SectionHeader = ElfW(Shdr);

inline auto header(const QByteArray& b) { return reinterpret_cast<const ElfW(Ehdr)*>(b.constData()); }

inline auto sections(const QByteArray& b)
{
    return reinterpret_cast<const ElfW(Shdr)*>(b.constData() + header(b)->e_shoff);
}

inline const SectionHeader* section(const QByteArray& b, std::string_view name)
{
    const ElfW(Shdr)* all = sections(b);
    const char* names = b.constData() + all[header(b)->e_shstrndx].sh_offset;
    for (int i = 0; i < header(b)->e_shnum; ++i)
        if (name == names + all[i].sh_name)
            return &all[i];
    return nullptr;
}

} // namespace elf

// The bytes of a section set to zero; false when there is no such section.
inline bool ZeroSection(QByteArray& library, std::string_view name)
{
    const ElfW(Shdr)* s = elf::section(library, name);
    if (!s || s->sh_type == SHT_NOBITS)
        return false;
    std::memset(library.data() + s->sh_offset, 0, s->sh_size);
    return true;
}

// Where the code of an exported function lies in the file: offset and size.
inline std::optional<std::pair<qsizetype, qsizetype>> ExportCode(const QByteArray& library, std::string_view name)
{
    const ElfW(Shdr)* dynsym = elf::section(library, ".dynsym");
    const ElfW(Shdr)* text = elf::section(library, ".text");
    if (!dynsym || !text)
        return std::nullopt;
    const char* strings = library.constData() + elf::sections(library)[dynsym->sh_link].sh_offset;
    const auto* symbols = reinterpret_cast<const ElfW(Sym)*>(library.constData() + dynsym->sh_offset);
    for (std::size_t i = 0; i < dynsym->sh_size / sizeof(ElfW(Sym)); ++i) {
        const ElfW(Sym)& s = symbols[i];
        if (ELF64_ST_TYPE(s.st_info) != STT_FUNC || name != strings + s.st_name || s.st_size == 0)
            continue;
        if (s.st_value < text->sh_addr || s.st_value + s.st_size > text->sh_addr + text->sh_size)
            return std::nullopt;
        return std::pair{static_cast<qsizetype>(s.st_value - text->sh_addr + text->sh_offset),
                         static_cast<qsizetype>(s.st_size)};
    }
    return std::nullopt;
}

// The code of an exported function replaced with random bytes (the same
// bytes for the same seed); false when the export is not found.
inline bool RandomiseExportCode(QByteArray& library, std::string_view name, quint32 seed)
{
    const auto code = ExportCode(library, name);
    if (!code)
        return false;
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < code->second; ++i)
        library[code->first + i] = static_cast<char>(random.bounded(256));
    return true;
}

} // namespace rig
