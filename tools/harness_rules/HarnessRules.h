#pragma once
// The harness's plain rules: the script of user actions, the answers to the
// message boxes, the lines it writes for each box and each call to the
// protocol library. No widget here; the harness drives the windows with them.
#include "plat/Prompts.h"
#include "protovyx/Simulator.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace harness {

// One token of --keys.
struct Action {
    enum class Kind {
        Key,         // a key name or combination ("Right", "Ctrl+A"): `text`
        Click,       // click:NAME[@X,Y]
        DoubleClick, // dclick:NAME[@X,Y]
        Type,        // type:TEXT, decoded: `text`
        Wait,        // wait:MS: `ms`
    };
    Kind kind = Kind::Key;
    QString text;             // the key name, or the decoded text to type
    QString name;             // the widget's object name
    std::optional<QPoint> at; // inside the widget; its centre when empty
    int ms = 0;
};

struct ParsedAction {
    std::optional<Action> action;
    QString error; // set when the token is not one the harness knows
};

// "click:ImageOk", "dclick:GridEmissioni@30,12", "type:12.5", "wait:2000",
// or a key name. Whether a key name is a real key is the caller's to check.
ParsedAction ParseAction(const QString& token);

// The blanks of the --keys list separate tokens; inside type: a blank is
// written %20 and a percent sign %25. Every other character stands for
// itself, "%" followed by anything else included.
QString DecodeTyped(const QString& encoded);

// The buttons a box of the program can have, by the names --answers takes.
enum class Button { Ok, Yes, No, Cancel };

std::optional<Button> ButtonOfName(const QString& name);
QString NameOfButton(Button button);
// The buttons a box shows, in their order on the box.
std::vector<Button> ButtonsOf(plat::PromptButtons buttons);
// The answer number the program compares (IDOK, IDYES, ...).
int AnswerOf(Button button);
Button ButtonOfAnswer(int answer);

struct ParsedAnswers {
    std::vector<Button> buttons;
    QString error;
};
// "Yes,No,Ok" (commas or blanks between them; names in any letter case).
ParsedAnswers ParseAnswers(const QString& list);

// box<TAB>title<TAB>text<TAB>button, line breaks written \n, tabs \t and
// backslashes \\, so that one box is one line.
QString BoxLine(const plat::PromptRequest& request, Button answer);

// The files of --open and --save: comma-separated.
QStringList SplitFiles(const QString& list);

// One line of the call log, without its line end:
// index, time ms, call, code, row or element, column, values, result,
// last status; tab-separated. Empty fields where a call has no row or
// column. See CallLogColumns().
std::string CallLine(const protovyx::CallRecord& call);
// The columns, for --help.
const char* CallLogColumns();

} // namespace harness
