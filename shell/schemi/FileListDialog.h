#pragma once
// The skeleton the configuration-file dialog and the wiring-diagram browser
// share: a borderless dialog over the whole screen with a list of files, the
// find panel shown while it fills, the open and cancel pictures, and the
// caller's folder, which is the current directory again once the dialog
// closes. The list is filled on the first activation, once the window is on
// the screen (so that the find animation is seen), never after a close. Esc
// cancels and Enter confirms, from the window and from the controls whose
// keys it takes.
#include "SchemiFiles.h"
#include "windowkit/ShowOnce.h"

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

class QFrame;
class QTreeWidget;
namespace plat {
class AnimationPlayer;
class PictureButton;
} // namespace plat

namespace filelist {

class FileListDialog : public QDialog {
    Q_OBJECT

public:
    // The text of a string number.
    using TextSource = std::function<QString(int number)>;

    // The modal result of Esc and of the cancel picture.
    static constexpr int mrCancel = 2;

    // The texts both dialogs show (string numbers): the open picture's
    // caption, the cancel picture's, the list's two columns.
    static constexpr int kTextCarica = 455;  // "CARICA"
    static constexpr int kTextAnnulla = 452; // "ANNULLA"
    static constexpr int kTextFiles = 456;   // "Files disponibili"
    static constexpr int kTextData = 457;    // "Data"

    // The folder given by the caller (made absolute against the current
    // directory at construction).
    QString Folder() const { return folder_; }
    // The rows as last listed, in list order.
    const std::vector<TPdfRow>& Rows() const { return rows_; }

    // Handlers.
    // The first activation (once, and never after a close): the dialog's own
    // step (FirstActivation).
    void FormActivate();
    // Once: makes the caller's folder the current directory again, then the
    // dialog's own step (Closing).
    void FormClose();
    // Esc (27) cancels, Enter (13) confirms (ImageOkClick); true when the key
    // was taken.
    bool FormKeyPress(int key);
    virtual void ImageOkClick() = 0;
    void ImageAnnullaClick();

    // Components.
    QIcon ImageListConfig;
    plat::PictureButton* ImageOk = nullptr;
    plat::PictureButton* ImageAnnulla = nullptr;
    QFrame* PanelFind = nullptr;
    plat::AnimationPlayer* AnimateFind = nullptr;

public slots:
    void done(int result) override;
    void reject() override;

protected:
    // The windows' layout is in design pixels of this client area.
    static constexpr QSize kDesignSize{1024, 721};

    // Sized to the design size, in the windows' face on background.
    // texts: never empty.
    FileListDialog(QWidget* owner, const QString& folder, TextSource texts, std::uint32_t background);
    // Gives the caller's folder back when the dialog was not closed.
    ~FileListDialog() override;

    QString text(int number) const;

    // The list (filelist::MakeList) with the list icon; a double click runs
    // doubleClick.
    QTreeWidget* makeList(const char* name, const QRect& geometry, std::function<void()> doubleClick);
    // A picture button showing the released and pressed pictures; a click
    // runs click.
    plat::PictureButton* makeButton(const char* name, const QRect& geometry, int released, int pressed,
                                    std::function<void()> click);
    // The open picture (ImageOk, runs ImageOkClick) and the cancel picture
    // (ImageAnnulla, runs ImageAnnullaClick).
    void makeOkButton(const QRect& geometry);
    void makeCancelButton(const QRect& geometry);
    // The find panel (PanelFind, AnimateFind) at geometry.
    void makeFindPanel(const QRect& geometry);
    // The keys of these controls reach FormKeyPress before the control.
    void takeKeysOf(std::initializer_list<QWidget*> controls);

    // Empties the list and fills it with what listRows gives (filelist::Fill);
    // Rows() holds them afterwards.
    void fillList(const std::function<std::vector<TPdfRow>()>& listRows);
    // Selects the list's first row and gives the list the focus; false when
    // the list is empty.
    bool selectFirstRow();
    // The window over the whole screen; false when there is no screen.
    bool fillScreen();

    // What the first activation does.
    virtual void FirstActivation() = 0;
    // What closing adds to giving the folder back. A dialog with a step of
    // its own calls FormClose() in its destructor, so that the step also runs
    // for a dialog deleted without being closed (the destructor here runs
    // only this class's step).
    virtual void Closing() {}

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString folder_;
    TextSource texts_;
    QTreeWidget* list_ = nullptr;
    std::vector<TPdfRow> rows_;
    wkit::ShowOnce activated_;
    bool closed_ = false;
};

} // namespace filelist
