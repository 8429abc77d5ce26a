#pragma once
// The scrambling of configuration files and hex scripts. A scrambled file is
// the header line "ENCRYPTED_MLTP_FILE" CR LF followed by the scrambled bytes
// of the plain text. Every byte is combined with a key byte that depends on its
// position; from the character after a "Prt0" up to the next CR LF the bytes
// are also chained to the plain byte before them and to a counter that runs
// down over the whole file, and such a chained line end is followed by its CR
// LF once more in the simple form.
//
// Everything works on bytes in memory; the plain text never has to touch the
// disk.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qz::files {

// The header word of a scrambled file and of a plain copy.
inline constexpr char kEncryptedHeaderWord[] = "ENCRYPTED_MLTP_FILE";
inline constexpr char kDecryptedHeaderWord[] = "DECRYPTED_MLTP_FILE";
inline constexpr int kHeaderWordLength = 19;
inline constexpr int kHeaderLineLength = kHeaderWordLength + 2; // with CR LF

// A scrambling key is 1 to 49 bytes.
inline constexpr int kMaxFileKeyLength = 49;
bool IsValidFileKey(QByteArrayView key);

// The key byte of body position j.
inline unsigned char ScrambleKeyByte(QByteArrayView key, qsizetype j)
{
    if (key.isEmpty())
        return 0;
    const auto k = static_cast<unsigned char>(key[j % key.size()]);
    return static_cast<unsigned char>(k << (j % 5));
}

// The scrambled file for the plain text: the header line, then the body. A
// plain text whose first word is "DECRYPTED_MLTP_FILE" loses that word and the
// white space after it. The key must be valid (IsValidFileKey); with any other
// key the answer is empty.
QByteArray ScrambleBytes(QByteArrayView plain, QByteArrayView key);

// Where the body of scrambled data starts.
enum class TScrambledSource {
    // A configuration file: when its first word is "ENCRYPTED_MLTP_FILE", the
    // body follows the CR LF after it; otherwise it starts at the first byte.
    File,
    // A built-in set: when the first 19 bytes are "ENCRYPTED_MLTP_FILE", the
    // body starts at byte 21; otherwise at byte 0.
    Resource,
};

// Where the body starts; at most data.size().
qsizetype ScrambledBodyStart(QByteArrayView data, TScrambledSource source);

// The plain text of scrambled data (no header line is added). A body that
// ends inside a repeated line end simply ends there. Empty for an invalid key.
// intact, when given, tells whether the data is whole as the scrambler makes
// it: a header word followed by CR LF, every chained line closed by its CR LF,
// and every chained line end followed by its two repeated bytes, which decode
// to CR LF.
QByteArray DescrambleBytes(QByteArrayView data, QByteArrayView key, TScrambledSource source,
                           bool* intact = nullptr);

// The files' forms. ScrambleFile writes the scrambled form of a plain file;
// DescrambleFile writes the plain copy of a scrambled file, with the line
// "DECRYPTED_MLTP_FILE" CR LF in front; DescrambleResource writes the plain
// form of scrambled data without that line. False when a file cannot be read
// or written, the data is missing or the key is not valid; a target that
// cannot be written keeps its previous contents.
bool ScrambleFile(const QString& plainFileName, const QString& scrambledFileName, QByteArrayView key);
bool DescrambleFile(const QString& scrambledFileName, const QString& plainFileName, QByteArrayView key);
bool DescrambleResource(const QByteArray* data, const QString& plainFileName, QByteArrayView key);

} // namespace qz::files
