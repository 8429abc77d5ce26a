#pragma once
// The INI text of a configuration file, as bytes (8-bit, Windows-1252 where it
// meets the user interface).
//
// Reading: lines end with CR LF, a lone LF or a lone CR; everything before the
// first "[section]" line is ignored (the "DECRYPTED_MLTP_FILE" line of a plain
// copy included), as are blank lines and lines whose first non-blank character
// is ';'. A key line is split at its first '='; key and value lose the blanks
// and tabs around them, and a value enclosed in one pair of matching single or
// double quotes loses them. Sections and keys are matched without regard to
// ASCII case; of duplicates the first wins (a repeated section is ignored
// whole).
//
// Writing: sections and keys keep the order of their first write; writing an
// existing key replaces its value in place. The text is "[Section]" CR LF and
// "key=value" CR LF lines, the bytes as they stand, with one empty line
// between sections. A CR or LF inside a value is written as a blank, so no
// value can ever split a line.
#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace qz::files {

// What a reader passed over; the text is still read as far as it makes sense.
struct TIniIssue {
    enum Kind {
        LineWithoutEquals,   // a line in a section that is neither key nor comment
        EmptyKey,            // "=value"
        UnclosedSection,     // "[name" without ']' (taken as the name)
        DuplicateSection,    // ignored with all its keys
        DuplicateKey,        // ignored
        TextBeforeSection,   // a line before the first section (ignored)
    };
    Kind kind;
    int line; // from 1
};

// A byte without regard to ASCII case: 'A' to 'Z' become 'a' to 'z', every
// other byte stays. How sections and keys are matched.
inline char FoldAsciiCase(char c)
{
    static constexpr auto kFolded = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = static_cast<char>(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
        return t;
    }();
    return kFolded[static_cast<unsigned char>(c)];
}

// Positions in a list of names, found by name without regard to ASCII case.
// The names stay in the list (nameOf(i) gives the i-th); the index keeps
// only a hash and a position per name, so that neither adding nor finding a
// name copies it.
class TNameIndex {
public:
    // The hash of a name without regard to case; a name in parts hashes as
    // the parts one after the other, each continuing from the hash before.
    static constexpr std::uint32_t kHashStart = 2166136261u;
    static std::uint32_t Hash(QByteArrayView name, std::uint32_t from = kHashStart);
    static bool SameName(QByteArrayView a, QByteArrayView b);

    template <typename NameOf>
    std::optional<std::size_t> Find(QByteArrayView name, NameOf nameOf) const
    {
        return FindHashed(Hash(name), [&](std::size_t i) { return SameName(nameOf(i), name); });
    }
    // The position with that hash that same(position) accepts.
    template <typename Same>
    std::optional<std::size_t> FindHashed(std::uint32_t hash, Same same) const
    {
        if (slots_.empty())
            return std::nullopt;
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& s = slots_[i];
            if (s.position == 0)
                return std::nullopt;
            if (s.hash == hash && same(s.position - 1))
                return s.position - 1;
        }
    }
    // Adds position (not yet in the index) under the name nameOf(position),
    // or under its hash.
    void Add(std::size_t position, QByteArrayView name) { AddHashed(position, Hash(name)); }
    void AddHashed(std::size_t position, std::uint32_t hash);
    // Room for that many names in all.
    void Reserve(std::size_t names);

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t position = 0; // the position + 1; 0: free
    };
    void place(Slot slot);
    std::vector<Slot> slots_; // a power of two long, at most half used
    std::size_t used_ = 0;
};

class TIniDocument {
public:
    struct Entry {
        QByteArray key;
        QByteArray value;
    };
    struct Section {
        QByteArray name;
        std::vector<Entry> entries;
        TNameIndex index; // entries by key
        // The entry of key, without regard to ASCII case.
        std::optional<std::size_t> Find(QByteArrayView key) const;
    };

    TIniDocument() = default;

    // Reads INI text. Never fails: what cannot be read is passed over and
    // reported in issues when given.
    static TIniDocument Parse(QByteArrayView text, std::vector<TIniIssue>* issues = nullptr);

    // The value of key in section, or none.
    std::optional<QByteArray> Value(QByteArrayView section, QByteArrayView key) const;
    bool Contains(QByteArrayView section, QByteArrayView key) const { return Value(section, key).has_value(); }

    // Adds or replaces; CR and LF in the value become blanks.
    void SetValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    // The text to store.
    QByteArray Serialize() const;

    const std::vector<Section>& Sections() const { return sections_; }
    bool IsEmpty() const { return sections_.empty(); }

private:
    Section* findSection(QByteArrayView name);
    const Section* findSection(QByteArrayView name) const;
    Section& addSection(QByteArrayView name);

    std::vector<Section> sections_;
    TNameIndex sectionIndex_; // sections by name
};

// The toolkit's integer rule: optional sign, then decimal digits, or
// hexadecimal digits after "0x", "0X" or "$" (up to 32 bits, taken as two's
// complement). None for any other text and for a decimal number outside 32
// bits: the text is no integer.
std::optional<std::int32_t> IniTextToInteger(QByteArrayView text);
// The same, with 0 for a text that is no integer.
std::int32_t IniTextToInt(QByteArrayView text);

// Signed decimal, as the files store integers.
QByteArray IniIntToText(std::int32_t value);

// The part of an 8-bit text from position first (counted from 1) of at most
// count characters; positions and counts outside the text are cut to it.
QByteArray IniRowPart(QByteArrayView text, int first, int count);

} // namespace qz::files
