#include "IniDocument.h"

#include <charconv>
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

QByteArray fold(QByteArrayView v)
{
    QByteArray out(v.data(), v.size());
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

QByteArray oneLine(QByteArrayView v)
{
    QByteArray out(v.data(), v.size());
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
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
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArrayView raw = text.sliced(pos, end - pos);
        pos = end;
        if (pos < text.size()) {
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                pos += 2;
            else
                pos += 1;
        }
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
            if (doc.findSection(name)) {
                report(TIniIssue::DuplicateSection, lineNo);
                current = nullptr;
                inIgnoredSection = true;
            } else {
                current = &doc.addSection(name);
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
        QByteArray folded = fold(key);
        if (current->index.contains(folded)) {
            report(TIniIssue::DuplicateKey, lineNo);
            continue;
        }
        current->index.insert(folded, current->entries.size());
        current->entries.push_back({QByteArray(key.data(), key.size()), QByteArray(value.data(), value.size())});
    }
    return doc;
}

TIniDocument::Section* TIniDocument::findSection(QByteArrayView name)
{
    const auto it = sectionIndex_.constFind(fold(name));
    return it == sectionIndex_.cend() ? nullptr : &sections_[*it];
}

const TIniDocument::Section* TIniDocument::findSection(QByteArrayView name) const
{
    const auto it = sectionIndex_.constFind(fold(name));
    return it == sectionIndex_.cend() ? nullptr : &sections_[*it];
}

TIniDocument::Section& TIniDocument::addSection(QByteArrayView name)
{
    sectionIndex_.insert(fold(name), sections_.size());
    sections_.push_back({QByteArray(name.data(), name.size()), {}, {}});
    return sections_.back();
}

std::optional<QByteArray> TIniDocument::Value(QByteArrayView section, QByteArrayView key) const
{
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->index.constFind(fold(key));
    if (it == s->index.cend())
        return std::nullopt;
    return s->entries[*it].value;
}

void TIniDocument::SetValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    Section* s = findSection(section);
    if (!s)
        s = &addSection(section);
    QByteArray folded = fold(key);
    const auto it = s->index.constFind(folded);
    if (it != s->index.cend()) {
        s->entries[*it].value = oneLine(value);
        return;
    }
    s->index.insert(folded, s->entries.size());
    s->entries.push_back({QByteArray(key.data(), key.size()), oneLine(value)});
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
