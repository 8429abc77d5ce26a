// Every page of the configuration window as the screen shows it, for the ECU
// types of the program, in Italian and English, on the screen this binary
// runs on (QZ_TEST_SCREEN): what the user needs is inside its frame and the
// window, the range hint of an editor hides nothing, check boxes and radio
// buttons stand apart from their captions and look alike, the tab captions
// are drawn alike.
#include "PageRig.h"
#include "complib/language/LanguageLibrary.h"
#include "complib/translator/Translator.h"
#include "config/window/FormConfigParts.h"

#include "complib/editors/NumericEdit.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

struct Setting {
    int type;
    int language; // 0 Italian, 1 English
};

void PrintTo(const Setting& s, std::ostream* os) { *os << "type " << s.type << ", language " << s.language; }

std::string settingName(const testing::TestParamInfo<Setting>& info)
{
    return "Type" + std::to_string(info.param.type) + (info.param.language == 0 ? "Italian" : "English");
}

std::string describe(const QRect& r)
{
    std::ostringstream out;
    out << "(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
    return out.str();
}

std::string nameOf(const QWidget* w)
{
    const QString name = w->objectName();
    return (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name).toStdString();
}

// Widgets whose children are their own parts, not controls of the page.
bool isComposite(const QWidget* w)
{
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLabel*>(w);
}

// What a control shows, in the coordinates of `in`: a label its text, any
// other control its whole face.
QRect shownRect(const QWidget* w, const QWidget* in)
{
    QRect face = w->rect();
    if (const auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
        const QRect contents = label->contentsRect();
        const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        face = label->fontMetrics().boundingRect(contents, flags, label->text()) & contents;
    }
    return QRect(w->mapTo(in, face.topLeft()), face.size());
}

// The visible controls under root (composites counted whole), in root's
// coordinates.
void collectControls(QWidget* root, QWidget* w, std::vector<std::pair<QWidget*, QRect>>& out)
{
    for (QObject* o : w->children()) {
        auto* c = qobject_cast<QWidget*>(o);
        if (!c || c->isWindow() || !c->isVisible())
            continue;
        const bool container = !isComposite(c) && !c->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
        if (container)
            collectControls(root, c, out);
        else
            out.emplace_back(c, shownRect(c, root));
    }
}

class GeometryTest : public pagetest::PageRig, public testing::WithParamInterface<Setting> {
protected:
    GeometryTest()
        : PageRig(rig::Options{.profile = "type=" + std::to_string(GetParam().type) + ";warmup=1",
                               .languageLibrary = false})
    {}

    void SetUp() override
    {
        // The language library the program loads, with its languages.
        QLibrary languages(QStringLiteral(QZ_LANGUAGES_LIBRARY));
        ASSERT_TRUE(languages.load()) << languages.errorString().toStdString();
        QHash<QByteArray, void*> exports;
        for (const char* name : {langlib::kMaxLanguagesExport, langlib::kMaxStringsExport, langlib::kLoadStringWExport,
                                 langlib::kLoadStringAExport})
            exports.insert(name, reinterpret_cast<void*>(languages.resolve(name)));
        r.libraries.add(QStringLiteral("Languages.dll"), exports);
        ASSERT_TRUE(r.dm().Translator->LoadDll());
        r.dm().Translator->SetLanguage(GetParam().language);
        // Full screen, as the program shows it.
        openAsTheProgram(cfgwin::PageConfigurazione);
        screen = QGuiApplication::primaryScreen()->geometry();
    }

    // The pages the user can open, each made the active one and laid out.
    std::vector<int> pages() const
    {
        std::vector<int> out;
        for (int p = 0; p < cfgwin::kPageCount; ++p)
            if (w->PageTabVisible(p) && p != cfgwin::PageDiagnosi && p != cfgwin::PageEsci && p != cfgwin::PageConnect)
                out.push_back(p);
        return out;
    }
    // The page as the user first sees it: laid out for what its loading
    // showed and hid.
    void show(int page)
    {
        w->SetActivePage(page, true);
        // With the live values the page shows while the engine runs on gas
        // (the simulated engine switches over after its warm-up second).
        for (int i = 0; i < 3; ++i) {
            r.clock.advance(1000);
            w->TimerDatiTimer();
        }
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCoreApplication::processEvents();
        }
    }

    QRect screen;
};

// Whatever is outside its parent's rectangle is cut off: every visible
// widget under w lies inside the widget it stands on.
void expectInsideParents(const QWidget* w, const std::string& path)
{
    for (const QObject* o : w->children()) {
        const auto* c = qobject_cast<const QWidget*>(o);
        if (!c || c->isWindow() || !c->isVisible())
            continue;
        const std::string name = path + "/" + nameOf(c);
        EXPECT_TRUE(w->rect().contains(c->geometry()))
            << name << " " << describe(c->geometry()) << " is cut by its parent " << describe(w->rect());
        // Nor squeezed below what it needs to show: a label its whole text,
        // a control its least size.
        if (const auto* label = qobject_cast<const QLabel*>(c); label && !label->text().isEmpty()) {
            const QRect contents = label->contentsRect();
            const QRect text = label->fontMetrics().boundingRect(
                QRect(0, 0, contents.width(), 100000), label->wordWrap() ? Qt::TextWordWrap : 0, label->text());
            EXPECT_TRUE(text.width() <= contents.width() && text.height() <= contents.height() + 1)
                << name << " " << describe(contents) << " cuts its text " << label->text().toStdString() << " "
                << describe(text);
        } else if (isComposite(c)) {
            const QSize least = c->minimumSizeHint();
            EXPECT_TRUE(least.width() <= c->width() && least.height() <= c->height())
                << name << " " << describe(c->geometry()) << " is squeezed below " << least.width() << "x"
                << least.height();
        }
        if (!isComposite(c))
            expectInsideParents(c, name);
    }
}

TEST_P(GeometryTest, EveryControlLiesInsideItsFrameAndEveryFrameInsideTheWindow)
{
    for (const int page : pages()) {
        show(page);
        SCOPED_TRACE(cfgwin::PageName(page));
        // (The offscreen platform keeps the widget's own position stale.)
        EXPECT_EQ(describe(w->windowHandle()->geometry()), describe(screen)) << "the window is not the screen";
        // A window larger than its screen is cut at the screen's edge.
        EXPECT_TRUE(w->width() <= screen.width() && w->height() <= screen.height())
            << "the window " << w->width() << "x" << w->height() << " is larger than the screen " << describe(screen);
        QWidget* sheet = w->Page(page);
        EXPECT_TRUE(w->rect().contains(QRect(sheet->mapTo(w.get(), QPoint(0, 0)), sheet->size())))
            << "the page " << describe(QRect(sheet->mapTo(w.get(), QPoint(0, 0)), sheet->size()))
            << " is cut by the window";
        expectInsideParents(sheet, nameOf(sheet));
    }
}

TEST_P(GeometryTest, TheRangeHintOfEveryEditorCoversNoOtherControl)
{
    for (const int page : pages()) {
        show(page);
        QWidget* sheet = w->Page(page);
        SCOPED_TRACE(cfgwin::PageName(page));
        for (TNumericEdit* e : sheet->findChildren<TNumericEdit*>()) {
            if (!e->isVisible() || !e->isEnabled() || e->isReadOnly())
                continue;
            e->setFocus();
            QCoreApplication::processEvents();

            if (!w->LabelLimite->isVisible())
                continue; // an editor without a hint
            const QRect hint(w->LabelLimite->mapTo(sheet, QPoint(0, 0)), w->LabelLimite->size());
            std::vector<std::pair<QWidget*, QRect>> controls;
            collectControls(sheet, sheet, controls);
            for (const auto& [c, rect] : controls) {
                if (c == w->LabelLimite || c == e || !rect.intersects(hint))
                    continue;
                ADD_FAILURE() << nameOf(e) << "'s hint " << w->LabelLimite->text().toStdString() << " "
                              << describe(hint) << " covers " << nameOf(c) << " " << describe(rect);
            }
            // Inside the part of the page it stands in.
            const QWidget* parent = w->LabelLimite->parentWidget();
            EXPECT_TRUE(parent->rect().contains(w->LabelLimite->geometry()))
                << nameOf(e) << "'s hint is cut by " << nameOf(parent);
        }
    }
}

// A check box or radio button with a caption of its own stands as far from
// it as the style keeps a button's text, and every button looks as the
// others do, on a white panel as on a frame.
TEST_P(GeometryTest, ButtonsStandApartFromTheirCaptionsAndLookAlike)
{
    const QAbstractButton* reference = nullptr;
    for (const int page : pages()) {
        show(page);
        SCOPED_TRACE(cfgwin::PageName(page));
        for (const auto& row : TFormConfig::PageBindings(page)) {
            const bool check = std::holds_alternative<TFormConfig::Binding::CheckMember>(row.member);
            const bool radio = std::holds_alternative<TFormConfig::Binding::RadioMember>(row.member);
            if ((!check && !radio) || !row.captionName)
                continue;
            auto* button = w->Control(QString::fromLatin1(row.name));
            auto* caption = w->Control(QString::fromLatin1(row.captionName));
            ASSERT_TRUE(button && caption) << row.name;
            if (!button->isVisible())
                continue;
            const int spacing = button->style()->pixelMetric(
                check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
            const QRect b(button->mapTo(w.get(), QPoint(0, 0)), button->size());
            const QRect c(caption->mapTo(w.get(), QPoint(0, 0)), caption->size());
            EXPECT_GE(c.left() - b.right() - 1, spacing)
                << row.name << " " << describe(b) << " touches " << row.captionName << " " << describe(c);
        }
        for (auto* button : w->Page(page)->findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button)))
                continue;
            if (!reference)
                reference = button;
            for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::WindowText})
                EXPECT_EQ(button->palette().color(QPalette::Active, role).name().toStdString(),
                          reference->palette().color(QPalette::Active, role).name().toStdString())
                    << nameOf(button) << " is drawn unlike " << nameOf(reference) << " (colour role " << role << ")";
        }
    }
}

// The captions of the lambda probes name their wires on one line.
TEST_P(GeometryTest, TheProbeCaptionsStayOnOneLine)
{
    show(cfgwin::PageSensori);
    for (const char* name : {"LabelTipoSonda1", "LabelTipoSonda2"}) {
        auto* label = qobject_cast<QLabel*>(w->Control(QString::fromLatin1(name)));
        ASSERT_NE(label, nullptr) << name;
        ASSERT_TRUE(label->isVisible()) << name;
        const QFontMetrics fm = label->fontMetrics();
        const QRect text = fm.boundingRect(QRect(0, 0, label->contentsRect().width(), 1000),
                                           label->wordWrap() ? Qt::TextWordWrap : 0, label->text());
        EXPECT_LT(text.height(), 2 * fm.lineSpacing()) << name << " breaks: " << label->text().toStdString();
        EXPECT_LE(text.width(), label->contentsRect().width()) << name << " is cut";
    }
}

// The tab bar fits the window, and every page tab draws its caption in the
// same font as the others, on one line, clear of the tab's edges.
TEST_P(GeometryTest, EveryTabCaptionIsDrawnAlikeOnOneLineClearOfItsEdges)
{
    QTabBar* bar = w->PageControl->tabBar();
    std::set<std::string> fonts;
    for (int page = 0; page < bar->count(); ++page) {
        if (!bar->isTabVisible(page))
            continue;
        const QRect rect = bar->tabRect(page);
        const std::string tab = cfgwin::PageName(page);
        EXPECT_LE(bar->mapTo(w.get(), rect.bottomRight()).x(), w->width() - 1) << tab << " lies past the window";
        if (page == cfgwin::PageEsci || page == cfgwin::PageConnect)
            continue;
        const TFormConfig::TabCaption caption = w->TabCaptionOf(page, rect);
        const QFontMetrics fm(caption.font);
        fonts.insert(caption.font.toString().toStdString());
        EXPECT_FALSE(caption.twoLines) << tab << ": " << caption.text.toStdString() << " breaks";
        // A blank's width clear of either edge.
        EXPECT_GE(rect.width() - fm.horizontalAdvance(caption.text), 2 * fm.horizontalAdvance(QLatin1Char(' ')))
            << tab << ": " << caption.text.toStdString() << " touches its edges, " << rect.width() << " wide";
    }
    EXPECT_EQ(fonts.size(), 1u) << "the captions are drawn in " << fonts.size() << " fonts";
}

INSTANTIATE_TEST_SUITE_P(Types, GeometryTest,
                         testing::Values(Setting{30, 0}, Setting{30, 1}, Setting{50, 0}, Setting{50, 1}, Setting{55, 0},
                                         Setting{55, 1}, Setting{79, 0}, Setting{79, 1}),
                         settingName);

} // namespace
