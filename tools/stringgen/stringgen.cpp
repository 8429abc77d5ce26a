// Build-time generator of the string tables. Reads one text file per language
// ("number<TAB>text" lines in UTF-8; "#" comment lines and blank lines are
// skipped; in the text \n is a line break, \t a tab and \\ a backslash) and
// writes a C++ source that defines one qz::strings::StringTable.
//
//   stringgen --out FILE.cpp --symbol NAME [--stride N] LANG0.txt [LANG1.txt ...]
//
// String n of the k-th file gets the id n + k x stride. Every number must lie
// below the stride and appear once per file; a text may hold at most 254
// characters. Any fault stops the build with a message naming file and line.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <charconv>
#include <cstdlib>

namespace {

constexpr std::size_t kMaxChars = 254;

[[noreturn]] void fail(const std::string& where, const std::string& what)
{
    std::cerr << where << ": error: " << what << "\n";
    std::exit(1);
}

// UTF-8 to UTF-16; false on malformed input.
bool toUtf16(const std::string& in, std::u16string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size();) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        std::uint32_t cp = 0;
        std::size_t n = 0;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; n = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; n = 4; }
        else return false;
        if (i + n > in.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return true;
}

std::string unescape(const std::string& text, const std::string& where)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 1 >= text.size())
            fail(where, "a backslash ends the text");
        const char e = text[++i];
        switch (e) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case '\\': out.push_back('\\'); break;
        default: fail(where, std::string("unknown escape \\") + e);
        }
    }
    return out;
}

void readLanguage(const std::string& path, std::uint32_t base, std::uint32_t stride,
                  std::map<std::uint32_t, std::u16string>& table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail(path, "cannot be read");
    std::map<std::uint32_t, bool> seen;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = path + ":" + std::to_string(lineNo);
        if (!line.empty() && line.back() == '\r')
            fail(where, "CR LF line end (the file must use LF)");
        if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            fail(where, "no tab between number and text");
        std::uint32_t number = 0;
        const char* first = line.data();
        const char* last = line.data() + tab;
        auto [ptr, ec] = std::from_chars(first, last, number);
        if (ec != std::errc() || ptr != last || first == last)
            fail(where, "the number is not a decimal number");
        if (number >= stride)
            fail(where, "number " + std::to_string(number) + " is not below " + std::to_string(stride));
        if (seen[number])
            fail(where, "number " + std::to_string(number) + " appears twice");
        seen[number] = true;
        std::u16string text;
        if (!toUtf16(unescape(line.substr(tab + 1), where), text))
            fail(where, "the text is not UTF-8");
        if (text.empty())
            fail(where, "empty text");
        if (text.size() > kMaxChars)
            fail(where, "text longer than 254 characters");
        table[base + number] = text;
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string out, symbol;
    std::uint32_t stride = 0x10000;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--symbol" && i + 1 < argc) symbol = argv[++i];
        else if (a == "--stride" && i + 1 < argc) {
            const std::string s = argv[++i];
            auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), stride);
            if (ec != std::errc() || p != s.data() + s.size() || stride == 0)
                fail("stringgen", "bad --stride " + s);
        } else inputs.push_back(a);
    }
    if (out.empty() || symbol.empty() || inputs.empty())
        fail("stringgen", "usage: stringgen --out FILE.cpp --symbol NAME [--stride N] LANG0.txt ...");

    std::map<std::uint32_t, std::u16string> table;
    for (std::size_t k = 0; k < inputs.size(); ++k)
        readLanguage(inputs[k], static_cast<std::uint32_t>(k) * stride, stride, table);

    std::ostringstream s;
    s << "// Generated by stringgen from";
    for (const auto& f : inputs)
        s << " " << f.substr(f.find_last_of('/') + 1);
    s << ". Do not edit.\n#include \"resources/strings_format/StringTable.h\"\n\nnamespace qz::strings {\nnamespace {\n";
    s << "const char16_t kText[] = {";
    std::size_t n = 0;
    for (const auto& [id, text] : table) {
        for (char16_t c : text) {
            s << (n++ % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(c) << ",";
        }
    }
    s << "\n    0};\nconst StringEntry kEntries[] = {\n";
    std::size_t offset = 0;
    for (const auto& [id, text] : table) {
        s << "    {" << id << "u, " << offset << "u, " << text.size() << "u},\n";
        offset += text.size();
    }
    s << "};\n} // namespace\n\n";
    s << "extern const StringTable " << symbol << ";\n";
    s << "const StringTable " << symbol << "{kEntries, " << table.size() << "u, kText};\n\n} // namespace qz::strings\n";

    // Rewrite only on change, so an unchanged table does not rebuild.
    {
        std::ifstream old(out, std::ios::binary);
        std::stringstream prev;
        prev << old.rdbuf();
        if (old && prev.str() == s.str())
            return 0;
    }
    std::ofstream o(out, std::ios::binary | std::ios::trunc);
    o << s.str();
    if (!o)
        fail(out, "cannot be written");
    return 0;
}
