#include "IniDocument.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace qz::files {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView trimBlanks(QByteArrayView v)
{
    qsizetype b = 0, e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

QByteArray oneLine(QByteArrayView v)
{
    QByteArray out(v.data(), v.size());
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// The lines of a text one after the other, each without its line end (CR
// LF, a lone LF or a lone CR); line ends are found by the C library's byte
// search.
class Lines {
public:
    explicit Lines(QByteArrayView text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    QByteArrayView next()
    {
        const qsizetype end = endFrom(pos_);
        const QByteArrayView line = text_.sliced(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size())
            pos_ += (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ? 2 : 1;
        return line;
    }

private:
    // The position of the first CR or LF at pos or after it; the text's size
    // when there is none.
    qsizetype endFrom(qsizetype pos)
    {
        if (cr_ < pos)
            cr_ = next('\r', pos);
        if (lf_ < pos)
            lf_ = next('\n', pos);
        return std::min(cr_, lf_);
    }

    qsizetype next(char c, qsizetype pos) const
    {
        const void* at = std::memchr(text_.data() + pos, c, static_cast<std::size_t>(text_.size() - pos));
        return at ? static_cast<const char*>(at) - text_.data() : text_.size();
    }
    QByteArrayView text_;
    qsizetype pos_ = 0;
    qsizetype cr_ = -1;
    qsizetype lf_ = -1;
};

// The lines that are not blank below each "[section]" line, in the order of
// those lines: as many entries as the section can get.
std::vector<std::size_t> linesBelowSections(QByteArrayView text)
{
    std::vector<std::size_t> counts;
    for (Lines lines(text); !lines.atEnd();) {
        const QByteArrayView line = trimBlanks(lines.next());
        if (line.isEmpty())
            continue;
        if (line[0] == '[')
            counts.push_back(0);
        else if (!counts.empty())
            ++counts.back();
    }
    return counts;
}

} // namespace

TIniDocument TIniDocument::Parse(QByteArrayView text, std::vector<TIniIssue>* issues)
{
    TIniDocument doc;
    auto report = [&](TIniIssue::Kind kind, int line) {
        if (issues)
            issues->push_back({kind, line});
    };
    Section* current = nullptr;
    bool inIgnoredSection = false;
    bool seenSection = false;
    int lineNo = 0;
    // Room for every section and its entries from the start.
    const std::vector<std::size_t> sizes = linesBelowSections(text);
    doc.sections_.reserve(sizes.size());
    std::size_t headers = 0;
    for (Lines lines(text); !lines.atEnd();) {
        const QByteArrayView raw = lines.next();
        ++lineNo;

        const QByteArrayView line = trimBlanks(raw);
        if (line.isEmpty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            seenSection = true;
            qsizetype close = line.indexOf(']');
            if (close < 0) {
                report(TIniIssue::UnclosedSection, lineNo);
                close = line.size();
            }
            const QByteArrayView name = trimBlanks(line.sliced(1, close - 1));
            const std::size_t size = headers < sizes.size() ? sizes[headers] : 0;
            ++headers;
            if (doc.findSection(name)) {
                report(TIniIssue::DuplicateSection, lineNo);
                current = nullptr;
                inIgnoredSection = true;
            } else {
                current = &doc.addSection(name);
                current->entries.reserve(size);
                current->index.Reserve(size);
                inIgnoredSection = false;
            }
            continue;
        }
        if (!seenSection)
            report(TIniIssue::TextBeforeSection, lineNo);
        if (!seenSection || inIgnoredSection)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            report(TIniIssue::LineWithoutEquals, lineNo);
            continue;
        }
        const QByteArrayView key = trimBlanks(line.first(eq));
        QByteArrayView value = trimBlanks(line.sliced(eq + 1));
        if (key.isEmpty()) {
            report(TIniIssue::EmptyKey, lineNo);
            continue;
        }
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.sliced(1, value.size() - 2);
        if (current->Find(key)) {
            report(TIniIssue::DuplicateKey, lineNo);
            continue;
        }
        current->entries.push_back({QByteArray(key.data(), key.size()), QByteArray(value.data(), value.size())});
        current->index.Add(current->entries.size() - 1, key);
    }
    return doc;
}

std::uint32_t TNameIndex::Hash(QByteArrayView name, std::uint32_t from)
{
    // FNV-1a over the folded bytes.
    std::uint32_t h = from;
    for (char c : name) {
        h ^= static_cast<unsigned char>(FoldAsciiCase(c));
        h *= 16777619u;
    }
    return h;
}

bool TNameIndex::SameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (FoldAsciiCase(a.data()[i]) != FoldAsciiCase(b.data()[i]))
            return false;
    return true;
}

void TNameIndex::place(Slot slot)
{
    for (std::size_t i = slot.hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i].position == 0) {
            slots_[i] = slot;
            return;
        }
    }
}

void TNameIndex::Reserve(std::size_t names)
{
    std::size_t size = std::max<std::size_t>(16, slots_.size());
    while (size < 2 * names)
        size *= 2;
    if (size == slots_.size())
        return;
    std::vector<Slot> old(size);
    old.swap(slots_);
    for (const Slot& s : old)
        if (s.position != 0)
            place(s);
}

void TNameIndex::AddHashed(std::size_t position, std::uint32_t hash)
{
    if (2 * (used_ + 1) > slots_.size())
        Reserve(std::max<std::size_t>(used_ + 1, slots_.size()));
    place({hash, static_cast<std::uint32_t>(position + 1)});
    ++used_;
}

std::optional<std::size_t> TIniDocument::Section::Find(QByteArrayView key) const
{
    return index.Find(key, [this](std::size_t i) { return QByteArrayView(entries[i].key); });
}

TIniDocument::Section* TIniDocument::findSection(QByteArrayView name)
{
    return const_cast<Section*>(static_cast<const TIniDocument*>(this)->findSection(name));
}

const TIniDocument::Section* TIniDocument::findSection(QByteArrayView name) const
{
    const auto at = sectionIndex_.Find(name, [this](std::size_t i) { return QByteArrayView(sections_[i].name); });
    return at ? &sections_[*at] : nullptr;
}

TIniDocument::Section& TIniDocument::addSection(QByteArrayView name)
{
    sections_.push_back({QByteArray(name.data(), name.size()), {}, {}});
    sectionIndex_.Add(sections_.size() - 1, name);
    return sections_.back();
}

std::optional<QByteArray> TIniDocument::Value(QByteArrayView section, QByteArrayView key) const
{
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto at = s->Find(key);
    if (!at)
        return std::nullopt;
    return s->entries[*at].value;
}

void TIniDocument::SetValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    Section* s = findSection(section);
    if (!s)
        s = &addSection(section);
    if (const auto at = s->Find(key)) {
        s->entries[*at].value = oneLine(value);
        return;
    }
    s->entries.push_back({QByteArray(key.data(), key.size()), oneLine(value)});
    s->index.Add(s->entries.size() - 1, key);
}

QByteArray TIniDocument::Serialize() const
{
    QByteArray out;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first)
            out.append("\r\n");
        first = false;
        out.append('[').append(s.name).append("]\r\n");
        for (const Entry& e : s.entries)
            out.append(e.key).append('=').append(e.value).append("\r\n");
    }
    return out;
}

std::optional<std::int32_t> IniTextToInteger(QByteArrayView text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    int base = 10;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    } else if (p != end && *p == '$') {
        base = 16;
        p += 1;
    }
    // from_chars takes no sign of its own here: the sign was taken above.
    if (p == end || *p == '+' || *p == '-')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [last, ec] = std::from_chars(p, end, magnitude, base);
    if (ec != std::errc() || last != end)
        return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        auto v = static_cast<std::uint32_t>(magnitude);
        if (negative)
            v = 0u - v;
        return static_cast<std::int32_t>(v);
    }
    if (negative) {
        if (magnitude > 2147483648ull)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > 2147483647ull)
        return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}

std::int32_t IniTextToInt(QByteArrayView text) { return IniTextToInteger(text).value_or(0); }

QByteArray IniIntToText(std::int32_t value)
{
    char buf[16];
    const auto [last, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    return QByteArray(buf, last - buf);
}

QByteArray IniRowPart(QByteArrayView text, int first, int count)
{
    if (first < 1)
        first = 1;
    if (count <= 0 || first > text.size())
        return {};
    const qsizetype from = first - 1;
    const qsizetype n = std::min<qsizetype>(count, text.size() - from);
    return QByteArray(text.data() + from, n);
}

} // namespace qz::files
