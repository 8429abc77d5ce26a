#include "Schemi.h"

#include "FileListWindow.h"
#include "complib/translator/Translator.h"
#include "resources/strings/OwnStringTable.h"

#include "plat/Desktop.h"
#include "plat/PictureButton.h"
#include "plat/ScreenScale.h"
#include "plat/Shape.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QTreeWidget>

namespace {

constexpr std::uint32_t kPaper = 16777215; // white

// The layout, in design pixels of the dialog's client area.
constexpr QRect kListRect(24, 24, 976, 480);
constexpr QRect kPanelFindRect(352, 160, 320, 160);
constexpr QRect kShapeBottomRect(24, 568, 976, 129);
constexpr QRect kImageOkRect(328, 582, 96, 64);
constexpr QRect kLabelCaricaRect(276, 652, 200, 32);
constexpr QRect kImageAnnullaRect(600, 582, 96, 64);
constexpr QRect kLabelAnnullaRect(548, 652, 200, 32);

QString ownText(int number)
{
    const std::u16string_view t = qz::strings::Find(qz::strings::OwnStringTable(), static_cast<std::uint32_t>(number));
    return QString(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
}

QLabel* caption(QWidget* parent, const char* name, const QRect& r)
{
    return filelist::MakeCaption(parent, name, r, Qt::AlignCenter, 22);
}

} // namespace

TFormSchemi::TFormSchemi(QWidget* owner, int kind, const QString& folder, TTranslator* translator)
    : TFormSchemi(owner, kind, folder,
                  translator ? TextSource([translator](int n) { return translator->GetString(n); })
                             : TextSource())
{
}

TFormSchemi::TFormSchemi(QWidget* owner, int kind, const QString& folder, TextSource texts)
    : FileListDialog(owner, folder, texts ? std::move(texts) : TextSource(ownText), kPaper), kind_(kind)
{
    setObjectName(QStringLiteral("FormSchemi"));
    buildLayout();

    // The screen scaling; the window fills the screen further down.
    const plat::ScaleFactor f = plat::ApplyScreenScale(this);
    designSize_ = QSize(static_cast<int>(plat::MulDivRound(kDesignSize.width(), f.num, f.den)),
                        static_cast<int>(plat::MulDivRound(kDesignSize.height(), f.num, f.den)));
    for (QWidget* w : {static_cast<QWidget*>(ListPdfFile), static_cast<QWidget*>(PanelFind)})
        anchored_.push_back({w, w->pos(), false});
    for (QWidget* w : {static_cast<QWidget*>(ShapeBottom), static_cast<QWidget*>(ImageOk),
                       static_cast<QWidget*>(LabelCarica), static_cast<QWidget*>(ImageAnnulla),
                       static_cast<QWidget*>(LabelAnnulla)})
        anchored_.push_back({w, w->pos(), true});

    // Texts.
    LabelCarica->setText(text(kTextCarica));
    LabelAnnulla->setText(text(kTextAnnulla));
    ListPdfFile->setHeaderLabels({text(kTextFiles), text(kTextData)});

    // The diagram folder, created when missing, is the current directory
    // while the browser is open.
    diagramFolder_ = SchemiFolder(Folder(), kind_);
    ForceSchemiFolder(diagramFolder_);
    QDir::setCurrent(diagramFolder_);

    if (!fillScreen())
        resize(designSize_);
    placeControls();
}

void TFormSchemi::buildLayout()
{
    ListPdfFile = makeList("ListPdfFile", kListRect, [this] { ListPdfFileDblClick(); });
    takeKeysOf({ListPdfFile});

    ShapeBottom = filelist::MakeFrame(this, "ShapeBottom", kShapeBottomRect);

    makeOkButton(kImageOkRect);
    LabelCarica = caption(this, "LabelCarica", kLabelCaricaRect);

    makeCancelButton(kImageAnnullaRect);
    LabelAnnulla = caption(this, "LabelAnnulla", kLabelAnnullaRect);

    makeFindPanel(kPanelFindRect);
}

void TFormSchemi::placeControls()
{
    const int dx = (width() - designSize_.width()) / 2;
    const int dy = height() - designSize_.height();
    for (const Anchored& a : anchored_)
        a.widget->move(a.position + QPoint(dx, a.bottom ? dy : 0));
}

void TFormSchemi::resizeEvent(QResizeEvent* event)
{
    FileListDialog::resizeEvent(event);
    if (!anchored_.empty())
        placeControls();
}

void TFormSchemi::FirstActivation()
{
    ListPdfFile->resize(ShapeBottom->width(), height() * 68 / 100);
    const int w = ListPdfFile->width();
    ListPdfFile->setColumnWidth(0, w * 60 / 100);
    ListPdfFile->setColumnWidth(1, w * 40 / 100);

    FillPdfList();
    selectFirstRow();
}

void TFormSchemi::FillPdfList()
{
    fillList([this] { return ListPdfRows(diagramFolder_, plat::LocaleDateSeparator(), plat::LocaleTimeSeparator()); });
}

void TFormSchemi::ImageOkClick()
{
    const QList<QTreeWidgetItem*> selected = ListPdfFile->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* item = selected.front();
    const TPdfRow row{item->text(0), item->text(1), item->data(0, filelist::FileNameRole).toString()};
    const QString path = PdfPathToOpen(diagramFolder_, row);
    if (path.isEmpty())
        return; // gone since the list was filled
    if (plat::DocumentOpener* opener = plat::Desktop().opener)
        opener->open(path);
}

void TFormSchemi::ListPdfFileDblClick() { ImageOkClick(); }
