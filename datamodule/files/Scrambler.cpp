#include "Scrambler.h"

#include "SaveFile.h"

namespace qz::files {

namespace {

constexpr unsigned char kCR = 0x0D;
constexpr unsigned char kLF = 0x0A;

// White space as the C library's isspace in the "C" locale.
bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The first white-space-delimited word, at most 30 characters, as a formatted
// read of "%30s" finds it: [begin, end) of the word.
struct Word {
    qsizetype begin = 0;
    qsizetype end = 0;
};

Word firstWord(QByteArrayView data)
{
    constexpr qsizetype kMaxWord = 30;
    Word w;
    qsizetype i = 0;
    while (i < data.size() && isSpace(static_cast<unsigned char>(data[i])))
        ++i;
    w.begin = i;
    while (i < data.size() && i - w.begin < kMaxWord && !isSpace(static_cast<unsigned char>(data[i])))
        ++i;
    w.end = i;
    return w;
}

bool wordIs(QByteArrayView data, Word w, const char* text)
{
    return data.sliced(w.begin, w.end - w.begin) == QByteArrayView(text);
}

// The chaining state shared by both directions; it always follows the plain
// bytes.
struct ChainState {
    bool chained = false;
    unsigned char counter = 0;
    unsigned char h1 = 0, h2 = 0, h3 = 0;

    bool startsChain(unsigned char p) const { return h3 == 'P' && h2 == 'r' && h1 == 't' && p == '0'; }
    void shift(unsigned char p)
    {
        h3 = h2;
        h2 = h1;
        h1 = p;
    }
};

} // namespace

bool IsValidFileKey(QByteArrayView key)
{
    return !key.isEmpty() && key.size() <= kMaxFileKeyLength;
}

QByteArray ScrambleBytes(QByteArrayView plain, QByteArrayView key)
{
    if (!IsValidFileKey(key))
        return {};
    qsizetype start = 0;
    const Word w = firstWord(plain);
    if (wordIs(plain, w, kDecryptedHeaderWord)) {
        start = w.end;
        while (start < plain.size() && isSpace(static_cast<unsigned char>(plain[start])))
            ++start;
    }

    QByteArray out;
    out.reserve(kHeaderLineLength + (plain.size() - start) * 9 / 8 + 16);
    out.append(kEncryptedHeaderWord).append("\r\n");

    ChainState s;
    qsizetype j = 0;
    auto put = [&](unsigned char b) { out.append(static_cast<char>(b)); };
    for (qsizetype i = start; i < plain.size(); ++i) {
        const auto p = static_cast<unsigned char>(plain[i]);
        if (!s.chained) {
            put(p ^ ScrambleKeyByte(key, j));
        } else {
            put(p ^ s.h1 ^ s.counter ^ ScrambleKeyByte(key, j));
            --s.counter;
        }
        ++j;
        if (!s.chained) {
            if (s.startsChain(p))
                s.chained = true;
        } else if (s.h1 == kCR && p == kLF) {
            s.chained = false;
            put(kCR ^ ScrambleKeyByte(key, j));
            put(kLF ^ ScrambleKeyByte(key, j + 1));
            j += 2;
        }
        s.shift(p);
    }
    return out;
}

qsizetype ScrambledBodyStart(QByteArrayView data, TScrambledSource source)
{
    if (source == TScrambledSource::Resource) {
        if (data.size() >= kHeaderWordLength && data.first(kHeaderWordLength) == QByteArrayView(kEncryptedHeaderWord))
            return std::min<qsizetype>(kHeaderLineLength, data.size());
        return 0;
    }
    const Word w = firstWord(data);
    if (wordIs(data, w, kEncryptedHeaderWord))
        return std::min<qsizetype>(w.end + 2, data.size());
    return 0;
}

QByteArray DescrambleBytes(QByteArrayView data, QByteArrayView key, TScrambledSource source, bool* intact)
{
    if (intact)
        *intact = false;
    if (!IsValidFileKey(key))
        return {};
    bool whole = true;
    qsizetype i = ScrambledBodyStart(data, source);
    if (i > 0 && data.sliced(i - 2, 2) != QByteArrayView("\r\n"))
        whole = false;
    QByteArray out;
    out.reserve(data.size() - i);

    ChainState s;
    qsizetype j = 0;
    while (i < data.size()) {
        const auto b = static_cast<unsigned char>(data[i++]);
        unsigned char p;
        if (!s.chained) {
            p = b ^ ScrambleKeyByte(key, j);
        } else {
            p = b ^ ScrambleKeyByte(key, j) ^ s.h1 ^ s.counter;
            --s.counter;
        }
        ++j;
        out.append(static_cast<char>(p));
        if (!s.chained) {
            if (s.startsChain(p))
                s.chained = true;
        } else if (s.h1 == kCR && p == kLF) {
            // The repeated line end: decoded in the simple form, not written.
            s.chained = false;
            if (i + 2 > data.size()) {
                whole = false;
                break;
            }
            s.h1 = static_cast<unsigned char>(data[i++]) ^ ScrambleKeyByte(key, j);
            p = static_cast<unsigned char>(data[i++]) ^ ScrambleKeyByte(key, j + 1);
            j += 2;
            if (s.h1 != kCR || p != kLF)
                whole = false;
        }
        s.shift(p);
    }
    // A chained line ends with its CR LF and the two repeated bytes; data
    // that stops inside one was cut.
    if (s.chained)
        whole = false;
    if (intact)
        *intact = whole;
    return out;
}

bool ScrambleFile(const QString& plainFileName, const QString& scrambledFileName, QByteArrayView key)
{
    if (!IsValidFileKey(key))
        return false;
    const TReadResult plain = ReadWholeFile(plainFileName);
    if (!plain.ok())
        return false;
    return SaveFileAtomically(scrambledFileName, ScrambleBytes(plain.data, key));
}

bool DescrambleFile(const QString& scrambledFileName, const QString& plainFileName, QByteArrayView key)
{
    if (!IsValidFileKey(key))
        return false;
    const TReadResult scrambled = ReadWholeFile(scrambledFileName);
    if (!scrambled.ok())
        return false;
    QByteArray plain = QByteArray(kDecryptedHeaderWord) + "\r\n";
    plain += DescrambleBytes(scrambled.data, key, TScrambledSource::File);
    return SaveFileAtomically(plainFileName, plain);
}

bool DescrambleResource(const QByteArray* data, const QString& plainFileName, QByteArrayView key)
{
    if (data == nullptr || plainFileName.isEmpty() || !IsValidFileKey(key))
        return false;
    return SaveFileAtomically(plainFileName, DescrambleBytes(*data, key, TScrambledSource::Resource));
}

} // namespace qz::files
