#include "FileListWindow.h"

#include "plat/AnimationPlayer.h"
#include "plat/Colors.h"
#include "plat/KeyChar.h"
#include "plat/ScreenCursor.h"
#include "plat/Shape.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>

namespace filelist {

namespace {

constexpr std::uint32_t kFill = 14671839; // light grey
constexpr std::uint32_t kInk = 9396256;   // dark blue
const char* const kFindAnimation = ":/anim/find.png";

} // namespace

QFont Font(int pixels, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("AvantGarde Bk BT"), QStringLiteral("URW Gothic"),
                   QStringLiteral("URW Gothic L"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* MakeCaption(QWidget* parent, const char* name, const QRect& geometry, Qt::Alignment align, int pixels)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(align);
    l->setFont(Font(pixels, true));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, plat::FromTColor(kInk));
    l->setPalette(pal);
    return l;
}

plat::Shape* MakeFrame(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* s = new plat::Shape(parent);
    s->setObjectName(QLatin1String(name));
    s->setGeometry(geometry);
    s->setKind(plat::Shape::Kind::RoundRect);
    s->setBrush(plat::FromTColor(kFill));
    s->setPen(QPen(plat::FromTColor(kInk), 2));
    return s;
}

QTreeWidget* MakeList(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(geometry);
    list->setColumnCount(2);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSortingEnabled(false); // the rows arrive sorted
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setIconSize(QSize(50, 55));
    list->setFont(Font(18, false));
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(true);
    QPalette lp = list->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        lp.setColor(QPalette::Inactive, role, lp.color(QPalette::Active, role));
    list->setPalette(lp);
    return list;
}

FindPanel MakeFindPanel(QWidget* parent, const QRect& panel, const QRect& animation)
{
    FindPanel find;
    find.panel = new QFrame(parent);
    find.panel->setObjectName(QStringLiteral("PanelFind"));
    find.panel->setGeometry(panel);
    find.panel->setFrameShape(QFrame::Box);
    find.panel->setAutoFillBackground(true);
    find.animation = new plat::AnimationPlayer(find.panel);
    find.animation->setObjectName(QStringLiteral("AnimateFind"));
    find.animation->setGeometry(animation);
    find.animation->open(QLatin1String(kFindAnimation));
    find.panel->hide();
    return find;
}

std::vector<TPdfRow> Fill(QTreeWidget* list, const FindPanel& find, const QIcon& icon,
                          const std::function<std::vector<TPdfRow>()>& listRows)
{
    QWidget* window = list->window();
    list->clear();
    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    find.panel->show();
    find.panel->raise();
    find.animation->play();
    window->repaint();

    std::vector<TPdfRow> rows = listRows();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const TPdfRow& row : rows) {
        auto* item = new QTreeWidgetItem({row.Caption, row.Date});
        item->setIcon(0, icon);
        item->setData(0, FileNameRole, row.FileName);
        items.append(item);
    }
    list->addTopLevelItems(items);

    const int client = list->viewport()->width();
    const int first = client * 70 / 100;
    list->setColumnWidth(0, first);
    list->setColumnWidth(1, client - first);

    plat::SetScreenCursor(plat::ScreenCursor::Default);
    find.panel->hide();
    find.animation->stop();
    window->repaint();
    return rows;
}

bool RunKey(int key, const std::function<void()>& confirm, const std::function<void()>& cancel)
{
    switch (key) {
    case 27:
        cancel();
        return true;
    case 13:
        confirm();
        return true;
    default:
        return false;
    }
}

bool TakeKeyPress(QEvent* event, const std::function<bool(int key)>& formKeyPress)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    if (!formKeyPress(plat::KeyCharOf(static_cast<QKeyEvent*>(event)->key())))
        return false;
    event->accept();
    return true;
}

} // namespace filelist
