#include "Scrambler.h"

#include "SaveFile.h"

#include <algorithm>
#include <array>
#include <cstring>

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
    unsigned char h1 = 0; // the last plain byte

    // The last four plain bytes, the oldest highest: "Prt0" starts a chain.
    std::uint32_t last4 = 0;
    bool startsChain(unsigned char p) const { return ((last4 << 8) | p) == 0x50727430u; }
    void shift(unsigned char p)
    {
        h1 = p;
        last4 = (last4 << 8) | p;
    }
    // The last plain byte becomes c.
    void replaceLast(unsigned char c)
    {
        h1 = c;
        last4 = (last4 & ~0xFFu) | c;
    }
};

// The key bytes of the body positions 0, 1, 2, ... in turn: they repeat
// every 5 L positions (L the key's length, 5 the shifts), so one period is
// worked out once and read round.
class KeyStream {
public:
    explicit KeyStream(QByteArrayView key) : period_(static_cast<std::size_t>(key.size()) * 5)
    {
        for (std::size_t j = 0; j < period_; ++j)
            bytes_[j] = ScrambleKeyByte(key, static_cast<qsizetype>(j));
    }
    // The key byte of the next position.
    unsigned char next()
    {
        const unsigned char b = bytes_[at_];
        if (++at_ == period_)
            at_ = 0;
        return b;
    }
    // to[t] := from[t] XOR the key byte of position t, for t from 0 to n - 1;
    // eight bytes at a time over eight periods, where the words of the key
    // stream repeat.
    void xorFromStart(const unsigned char* from, unsigned char* to, qsizetype n) const
    {
        std::array<unsigned char, kMaxFileKeyLength * 5 * 8> stream;
        const auto block = static_cast<qsizetype>(period_ * 8);
        for (qsizetype at = 0; at < block; at += static_cast<qsizetype>(period_))
            std::memcpy(stream.data() + at, bytes_.data(), period_);
        for (qsizetype t = 0; t < n; t += block) {
            const qsizetype m = std::min(block, n - t);
            qsizetype u = 0;
            for (; u + 8 <= m; u += 8) {
                std::uint64_t word, keyWord;
                std::memcpy(&word, from + t + u, 8);
                std::memcpy(&keyWord, stream.data() + u, 8);
                word ^= keyWord;
                std::memcpy(to + t + u, &word, 8);
            }
            for (; u < m; ++u)
                to[t + u] = from[t + u] ^ stream[static_cast<std::size_t>(u)];
        }
    }

private:
    std::size_t period_;
    std::size_t at_ = 0;
    std::array<unsigned char, kMaxFileKeyLength * 5> bytes_{};
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

    KeyStream k(key);
    ChainState s;
    auto put = [&](unsigned char b) { out.append(static_cast<char>(b)); };
    for (qsizetype i = start; i < plain.size(); ++i) {
        const auto p = static_cast<unsigned char>(plain[i]);
        if (!s.chained) {
            put(p ^ k.next());
        } else {
            put(p ^ s.h1 ^ s.counter ^ k.next());
            --s.counter;
        }
        if (!s.chained) {
            if (s.startsChain(p))
                s.chained = true;
        } else if (s.h1 == kCR && p == kLF) {
            s.chained = false;
            put(kCR ^ k.next());
            put(kLF ^ k.next());
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
    // First every body byte in its simple form, which is the plain byte
    // outside chained lines. The chained lines are then decoded from it, and
    // the text closes up over the repeated line ends: the plain text is never
    // longer than the body.
    const qsizetype n = data.size() - i;
    QByteArray out(n, Qt::Uninitialized);
    auto* x = reinterpret_cast<unsigned char*>(out.data());
    KeyStream(key).xorFromStart(reinterpret_cast<const unsigned char*>(data.data()) + i, x, n);

    // "Prt0", as the last four plain bytes read, the last lowest.
    constexpr std::uint32_t kChainStart = 0x50727430u;

    qsizetype r = 0;           // the next body byte
    qsizetype w = 0;           // the next plain byte
    std::uint32_t last4 = 0;   // the plain bytes before r, the last lowest
    unsigned char counter = 0; // runs down over every chained byte
    bool chainOpen = false;
    while (r < n) {
        // A simple stretch up to the next "Prt0": one that the bytes before r
        // complete, or one that lies in the stretch.
        qsizetype chain = -1;
        for (qsizetype u = r; u < std::min(r + 3, n); ++u) {
            last4 = (last4 << 8) | x[u];
            if (last4 == kChainStart) {
                chain = u + 1;
                break;
            }
        }
        if (chain < 0) {
            const qsizetype q = QByteArrayView(out.constData() + r, n - r).indexOf("Prt0");
            if (q >= 0)
                chain = r + q + 4;
        }
        const qsizetype stretchEnd = chain < 0 ? n : chain;
        std::memmove(x + w, x + r, static_cast<std::size_t>(stretchEnd - r));
        w += stretchEnd - r;
        r = stretchEnd;
        if (chain < 0)
            break;

        // A chained line, up to and with its CR LF.
        unsigned char h1 = x[w - 1];
        bool ended = false;
        while (r < n) {
            const unsigned char p = x[r++] ^ h1 ^ counter--;
            x[w++] = p;
            if (h1 == kCR && p == kLF) {
                ended = true;
                break;
            }
            h1 = p;
        }
        if (!ended) {
            chainOpen = true;
            break;
        }
        // The repeated line end, in the simple form, not written.
        if (r + 2 > n) {
            whole = false;
            break;
        }
        const unsigned char cr = x[r];
        const unsigned char lf = x[r + 1];
        r += 2;
        if (cr != kCR || lf != kLF)
            whole = false;
        // The plain byte before the chained CR and the repeated line end
        // stand before the next stretch.
        last4 = (static_cast<std::uint32_t>(x[w - 3]) << 16) | (static_cast<std::uint32_t>(cr) << 8) | lf;
    }
    out.truncate(w);
    // A chained line ends with its CR LF and the two repeated bytes; data
    // that stops inside one was cut.
    if (chainOpen)
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
    if (!plain.Ok())
        return false;
    return SaveFileAtomically(scrambledFileName, ScrambleBytes(plain.data, key));
}

bool DescrambleFile(const QString& scrambledFileName, const QString& plainFileName, QByteArrayView key)
{
    if (!IsValidFileKey(key))
        return false;
    const TReadResult scrambled = ReadWholeFile(scrambledFileName);
    if (!scrambled.Ok())
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
