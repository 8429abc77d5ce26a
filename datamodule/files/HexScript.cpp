#include "HexScript.h"

#include "SaveFile.h"
#include "Scrambler.h"

#include <charconv>

namespace qz::files {

namespace {

// Held whole in the program; no byte is zero.
constexpr unsigned char kHexScriptKey[48] = {
    0xAE, 0x45, 0xCA, 0xDA, 0xBF, 0x9D, 0x88, 0x2D, 0xE1, 0x7A, 0x2E, 0x7F, 0x6E, 0x19, 0x70, 0xD6,
    0xF8, 0xC1, 0x20, 0xE6, 0x70, 0x54, 0x5A, 0xA7, 0x9B, 0x84, 0x9E, 0xD6, 0xC2, 0x2B, 0xA5, 0xCE,
    0x3B, 0xE8, 0x0B, 0x5F, 0xE5, 0x28, 0xE8, 0xB0, 0xC1, 0x8C, 0x72, 0x21, 0x52, 0x93, 0xDD, 0x04,
};

void field(QByteArray& out, std::uint32_t value)
{
    out.append(ScriptHex(value)).append(' ');
}

void endLine(QByteArray& out)
{
    out.append("\r\n");
}

// A data record: its number (F0 = 240 ...) with a blank, then the fields
// separated by blanks, no blank after the last.
void dataRecord(QByteArray& out, std::uint32_t name, std::span<const std::uint32_t> fields,
                std::span<const std::int32_t> values)
{
    field(out, name);
    bool first = true;
    auto sep = [&] {
        if (!first)
            out.append(' ');
        first = false;
    };
    for (std::uint32_t f : fields) {
        sep();
        out.append(ScriptHex(f));
    }
    for (std::int32_t v : values) {
        sep();
        out.append(ScriptHex(static_cast<std::uint32_t>(v)));
    }
    endLine(out);
}

bool sensorTable(THexScript* script, const char* name, int first, int step, std::span<const int> points)
{
    if (!script)
        return false;
    QByteArray& out = script->Text();
    out.append(name).append(' ');
    field(out, static_cast<std::uint32_t>(points.size()));
    field(out, static_cast<std::uint32_t>(first));
    field(out, static_cast<std::uint32_t>(step));
    for (int p : points)
        field(out, static_cast<std::uint32_t>(p));
    endLine(out);
    return true;
}

} // namespace

QByteArrayView HexScriptKey()
{
    return QByteArrayView(reinterpret_cast<const char*>(kHexScriptKey), sizeof kHexScriptKey);
}

QByteArray ScriptHex(std::uint32_t value)
{
    char buf[8];
    const auto [last, ec] = std::to_chars(buf, buf + sizeof buf, value, 16);
    (void)ec;
    QByteArray out(buf, last - buf);
    for (char& c : out)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool THexScript::Save(const QString& fileName, QByteArrayView key) const
{
    if (!IsValidFileKey(key))
        return false;
    return SaveFileAtomically(fileName, ScrambleBytes(text_, key));
}

bool WriteScriptC0(THexScript* script, int customerId, int customerCode)
{
    if (!script)
        return false;
    QByteArray& out = script->Text();
    out.append("C0 ");
    field(out, static_cast<std::uint32_t>(customerId) & 0xFF);
    field(out, static_cast<std::uint32_t>(customerCode) & 0xFFFF);
    endLine(out);
    return true;
}

bool WriteScriptL0(THexScript* script, bool tipoSensoreBit7, std::span<const int, 4> thresholds)
{
    if (!script)
        return false;
    QByteArray& out = script->Text();
    out.append("L0 ");
    field(out, tipoSensoreBit7 ? 1 : 0);
    for (int t : thresholds)
        field(out, static_cast<std::uint32_t>(t));
    endLine(out);
    return true;
}

bool WriteScriptT0(THexScript* script, int first, int step, std::span<const int> points)
{
    return sensorTable(script, "T0", first, step, points);
}

bool WriteScriptT1(THexScript* script, int first, int step, std::span<const int> points)
{
    return sensorTable(script, "T1", first, step, points);
}

bool WriteScriptF0(THexScript* script, std::uint32_t code, std::int32_t value)
{
    if (!script)
        return false;
    const std::int32_t v[] = {value};
    const std::uint32_t f[] = {code};
    dataRecord(script->Text(), 0xF0, f, v);
    return true;
}

bool WriteScriptF1(THexScript* script, std::uint32_t code, int index, std::int32_t value)
{
    if (!script)
        return false;
    const std::int32_t v[] = {value};
    const std::uint32_t f[] = {code, static_cast<std::uint32_t>(index)};
    dataRecord(script->Text(), 0xF1, f, v);
    return true;
}

bool WriteScriptF3(THexScript* script, std::uint32_t code, std::span<const std::int32_t> values)
{
    const auto n = static_cast<std::size_t>(ScriptElementCount(code));
    if (!script || values.size() < n)
        return false;
    const std::uint32_t f[] = {code};
    dataRecord(script->Text(), 0xF3, f, values.first(n));
    return true;
}

bool WriteScriptF4(THexScript* script, std::uint32_t code, int row, std::span<const std::int32_t> values)
{
    const auto n = static_cast<std::size_t>(ScriptElementCount(code));
    if (!script || values.size() < n)
        return false;
    const std::uint32_t f[] = {code, static_cast<std::uint32_t>(row)};
    dataRecord(script->Text(), 0xF4, f, values.first(n));
    return true;
}

} // namespace qz::files
