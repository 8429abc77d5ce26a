#include "HarnessRules.h"

#include <QRegularExpression>
#include <charconv>

namespace harness {

namespace {

std::optional<int> wholeNumber(const QString& text)
{
    const QByteArray latin = text.toLatin1();
    int value = 0;
    const char* end = latin.constData() + latin.size();
    const auto [ptr, ec] = std::from_chars(latin.constData(), end, value);
    if (latin.isEmpty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// NAME or NAME@X,Y.
bool parseTarget(const QString& spec, Action& action, QString& error)
{
    const qsizetype at = spec.indexOf(QLatin1Char('@'));
    action.name = at < 0 ? spec : spec.left(at);
    if (action.name.isEmpty()) {
        error = QStringLiteral("no widget name");
        return false;
    }
    if (at < 0)
        return true;
    const QStringList xy = spec.mid(at + 1).split(QLatin1Char(','));
    const std::optional<int> x = xy.size() == 2 ? wholeNumber(xy[0]) : std::nullopt;
    const std::optional<int> y = xy.size() == 2 ? wholeNumber(xy[1]) : std::nullopt;
    if (!x || !y || *x < 0 || *y < 0) {
        error = QStringLiteral("the point is not X,Y in whole pixels");
        return false;
    }
    action.at = QPoint(*x, *y);
    return true;
}

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else
            out += c;
    }
    return out;
}

void appendDecimal(std::string& out, const std::vector<std::int32_t>& values)
{
    char buffer[16];
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ',';
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, values[i]);
        out.append(buffer, r.ptr);
    }
}

void appendBytes(std::string& out, const std::vector<std::int32_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ' ';
        const auto b = static_cast<unsigned>(bytes[i]) & 0xFFu;
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
}

void appendNumber(std::string& out, std::int64_t value, int base = 10)
{
    char buffer[24];
    if (base == 16) {
        if (value < 0) {
            out += '-';
            value = -value;
        }
        out += "0x";
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    out.append(buffer, r.ptr);
}

bool isWrite(protovyx::Op op)
{
    using protovyx::Op;
    return op == Op::WriteItem || op == Op::WriteValue || op == Op::WriteElement || op == Op::WriteCell ||
           op == Op::WriteRow;
}

} // namespace

ParsedAction ParseAction(const QString& token)
{
    Action action;
    QString error;
    const auto body = [&](QLatin1String prefix) { return token.mid(prefix.size()); };
    if (token.isEmpty())
        return {std::nullopt, QStringLiteral("empty token")};
    if (token.startsWith(QLatin1String("click:"))) {
        action.kind = Action::Kind::Click;
        if (!parseTarget(body(QLatin1String("click:")), action, error))
            return {std::nullopt, error};
    } else if (token.startsWith(QLatin1String("dclick:"))) {
        action.kind = Action::Kind::DoubleClick;
        if (!parseTarget(body(QLatin1String("dclick:")), action, error))
            return {std::nullopt, error};
    } else if (token.startsWith(QLatin1String("type:"))) {
        action.kind = Action::Kind::Type;
        action.text = DecodeTyped(body(QLatin1String("type:")));
        if (action.text.isEmpty())
            return {std::nullopt, QStringLiteral("nothing to type")};
    } else if (token.startsWith(QLatin1String("wait:"))) {
        action.kind = Action::Kind::Wait;
        const std::optional<int> ms = wholeNumber(body(QLatin1String("wait:")));
        if (!ms || *ms < 0)
            return {std::nullopt, QStringLiteral("the wait is not a whole number of milliseconds")};
        action.ms = *ms;
    } else {
        action.kind = Action::Kind::Key;
        action.text = token;
    }
    return {action, {}};
}

QString DecodeTyped(const QString& encoded)
{
    QString out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == QLatin1Char('%') && i + 2 < encoded.size()) {
            const QStringView code = QStringView(encoded).mid(i + 1, 2);
            if (code == QLatin1String("20")) {
                out += QLatin1Char(' ');
                i += 2;
                continue;
            }
            if (code == QLatin1String("25")) {
                out += QLatin1Char('%');
                i += 2;
                continue;
            }
        }
        out += encoded[i];
    }
    return out;
}

namespace {

// Each button: its name in --answers and the answer number it gives.
struct ButtonRow {
    Button button;
    const char* name;
    int answer;
};
constexpr ButtonRow kButtons[] = {
    {Button::Ok, "Ok", plat::IDOK},
    {Button::Yes, "Yes", plat::IDYES},
    {Button::No, "No", plat::IDNO},
    {Button::Cancel, "Cancel", plat::IDCANCEL},
};

const ButtonRow& rowOf(Button button)
{
    for (const ButtonRow& row : kButtons)
        if (row.button == button)
            return row;
    return kButtons[0];
}

} // namespace

std::optional<Button> ButtonOfName(const QString& name)
{
    for (const ButtonRow& row : kButtons)
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return row.button;
    return std::nullopt;
}

QString NameOfButton(Button button) { return QLatin1String(rowOf(button).name); }

std::vector<Button> ButtonsOf(plat::PromptButtons buttons)
{
    switch (buttons) {
    case plat::PromptButtons::Ok:
        return {Button::Ok};
    case plat::PromptButtons::YesNo:
        return {Button::Yes, Button::No};
    case plat::PromptButtons::YesNoCancel:
        return {Button::Yes, Button::No, Button::Cancel};
    }
    return {Button::Ok};
}

int AnswerOf(Button button) { return rowOf(button).answer; }

// Any other answer number is the OK button's.
Button ButtonOfAnswer(int answer)
{
    for (const ButtonRow& row : kButtons)
        if (row.answer == answer)
            return row.button;
    return Button::Ok;
}

ParsedAnswers ParseAnswers(const QString& list)
{
    ParsedAnswers parsed;
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    for (const QString& name : list.split(separators, Qt::SkipEmptyParts)) {
        const std::optional<Button> b = ButtonOfName(name);
        if (!b) {
            parsed.error = QStringLiteral("unknown button \"%1\" (Ok, Yes, No, Cancel)").arg(name);
            parsed.buttons.clear();
            return parsed;
        }
        parsed.buttons.push_back(*b);
    }
    return parsed;
}

QString BoxLine(const plat::PromptRequest& request, Button answer)
{
    return QStringLiteral("box\t") + escaped(request.caption) + QLatin1Char('\t') + escaped(request.text) +
           QLatin1Char('\t') + NameOfButton(answer);
}

QStringList SplitFiles(const QString& list)
{
    QStringList files;
    for (const QString& f : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty())
            files << f.trimmed();
    return files;
}

std::string CallLine(const protovyx::CallRecord& call)
{
    using protovyx::Op;
    std::string line;
    appendNumber(line, static_cast<std::int64_t>(call.seq));
    line += '\t';
    appendNumber(line, call.timeMs);
    line += '\t';
    line += call.name;
    line += '\t';
    // Item codes, commands and blocks in hexadecimal; the size of a firmware
    // image and the numbers of the other calls (port, time-out) in decimal.
    const bool hexCode = call.op != Op::Program && call.op != Op::Other && call.op != Op::Connect &&
                         call.op != Op::DetectEcu && call.op != Op::GetEcuInfo;
    appendNumber(line, call.code, hexCode ? 16 : 10);
    line += '\t';
    if (call.row >= 0)
        appendNumber(line, call.row);
    line += '\t';
    if (call.column >= 0)
        appendNumber(line, call.column);
    line += '\t';
    if (call.op == Op::Program) {
        if (!call.out.empty())
            appendNumber(line, call.out.front());
    } else if (call.op == Op::SendCommand) {
        appendBytes(line, call.in);
        line += " / ";
        appendBytes(line, call.out);
    } else if (call.op == Op::ReadBlock) {
        appendBytes(line, call.out);
    } else if (isWrite(call.op)) {
        appendDecimal(line, call.in);
    } else {
        appendDecimal(line, call.out.empty() ? call.in : call.out);
    }
    line += '\t';
    line += call.result ? "ok" : "fail";
    line += '\t';
    appendNumber(line, call.status);
    return line;
}

const char* CallLogColumns()
{
    return "index, time ms, call, code (item code, command or block in hex; for\n"
           "a firmware download the image size in bytes), row or element, column,\n"
           "values (written values for writes, values read for reads, decimal and\n"
           "comma-separated; SendCommand: the bytes sent / the reply, ReadBlock:\n"
           "the bytes read, in hex; a firmware download: its result code), result\n"
           "(ok/fail), last status; tab-separated, empty where a call has none";
}

} // namespace harness
