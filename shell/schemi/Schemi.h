#pragma once
// TFormSchemi: the wiring-diagram browser. It lists the PDF diagrams of one
// kind's folder under the application folder's "Schematics", with their
// dates, and opens the chosen one with the desktop's PDF viewer; it stays open
// until the user cancels. The main window creates it from its wiring-diagram
// menu (kind = the menu item's tag), shows it modally and deletes it.
//
// The diagram folder is created when it is missing and is the process's
// current directory while the browser exists; closing (or deleting) the
// browser makes the caller's folder the current directory again.
#include "FileListDialog.h"
#include "SchemiFiles.h"

#include <QPoint>
#include <QString>
#include <vector>

class QLabel;
class QTreeWidget;
class TTranslator;
namespace plat {
class Shape;
} // namespace plat

class TFormSchemi : public filelist::FileListDialog {
    Q_OBJECT

public:
    // folder: the application folder, made the current directory again on
    // close. Without a text source the program's own (Italian) texts are used.
    TFormSchemi(QWidget* owner, int kind, const QString& folder, TextSource texts = {});
    // The texts from the translator (the data module's), read when the window
    // is built.
    TFormSchemi(QWidget* owner, int kind, const QString& folder, TTranslator* translator);

    int Kind() const { return kind_; }
    // The folder listed: Folder() + the kind's sub-folder.
    QString DiagramFolder() const { return diagramFolder_; }

    // Lists the diagram folder's PDFs, with the find animation on show and
    // the hourglass while it runs.
    void FillPdfList();

    // Handlers (Esc cancels, Enter opens).
    // Opens the selected row's file with the desktop's viewer; nothing when
    // no row is selected or the file has gone.
    void ImageOkClick() override;
    void ListPdfFileDblClick();

    // Components.
    QTreeWidget* ListPdfFile = nullptr;
    plat::Shape* ShapeBottom = nullptr;
    QLabel* LabelCarica = nullptr;
    QLabel* LabelAnnulla = nullptr;

protected:
    // Sizes the list and its columns, fills it and selects the first row.
    void FirstActivation() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildLayout();
    void placeControls();

    int kind_ = 0;
    QString diagramFolder_;

    // The scaled design size and where each control sits in it; the window
    // fills the screen, the list stays at the top, the pictures at the
    // bottom, all centred across.
    QSize designSize_;
    struct Anchored {
        QWidget* widget;
        QPoint position;
        bool bottom;
    };
    std::vector<Anchored> anchored_;
};
