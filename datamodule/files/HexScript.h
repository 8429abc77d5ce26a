#pragma once
// The hex script: the end-of-line export of a configuration, one record per
// line, each setting an ECU item, an element or a table row to a raw value.
// 8-bit text, CR LF line ends, fields separated by one blank, every number in
// upper-case hexadecimal without prefix or leading zeros as an unsigned 32-bit
// value (-40 is FFFFFFD8). The header records C0, L0, T0 and T1 end each field
// with a blank; the data records F0, F1, F3 and F4 have no blank after their
// last value. The finished script is scrambled as a whole under the script key
// and saved in one step.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <span>

namespace qz::files {

// The script key: 48 bytes, none of them zero.
QByteArrayView HexScriptKey();

// The plain script being built, in memory.
class THexScript {
public:
    const QByteArray& Text() const { return text_; }
    // Scrambles the script under key and replaces fileName with it; false when
    // the key is not a valid scrambling key or the file cannot be saved (the
    // previous file then stays as it was).
    bool Save(const QString& fileName, QByteArrayView key = HexScriptKey()) const;

    // The record writers below append here.
    QByteArray& Text() { return text_; }

private:
    QByteArray text_;
};

// The number rule of every field.
QByteArray ScriptHex(std::uint32_t value);

// The element count that an item code carries (bits 12 to 19).
inline int ScriptElementCount(std::uint32_t code)
{
    return static_cast<int>((code >> 12) & 0xFF);
}

// Every writer answers false and writes nothing when script is null.

// "C0": the build's model byte (low 8 bits) and the default customer code
// (low 16 bits).
bool WriteScriptC0(THexScript* script, int customerId, int customerCode);
// "L0": bit 7 of the level-sensor type and the four level thresholds as shown.
bool WriteScriptL0(THexScript* script, bool tipoSensoreBit7, std::span<const int, 4> thresholds);
// "T0" (gas) and "T1" (engine) sensor tables: the point count (the number of
// points given), the first temperature, the step, then the points.
bool WriteScriptT0(THexScript* script, int first, int step, std::span<const int> points);
bool WriteScriptT1(THexScript* script, int first, int step, std::span<const int> points);
// "F0": a single value.
bool WriteScriptF0(THexScript* script, std::uint32_t code, std::int32_t value);
// "F1": one element.
bool WriteScriptF1(THexScript* script, std::uint32_t code, int index, std::int32_t value);
// "F3": the item's values, as many as the code's element count; false, with
// nothing written, when fewer are given.
bool WriteScriptF3(THexScript* script, std::uint32_t code, std::span<const std::int32_t> values);
// "F4": one row of a table, as many values as the code's element count.
bool WriteScriptF4(THexScript* script, std::uint32_t code, int row, std::span<const std::int32_t> values);

} // namespace qz::files
