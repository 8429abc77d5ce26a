// The configuration window's sizing and tabs: the window kept on its screen,
// the room its pages' grids take, the tab bar and the drawing of its tabs.
#include "FormConfig.h"
#include "FormConfigParts.h"
#include "PageWidgets.h"
#include "config/window/pages/PageCorrezioni.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageMappa.h"
#include "config/window/pages/PageTemp.h"
#include "config/window/pages/PageVariatore.h"

#include "plat/Colors.h"
#include "plat/Controls.h"
#include "plat/PictureButton.h"
#include "plat/ScreenScale.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

namespace {

constexpr int kPictureConnected = 10043;
constexpr int kPictureDisconnected = 10044;

} // namespace

// ---------------------------------------------------------------------------
// Sizing and tabs

bool TFormConfig::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    // The window's layout has just taken its pages' least sizes.
    if (event->type() == QEvent::LayoutRequest)
        returnToScreen();
    return handled;
}

void TFormConfig::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormConfig::FormResize()
{
    if (!PageControl)
        return;
    const int screenHeight = WindowScreenHeight();
    static_cast<TConfigTabBar*>(PageControl->tabBar())->SetTabHeight(cfgwin::TabHeight(screenHeight));
    Page(ActivePage())->update();

    // The grids of the Emissioni page with their shapes and title, and the
    // map-K grid with its axis shapes and titles.
    Page<TPageEmissioni>().LayoutEmissioniGrids();
    Page<TPageMappa>().LayoutMappaGrid();
    // The grids of the Correzioni, Temperatura and Variatore pages (also when
    // those pages change size, eventFilter).
    Page<TPageCorrezioni>().FitCorrezioniGrids();
    Page<TPageTemp>().FitTempGrid();
    Page<TPageVariatore>().FitVariatoreGrid();
    returnToScreen();
}

void TFormConfig::returnToScreen()
{
    // A page whose least size grew for a moment (a caption or a live value
    // wider than before its grids were refitted) pushes the window past its
    // screen, and the push takes the window out of full screen; once the
    // grids fit again, the window is full screen again.
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s || !isVisible() || width() <= s->size().width())
        return;
    QTimer::singleShot(0, this, [this] {
        QScreen* now = screen() ? screen() : QGuiApplication::primaryScreen();
        if (!now || width() <= now->size().width() || minimumSizeHint().width() > now->size().width())
            return;
        resize(now->size().width(), height());
        setWindowState(windowState() | Qt::WindowFullScreen);
    });
}

// ---------------------------------------------------------------------------
// Shared by the grid fitting of the Correzioni, Temperatura and Variatore
// pages.

int TFormConfig::FramedGridWidth(QWidget* page, bool besideFirstColumn, int pageWidth)
{
    auto* grid = static_cast<QGridLayout*>(page->layout());
    const QMargins margins = grid->contentsMargins();
    // A frame's margins and outline around its grid.
    constexpr int kFrame = 2 * 10 + 2;
    int width = pageWidth - margins.left() - margins.right() - kFrame;
    if (besideFirstColumn) {
        // The groups of the first column's top two rows (not those that
        // reach across the page).
        int left = 0;
        for (int i = 0; i < grid->count(); ++i) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            if (column == 0 && columnSpan == 1 && row <= 1)
                left = std::max(left, grid->itemAt(i)->sizeHint().width());
        }
        width -= left + grid->horizontalSpacing();
    }
    return width;
}

int TFormConfig::PageRoomWidth(const QWidget* page) const
{
    // A window on the screen wider than the screen is cut at its edge: its
    // pages have only what the screen shows of them.
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int beyond = s && isVisible() ? width() - s->size().width() : 0;
    return page->width() - std::max(0, beyond);
}

int TFormConfig::WindowScreenHeight() const
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->size().height() : 768;
}

TConfigTabBar::TConfigTabBar(TFormConfig* form) : QTabBar(form), form_(form)
{
    setObjectName(QStringLiteral("PageControlTabs"));
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setExpanding(false);
    setDrawBase(false);
    // The tabs are sized to fit the bar whole.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
}

void TConfigTabBar::SetTabHeight(int height)
{
    if (height == tabHeight_)
        return;
    tabHeight_ = height;
    updateGeometry();
    update();
}

int TConfigTabBar::VisibleIndex(int index) const
{
    if (!isTabVisible(index))
        return -1;
    int n = 0;
    for (int i = 0; i < index; ++i)
        if (isTabVisible(i))
            ++n;
    return n;
}

QFont TConfigTabBar::SmallerFont(QFont font)
{
    // Two points smaller (a font sized in pixels: by a fifth of its size).
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, font.pixelSize() - font.pixelSize() * 2 / 10));
    else
        font.setPointSizeF(std::max(1.0, font.pointSizeF() - 2));
    return font;
}

int TConfigTabBar::NaturalWidth(int index) const
{
    const QFontMetrics fm(font());
    if (index == cfgwin::PageConnect)
        return tabHeight_;
    const QString caption = tabText(index).trimmed();
    if (index == cfgwin::PageEsci)
        return fm.horizontalAdvance(caption) + tabHeight_ + 8;
    return std::max(fm.horizontalAdvance(caption), fm.horizontalAdvance(QStringLiteral("F12"))) + 14;
}

cfgwin::TabNeeds TConfigTabBar::Needs(int index) const
{
    const int natural = NaturalWidth(index);
    if (index == cfgwin::PageConnect || index == cfgwin::PageEsci)
        return {natural, natural, natural};
    // The caption and its number, a blank's width clear of either edge.
    const auto least = [this, index](const QFont& font) {
        const QFontMetrics fm(font);
        return std::max(fm.horizontalAdvance(tabText(index).trimmed()), fm.horizontalAdvance(QStringLiteral("F12"))) +
               2 * fm.horizontalAdvance(QLatin1Char(' '));
    };
    return {natural, least(font()), least(SmallerFont(font()))};
}

cfgwin::TabBarLayout TConfigTabBar::Layout(std::vector<int>* pages) const
{
    std::vector<cfgwin::TabNeeds> needs;
    int exit = -1, connect = -1;
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i))
            continue;
        if (i == cfgwin::PageEsci)
            exit = static_cast<int>(needs.size());
        if (i == cfgwin::PageConnect)
            connect = static_cast<int>(needs.size());
        needs.push_back(Needs(i));
        if (pages)
            pages->push_back(i);
    }
    const int total = parentWidget() ? parentWidget()->width() : width();
    return cfgwin::LayoutTabBar(needs, exit, connect, total - 4, total);
}

bool TConfigTabBar::CaptionsSmaller() const { return Layout().smaller; }

QSize TConfigTabBar::tabSizeHint(int index) const
{
    std::vector<int> pages;
    const cfgwin::TabBarLayout layout = Layout(&pages);
    const auto at = std::find(pages.begin(), pages.end(), index);
    if (at == pages.end())
        return {0, tabHeight_};
    return {std::max(1, layout.widths[static_cast<std::size_t>(at - pages.begin())]), tabHeight_};
}

QSize TConfigTabBar::minimumTabSizeHint(int index) const { return tabSizeHint(index); }

void TConfigTabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            form_->PageControlDrawTab(painter, VisibleIndex(i), tabRect(i), i == currentIndex());
}

TFormConfig::TabCaption TFormConfig::TabCaptionOf(int page, const QRect& rect) const
{
    auto* bar = static_cast<TConfigTabBar*>(PageControl->tabBar());
    TabCaption c{bar->font(), false, PageControl->tabText(page).trimmed()};
    if (page == cfgwin::PageEsci || page == cfgwin::PageConnect)
        return c;
    // Smaller when the bar does not hold the captions at the window's font
    // (then all of them alike), or when this one reaches its tab's width.
    if (bar->CaptionsSmaller() || QFontMetrics(c.font).horizontalAdvance(c.text) >= rect.width())
        c.font = TConfigTabBar::SmallerFont(c.font);
    // Still too wide: the caption breaks at its blanks onto two lines.
    c.twoLines = QFontMetrics(c.font).horizontalAdvance(c.text) >= rect.width() && c.text.contains(QLatin1Char(' '));
    return c;
}

void TFormConfig::PageControlDrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active)
{
    auto* bar = static_cast<TConfigTabBar*>(PageControl->tabBar());
    int page = -1;
    for (int p = 0; p < cfgwin::kPageCount; ++p)
        if (bar->VisibleIndex(p) == tabIndex)
            page = p;
    if (page < 0)
        return;
    painter.save();
    painter.setPen(Qt::black);
    const cfgwin::TabGroup group = cfgwin::PageGroup(page);
    if (group != cfgwin::TabGroup::None)
        painter.setBrush(plat::FromTColor(cfgwin::GroupColour(group, active)));
    painter.drawRect(QRect(QPoint(rect.left(), rect.top() + 2), rect.bottomRight()));

    QString caption = PageControl->tabText(page);
    const TabCaption drawn = TabCaptionOf(page, rect);
    painter.setFont(drawn.font);
    const bool twoLines = drawn.twoLines;
    const QFontMetrics fm(painter.font());
    const int textHeight = fm.height();
    if (page == cfgwin::PageEsci) {
        if (TabEsciTag == 0) {
            const std::u16string padded = cfgwin::PadExitCaption(
                caption.toStdU16String(), rect.left(), PageControl->width(),
                [&fm](const std::u16string& s) { return fm.horizontalAdvance(QString::fromStdU16String(s)); });
            caption = QString::fromStdU16String(padded);
            TabEsciTag = 1;
            PageControl->setTabText(page, caption);
        }
        // The caption (its padding only widens the tab) centred left of the
        // picture, which stands at the right edge.
        int pictureWidth = 0;
        if (ImageEsci) {
            const QPixmap& pic = ImageEsci->currentPicture();
            const QSize size = pic.deviceIndependentSize().toSize();
            pictureWidth = size.width() + 4;
            painter.drawPixmap(rect.right() - size.width() - 2, rect.top() + (rect.height() - size.height()) / 2, pic);
        }
        const int y = rect.top() + (rect.height() - textHeight) / 6;
        painter.drawText(QRect(rect.left(), y, std::max(0, rect.width() - pictureWidth), textHeight), Qt::AlignHCenter,
                         caption.trimmed());
    } else if (page == cfgwin::PageConnect) {
        ImageConnected->setPicture(Connected() ? kPictureConnected : kPictureDisconnected);
        const QPixmap& pic = ImageConnected->currentPicture();
        const QSize size = pic.deviceIndependentSize().toSize();
        painter.drawPixmap(rect.left() + (rect.width() - size.width()) / 2,
                           rect.top() + (rect.height() - size.height()) / 2, pic);
    } else if (twoLines) {
        const int fy = rect.top() + 2;
        painter.drawText(QRect(rect.left(), fy, rect.width(), textHeight), Qt::AlignHCenter,
                         QStringLiteral("F%1").arg(tabIndex + 1));
        const QString trimmed = drawn.text;
        // The last blank up to the middle, else the first after it.
        int split = trimmed.lastIndexOf(QLatin1Char(' '), trimmed.size() / 2 + 1);
        if (split <= 0)
            split = trimmed.indexOf(QLatin1Char(' '));
        const QRect lines(rect.left(), fy + textHeight, rect.width(), rect.bottom() - fy - textHeight);
        painter.drawText(lines, Qt::AlignHCenter | Qt::AlignVCenter,
                         trimmed.left(split) + QLatin1Char('\n') + trimmed.mid(split + 1));
    } else {
        // Centred without the blanks the texts carry at their ends.
        const int y = rect.top() + (rect.height() - textHeight) * 5 / 6;
        painter.drawText(QRect(rect.left(), y, rect.width(), textHeight), Qt::AlignHCenter, drawn.text);
        const int fy = rect.top() + (rect.height() - textHeight) / 6;
        painter.drawText(QRect(rect.left(), fy, rect.width(), textHeight), Qt::AlignHCenter,
                         QStringLiteral("F%1").arg(tabIndex + 1));
    }
    painter.restore();
}
