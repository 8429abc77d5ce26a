#pragma once
// Whether the bytes of a configuration file may be loaded at all: they must
// be a whole configuration of this system, not a damaged one and not some
// other file. Nothing of a refused file reaches the image or the ECU.
//
// A file is accepted when all of these hold:
//  - the container is whole: a header word "ENCRYPTED_MLTP_FILE" is followed
//    by CR LF, no chained line is still open at the end of the data, and
//    every chained line end of the body is followed by its two repeated
//    bytes, which decode to CR LF (Scrambler.h);
//  - the plain text is text: no byte below 0x20 but TAB, CR and LF, no 0x7F;
//  - the text ends with a line feed, so no line is cut (a last line that
//    ends in a bare CR lost its LF);
//  - the text is INI as the program writes it: every line that is not blank
//    or a comment is a "[section]" line or a "key=value" line with a key, the
//    first of them is a section, and no section or key comes twice;
//  - section "Generale" holds the key "Flag1".
// A file that passes may still lack keys (an older file lacks the newer
// items); the load then takes their defaults and counts them.
#include <QByteArrayView>

namespace qz::files {

class TIniDocument;

enum class TConfigVerdict {
    Accepted,
    Damaged,          // a broken container, or a text cut in the middle of a line
    NotConfiguration, // not text, not INI, or no "Flag1" in "Generale"
};

struct TConfigCheck {
    TConfigVerdict verdict = TConfigVerdict::Accepted;
    const char* reason = ""; // what failed, for the log and the tests
    bool Accepted() const { return verdict == TConfigVerdict::Accepted; }
};

// The plain text of a configuration (descrambled, without the container).
// parsed, when given, gets the text's document once the text is accepted, so
// that a reader parses it once.
TConfigCheck CheckConfigurationText(QByteArrayView plain, TIniDocument* parsed = nullptr);
// A configuration file as stored: descrambled with key, then the text rules.
TConfigCheck CheckConfigurationFile(QByteArrayView data, QByteArrayView key, TIniDocument* parsed = nullptr);

} // namespace qz::files
