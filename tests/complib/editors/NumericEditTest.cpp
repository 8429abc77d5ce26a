#include "complib/editors/NumericEdit.h"
#include "complib/numbers/NumberText.h"

#include "EditorTestSupport.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QSignalSpy>

#include <climits>
#include <ostream>
#include <vector>

namespace {

struct Limits {
    double precision = 0;
    double min = 0;
    double max = 0;
    bool disableLimit = false;
};

void apply(TNumericEdit* e, const Limits& s)
{
    e->SetPrecision(s.precision);
    // Widen first, so that the new limits are taken whatever the old ones were.
    e->SetMinValue(-1e300);
    e->SetMaxValue(s.max);
    e->SetMinValue(s.min);
    e->SetDisableLimit(s.disableLimit);
}

class NumericEditTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        edit = new TNumericEdit(window());
        edit->setGeometry(20, 20, 80, 24);
        other = new QLineEdit(window());
        other->setGeometry(20, 60, 80, 24);
        showWindow();
        other->setFocus(); // the window gave the focus to the first box
    }

    // Focuses the box, replaces its text by typing and returns the text.
    QString typeInto(TNumericEdit* e, const QString& keys)
    {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        type(keys);
        return e->text();
    }

    TNumericEdit* edit = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(NumericEditTest, ConstructorDefaults)
{
    TNumericEdit fresh;
    EXPECT_EQ(fresh.text(), "0");
    EXPECT_EQ(fresh.LastValue(), 0);
    EXPECT_EQ(fresh.Precision(), 0);
    EXPECT_EQ(fresh.MinValue(), 0);
    EXPECT_EQ(fresh.MaxValue(), 0);
    EXPECT_FALSE(fresh.DisableLimit());
    EXPECT_TRUE(fresh.Validation());
    EXPECT_EQ(fresh.DataCode(), -1);
    EXPECT_EQ(fresh.DataIndex(), -1);
    EXPECT_EQ(fresh.NextControl(), nullptr);
    EXPECT_EQ(fresh.PrevControl(), nullptr);
    EXPECT_EQ(fresh.SkinStyle(), asNone);
    EXPECT_FALSE(fresh.UseUnitLabel());
    EXPECT_EQ(fresh.UnitLabel(), nullptr);
}

struct TypingCase {
    Limits setup;
    const char* keys;
    const char* typed;     // the text after typing
    const char* committed; // the text after Enter
};

// "2.25" with precision 0.5, limits 0..0 -> "2.25", Enter -> "2.5".
void PrintTo(const TypingCase& c, std::ostream* os)
{
    *os << '"' << c.keys << "\" with precision " << c.setup.precision << ", limits " << c.setup.min << ".."
        << c.setup.max << (c.setup.disableLimit ? " disabled" : "") << " -> \"" << c.typed << "\", Enter -> \""
        << c.committed << '"';
}

class NumericTypingTest : public NumericEditTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(NumericTypingTest, TypeAndEnter)
{
    const TypingCase& c = GetParam();
    apply(edit, c.setup);
    EXPECT_EQ(typeInto(edit, QString::fromLatin1(c.keys)).toStdString(), c.typed);
    key(Qt::Key_Return);
    EXPECT_EQ(edit->text().toStdString(), c.committed);
    EXPECT_EQ(complib::FormatGeneral(edit->LastValue()), edit->text());
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericTypingTest,
    ::testing::Values(
        // Rounding to Precision, halves up.
        TypingCase{{0.5, 0, 0, false}, "2.25", "2.25", "2.5"}, TypingCase{{0.5, 0, 0, false}, "2.2", "2.2", "2"},
        TypingCase{{0.1, 0, 0, false}, "0.35", "0.35", "0.4"},
        TypingCase{{0.01, 0, 0, false}, "1.005", "1.005", "1.01"},
        TypingCase{{0.1, 0, 0, false}, "0.3", "0.3", "0.3"},
        TypingCase{{1, 0, 0, false}, "-2.5", "-25", "-25"}, // no separator with a whole step
        TypingCase{{0, 0, 0, false}, "3.14159", "3.14159", "3.14159"},
        // A second separator is refused.
        TypingCase{{0.01, 0, 0, false}, "1.2.3", "1.23", "1.23"},
        // Limits: clamping, and the minus sign only where a negative value fits.
        TypingCase{{0, 0, 100, false}, "150", "150", "100"}, TypingCase{{0, 0, 100, false}, "-5", "5", "5"},
        TypingCase{{0, 0, 0, false}, "-35", "-35", "-35"}, // limits 0..0: none
        TypingCase{{0, 10, 20, true}, "35", "35", "35"},    // DisableLimit
        TypingCase{{0, 10, 20, true}, "-4", "-4", "-4"},
        TypingCase{{0, -50, 0, false}, "-60", "-60", "-50"},
        TypingCase{{0, -50, 0, false}, "5", "5", "0"},
        // Only digits, one separator and the minus sign get in.
        TypingCase{{0, 0, 0, false}, "a1b+2 e3", "123", "123"},
        // Nothing typed that is a number: the last value stays.
        TypingCase{{0, 0, 0, false}, "-", "-", "0"}));

TEST_F(NumericEditTest, MinusOnlyAtTheStartAndOnlyOnce)
{
    edit->setFocus();
    edit->setText("5");
    edit->setCursorPosition(1);
    type("-");
    EXPECT_EQ(edit->text(), "5");
    edit->setCursorPosition(0);
    type("-");
    EXPECT_EQ(edit->text(), "-5");
    edit->setCursorPosition(0);
    type("-");
    EXPECT_EQ(edit->text(), "-5");
    // A selection that holds the minus sign may be replaced by one.
    edit->setSelection(0, 2);
    type("-");
    EXPECT_EQ(edit->text(), "-");
    // A selection starting at 0 counts as the caret at 0.
    edit->setText("75");
    edit->setSelection(2, -2); // selected right to left: the caret ends at 0
    type("-");
    EXPECT_EQ(edit->text(), "-");
}

TEST_F(NumericEditTest, DecimalSeparatorOfTheUsersLocale)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    edit->SetPrecision(0.01);
    EXPECT_EQ(typeInto(edit, "2,5"), "2,5");
    // The thousands separator is taken as the decimal separator.
    EXPECT_EQ(typeInto(edit, "3.75"), "3,75");
    // Once only, unless the selection holds it.
    edit->setText("1,5");
    edit->setCursorPosition(3);
    type(",");
    EXPECT_EQ(edit->text(), "1,5");
    edit->setSelection(1, 2);
    type(",");
    EXPECT_EQ(edit->text(), "1,");
    key(Qt::Key_Return);
    EXPECT_EQ(edit->text(), "1");

    edit->SetPrecision(1);
    EXPECT_EQ(typeInto(edit, "4,5.5"), "455");
}

TEST_F(NumericEditTest, SetAsFloatAndGetAsFloat)
{
    apply(edit, {0, 0, 100, false});
    edit->SetAsFloat(-5);
    EXPECT_EQ(edit->text(), "0");
    EXPECT_EQ(edit->LastValue(), 0);
    edit->SetAsFloat(150.25);
    EXPECT_EQ(edit->text(), "100");
    EXPECT_EQ(edit->LastValue(), 100);
    // A text the program put there is clamped when read, and left as it is.
    edit->setText("-5");
    EXPECT_EQ(edit->GetAsFloat(), 0);
    EXPECT_EQ(edit->text(), "-5");

    // The violated limit is shown unrounded; a value inside is rounded.
    apply(edit, {1, 0.5, 99.7, false});
    edit->SetAsFloat(120);
    EXPECT_EQ(edit->text(), "99.7");
    edit->SetAsFloat(42.5);
    EXPECT_EQ(edit->text(), "43");
    EXPECT_EQ(edit->LastValue(), 43);
    edit->SetAsFloat(42.49);
    EXPECT_EQ(edit->text(), "42");

    apply(edit, {1, 0, 0, false});
    edit->SetAsFloat(-2.5);
    EXPECT_EQ(edit->text(), "-2");
    edit->SetAsFloat(-0.2);
    EXPECT_EQ(edit->text(), "0"); // not "-0"

    // Not a number: LastValue, unclamped and unrounded.
    apply(edit, {0, 0, 0, false});
    edit->SetAsFloat(7.25);
    apply(edit, {1, 0, 5, false});
    for (const char* junk : {"", "abc", "inf", "nan", "1e999", "1,5"}) {
        edit->setText(QString::fromLatin1(junk));
        EXPECT_EQ(edit->GetAsFloat(), 7.25) << junk;
    }
}

TEST_F(NumericEditTest, SetAsFloatIgnoresValuesThatAreNoNumbers)
{
    edit->SetAsFloat(12);
    edit->SetAsFloat(std::numeric_limits<double>::quiet_NaN());
    edit->SetAsFloat(std::numeric_limits<double>::infinity());
    EXPECT_EQ(edit->text(), "12");
    EXPECT_EQ(edit->LastValue(), 12);
}

TEST_F(NumericEditTest, GetAsIntegerAndItsLimitRule)
{
    struct {
        Limits setup;
        const char* text;
        double lastValue;
        int returned;
        const char* textAfter;
    } cases[] = {
        // Limits 0..100: one of them is 0, so no limit at all.
        {{0, 0, 100, false}, "150", 0, 150, "150"},
        {{0, 0, 100, false}, "-5", 0, -5, "-5"},
        // Both non-zero: the text shows the limit, the typed value is returned.
        {{0, 10, 100, false}, "150", 0, 150, "100"},
        {{0, 10, 100, false}, "3", 0, 3, "10"},
        {{0, 10, 100, true}, "150", 0, 150, "150"},
        {{0, 10, 100, false}, "50", 0, 50, "50"},
        // Not an integer: LastValue truncated toward zero.
        {{0, 0, 0, false}, "2.5", -7.9, -7, "2.5"},
        {{0, 0, 0, false}, "abc", 7.9, 7, "abc"},
        {{0, 0, 0, false}, "", 1e12, INT_MAX, ""},
    };
    for (const auto& c : cases) {
        apply(edit, {0, 0, 0, false});
        edit->SetAsFloat(c.lastValue);
        apply(edit, c.setup);
        edit->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(edit->GetAsInteger(), c.returned) << c.text;
        EXPECT_EQ(edit->text().toStdString(), c.textAfter) << c.text;
    }
    // A second call returns the limit that the first one put in the text.
    apply(edit, {0, 10, 100, false});
    edit->setText("150");
    EXPECT_EQ(edit->GetAsInteger(), 150);
    EXPECT_EQ(edit->GetAsInteger(), 100);
}

TEST_F(NumericEditTest, SetAsInteger)
{
    apply(edit, {0, 10, 100, false});
    edit->SetAsInteger(5);
    EXPECT_EQ(edit->text(), "10");
    EXPECT_EQ(edit->LastValue(), 10);
    edit->SetAsInteger(55);
    EXPECT_EQ(edit->text(), "55");
    EXPECT_EQ(edit->LastValue(), 55);
    apply(edit, {0, 0, 0, false});
    edit->SetAsInteger(-3);
    EXPECT_EQ(edit->text(), "-3");
    apply(edit, {0, 0.5, 10, false});
    edit->SetAsInteger(0);
    EXPECT_EQ(edit->text(), "0.5"); // the limit, in the floating-point format
}

TEST_F(NumericEditTest, LimitsMayNotCross)
{
    TNumericEdit e;
    e.SetMinValue(10); // MaxValue is 0
    EXPECT_EQ(e.MinValue(), 0);
    e.SetMaxValue(-10); // MinValue is 0
    EXPECT_EQ(e.MaxValue(), 0);
    e.SetMaxValue(100);
    e.SetMinValue(10);
    EXPECT_EQ(e.GetLimit(1), 100);
    EXPECT_EQ(e.GetLimit(2), 10);
    e.SetLimit(1, 5);
    EXPECT_EQ(e.MaxValue(), 100);
    e.SetLimit(2, 100);
    EXPECT_EQ(e.MinValue(), 100); // equal is allowed
    EXPECT_EQ(e.GetLimit(3), 0);
}

TEST_F(NumericEditTest, EnterCommitsThenTheWindowHandlerThenTheFocusMoves)
{
    apply(edit, {0, 0, 100, false});
    auto* next = new TNumericEdit(window());
    next->move(20, 100);
    next->show();
    edit->SetNextControl(next);

    std::vector<std::string> seen;
    QObject::connect(edit, &TNumericEdit::keyPressed, [&](QChar k) {
        if (k == QChar(13)) {
            // The window's handler: the value is committed, the focus still here.
            seen.push_back(edit->text().toStdString());
            EXPECT_EQ(edit->GetAsFloat(), 100);
            EXPECT_TRUE(edit->hasFocus());
            edit->SetAsFloat(99); // what the data module read back
        } else {
            seen.push_back(std::string(1, k.toLatin1()));
        }
    });
    typeInto(edit, "1x50");
    key(Qt::Key_Return);
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "5", "0", "100"}));
    EXPECT_EQ(edit->text(), "99");
    EXPECT_TRUE(next->hasFocus());
    // Leaving keeps the value read back.
    EXPECT_EQ(edit->text(), "99");
    EXPECT_EQ(edit->LastValue(), 99);
}

TEST_F(NumericEditTest, EnterWithoutANextControlSelectsTheText)
{
    typeInto(edit, "42");
    key(Qt::Key_Return);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), "42");
}

TEST_F(NumericEditTest, EscRestoresTheLastValue)
{
    edit->SetAsFloat(20);
    typeInto(edit, "55");
    key(Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "20");
    EXPECT_EQ(edit->selectedText(), "20");
    EXPECT_EQ(edit->LastValue(), 20);
}

TEST_F(NumericEditTest, LeavingWithValidationOnDiscardsTheTyping)
{
    QSignalSpy entered(edit, &TNumericEdit::entered);
    QSignalSpy exited(edit, &TNumericEdit::exited);
    edit->SetAsFloat(20);
    typeInto(edit, "55");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "20");
    EXPECT_EQ(edit->LastValue(), 20);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(exited.count(), 1);
}

TEST_F(NumericEditTest, LeavingWithValidationOffCommitsTheTyping)
{
    edit->SetValidation(false);
    apply(edit, {0.5, 0, 50, false});
    edit->SetAsFloat(20);
    typeInto(edit, "55");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "50");
    EXPECT_EQ(edit->LastValue(), 50);
    typeInto(edit, "7.3");
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(edit->text(), "7.5");
}

TEST_F(NumericEditTest, EnteringTakesTheTextAndShowsItClampedAndRounded)
{
    apply(edit, {1, 0, 100, false});
    edit->setText("42.4");
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "42");
    EXPECT_EQ(edit->LastValue(), 42);
    other->setFocus();
    edit->setText("abc"); // not a number: LastValue stays
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "42");
    EXPECT_EQ(edit->LastValue(), 42);
}

TEST_F(NumericEditTest, PopupsAndOtherWindowsAreNotLeavingTheBox)
{
    QSignalSpy entered(edit, &TNumericEdit::entered);
    QSignalSpy exited(edit, &TNumericEdit::exited);
    edit->SetAsFloat(20);
    typeInto(edit, "55");
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(edit, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(edit, &in);
    }
    EXPECT_EQ(edit->text(), "55");
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(exited.count(), 0);

    // A real second window taking the focus and giving it back.
    QWidget second;
    second.resize(100, 100);
    second.show();
    second.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&second));
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), "55");
    EXPECT_EQ(exited.count(), 0);
    key(Qt::Key_Return);
    EXPECT_EQ(edit->text(), "55");
}

TEST_F(NumericEditTest, PastedTextThatIsNoNumberCommitsTheLastValue)
{
    edit->SetAsFloat(20);
    for (const char* pasted : {"1e999", "inf", "nan", "12abc"}) {
        QApplication::clipboard()->setText(QString::fromLatin1(pasted));
        edit->setFocus();
        edit->selectAll();
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text().toStdString(), pasted);
        key(Qt::Key_Return);
        EXPECT_EQ(edit->text(), "20") << pasted;
        EXPECT_EQ(edit->LastValue(), 20) << pasted;
    }
}

class NumericChainTest : public NumericEditTest {
protected:
    void SetUp() override
    {
        NumericEditTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            auto* e = new TNumericEdit(window());
            e->move(150, 20 + 40 * i);
            e->show();
            chain.push_back(e);
        }
        edit->SetNextControl(chain[0]);
        chain[0]->SetNextControl(chain[1]);
        chain[1]->SetNextControl(chain[2]);
        chain[2]->SetPrevControl(chain[1]);
        chain[1]->SetPrevControl(chain[0]);
        chain[0]->SetPrevControl(edit);
    }
    std::vector<TNumericEdit*> chain;
};

TEST_F(NumericChainTest, DownAndUpWalkTheChainSkippingWhatCannotTakeTheFocus)
{
    chain[0]->setEnabled(false);
    edit->setFocus();
    key(Qt::Key_Down);
    EXPECT_TRUE(chain[1]->hasFocus());
    chain[2]->hide();
    key(Qt::Key_Down); // nothing further: the focus stays
    EXPECT_TRUE(chain[1]->hasFocus());
    key(Qt::Key_Up);
    EXPECT_TRUE(edit->hasFocus()); // past the disabled one
    key(Qt::Key_Up);
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(NumericChainTest, WalksEndOnLoopsAndOnOtherKindsOfControls)
{
    // A loop of editors none of which can take the focus.
    chain[0]->setEnabled(false);
    chain[1]->setEnabled(false);
    chain[1]->SetNextControl(chain[0]);
    EXPECT_EQ(edit->FindNextControl(), nullptr);
    // A loop back to the start.
    chain[1]->SetNextControl(edit);
    EXPECT_EQ(edit->FindNextControl(), nullptr);
    // A disabled control of another kind ends the walk.
    auto* plain = new QLineEdit(window());
    plain->show();
    plain->setEnabled(false);
    chain[1]->SetNextControl(plain);
    EXPECT_EQ(edit->FindNextControl(), nullptr);
    plain->setEnabled(true);
    EXPECT_EQ(edit->FindNextControl(), plain);
}

TEST_F(NumericChainTest, LinksClearThemselvesWhenTheLinkedControlGoes)
{
    delete chain[0];
    EXPECT_EQ(edit->NextControl(), nullptr);
    EXPECT_EQ(chain[1]->PrevControl(), nullptr);
    edit->setFocus();
    key(Qt::Key_Down);
    EXPECT_TRUE(edit->hasFocus());
}

} // namespace
