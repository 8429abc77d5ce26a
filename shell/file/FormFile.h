#pragma once
// TFormFile: the full-screen dialog in which the user saves the parameter
// image as a configuration file, loads a configuration file into the ECU (or
// into the offline image), exports the image as an end-of-line hex script or
// mails a configuration file. Configuration files live in "ConfigLPG" or
// "ConfigCNG" of the application folder, one sub-folder per car make; the
// list shows the files of the chosen make with the chosen ECU kind's
// extension. The main window creates it from "Carica Dati" (open) and "Salva
// Dati" (save), runs it modally and deletes it.
//
// The make folder is the process's current directory while the dialog
// exists; closing (or deleting) it makes the application folder current
// again and puts the plain configuration-file key back.
#include "FileRules.h"
#include "shell/schemi/FileListDialog.h"

#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TFormFile : public filelist::FileListDialog {
    Q_OBJECT

public:
    static constexpr int ModeSave = 0;
    static constexpr int ModeOpen = 1;
    static constexpr int mrOk = 1;

    // anyFile (open mode, may be null): set to whether the fuel folder holds
    // any file of the current ECU kind. folder: the application folder.
    // Without a text source the translator of the data module is used.
    TFormFile(QWidget* owner, bool* anyFile, int mode, const QString& folder, TextSource texts = {});
    ~TFormFile() override;

    // Runs before a load when the user answers Yes to "save first?": the
    // save of the data in memory; false (cancelled or failed) stops the
    // load. Without it the main window's save request (event 4) is all.
    std::function<bool()> SaveChanges;

    int Mode() const { return mode_; }
    // The folder listed (the fuel folder or one of its makes).
    QString CurrentFolder() const { return currentFolder_; }
    QString Extension() const { return extension_; }

    void FillList();

    // Handlers (Esc cancels, Enter runs ImageOkClick).
    void ComboMarcaChange();
    void ComboEcuTypeChange();
    void ListFileSelect();
    void ListFileDblClick();
    void ImageOkClick() override;
    void ImageEmailClick();

    // Components.
    plat::Shape* ShapeMarca = nullptr;
    QLabel* LabelMarca = nullptr;
    QComboBox* ComboMarca = nullptr;
    plat::Shape* ShapeTop = nullptr;
    QLabel* LabelFile = nullptr;
    QLineEdit* EditName = nullptr;
    QTreeWidget* ListFile = nullptr;
    plat::Shape* ShapeBottom = nullptr;
    QLabel* LabelEcuType = nullptr;
    QComboBox* ComboEcuType = nullptr;
    QLabel* LabelTipoFile = nullptr;
    QComboBox* ComboTipoConfig = nullptr;
    plat::PictureButton* ImageEmail = nullptr;
    QLabel* LabelEmail = nullptr;
    QLabel* LabelSalva = nullptr;
    QLabel* LabelAnnulla = nullptr;

protected:
    // Fills the list; in open mode selects its first row.
    void FirstActivation() override;
    // Makes the plain configuration-file key current again.
    void Closing() override;

private:
    void buildLayout();
    void enterFolder(const QString& folder);
    QString nameToOpen(const QString& typed) const;
    // The first row selected (open mode); the name emptied when none is.
    void selectFirstFile();
    void confirmOpen(const QString& name);
    // Asks, while an ECU is connected, whether the loaded image may be
    // written with defaults in place of the file's damaged values, then of
    // its missing ones (No the default); false when the user said No.
    bool defaultsAccepted();
    void confirmSave(const QString& name);
    void errorBox(const QString& message) const;
    void toMainWindow() const;

    int mode_ = ModeSave;
    QString fuelFolder_;
    QString currentFolder_;
    QString extension_;
};
