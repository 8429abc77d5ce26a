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
#include "SchemiFiles.h"
#include "windowkit/ShowOnce.h"

#include <QDialog>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class QFrame;
class QLabel;
class QTreeWidget;
class TTranslator;
namespace plat {
class AnimationPlayer;
class PictureButton;
class Shape;
} // namespace plat

class TFormSchemi : public QDialog {
    Q_OBJECT

public:
    // The text of a string number.
    using TextSource = std::function<QString(int number)>;

    // The modal result of Esc and of the cancel picture.
    static constexpr int mrCancel = 2;

    // String numbers of the window's texts.
    static constexpr int kTextCarica = 455;
    static constexpr int kTextAnnulla = 452;
    static constexpr int kTextFiles = 456;
    static constexpr int kTextData = 457;

    // folder: the application folder, made the current directory again on
    // close. Without a text source the program's own (Italian) texts are used.
    TFormSchemi(QWidget* owner, int kind, const QString& folder, TextSource texts = {});
    // The texts from the translator (the data module's), read when the window
    // is built.
    TFormSchemi(QWidget* owner, int kind, const QString& folder, TTranslator* translator);
    ~TFormSchemi() override;

    int Kind() const { return kind_; }
    // The folder given by the caller (made absolute against the current
    // directory at construction).
    QString Folder() const { return folder_; }
    // The folder listed: Folder() + the kind's sub-folder.
    QString DiagramFolder() const { return diagramFolder_; }

    // Lists the diagram folder's PDFs, with the find animation on show and
    // the hourglass while it runs.
    void FillPdfList();
    // The rows as last listed, in list order.
    const std::vector<TPdfRow>& Rows() const { return rows_; }

    // Handlers.
    // First activation (once): sizes the list and its columns, fills it and
    // selects the first row.
    void FormActivate();
    // Makes the caller's folder the current directory again.
    void FormClose();
    // Esc (27) cancels, Enter (13) opens; true when the key was taken.
    bool FormKeyPress(int key);
    // Opens the selected row's file with the desktop's viewer; nothing when
    // no row is selected or the file has gone.
    void ImageOkClick();
    void ImageAnnullaClick();
    void ListPdfFileDblClick();

    // Components.
    QTreeWidget* ListPdfFile = nullptr;
    QIcon ImageListConfig;
    plat::Shape* ShapeBottom = nullptr;
    plat::PictureButton* ImageOk = nullptr;
    QLabel* LabelCarica = nullptr;
    plat::PictureButton* ImageAnnulla = nullptr;
    QLabel* LabelAnnulla = nullptr;
    QFrame* PanelFind = nullptr;
    plat::AnimationPlayer* AnimateFind = nullptr;

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString text(int number) const;
    void buildLayout();
    void placeControls();

    int kind_ = 0;
    QString folder_;
    QString diagramFolder_;
    TextSource texts_;
    std::vector<TPdfRow> rows_;
    wkit::ShowOnce activated_;
    bool closed_ = false;

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
