#pragma once
// TFormMain: the program's main window. A borderless window over the whole
// screen with the eight picture buttons, the frame that marks the button
// chosen with the keys or the mouse, the ECU picture, the connection and
// wireless-adapter icons and the status labels. Its menus are never shown;
// their actions keep their shortcuts and are found by name
// (findChild<QAction*>("ActionConnetti")). The connection events
// (WM_CONNECTIONEVENT) of the protocol library, the data module and the
// other windows arrive here.
#include "plat/Desktop.h"
#include "plat/Messages.h"
#include "windowkit/ShowOnce.h"

#include <QByteArrayView>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class TFormSplash;
namespace plat {
class PictureButton;
class PortLister;
class SerialPortWatcher;
class Shape;
} // namespace plat

class TFormMain : public QWidget {
    Q_OBJECT

public:
    // The data module (StreamDati) must exist. Shows the splash, clears the
    // leftover temporary files, scales the layout to the screen and becomes
    // the window of the connection events.
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // ---- State other windows read -----------------------------------------
    // The current directory when the window was built; every program folder
    // is taken relative to it.
    QString ApplicationFolder() const { return applicationFolder_; }
    // Extra-injection latch of the live windows; cleared by every disconnect.
    bool ExtraInjectionSeen = false;
    // Set only while the reset from the PC reconnects.
    bool ResetInProgress() const { return resetInProgress_; }
    int SelectedIndex() const { return selected_; }
    const QList<plat::PictureButton*>& Pictures() const { return pictures_; }
    const QList<QLabel*>& Labels() const { return labels_; }

    // Start without connecting: at the first idle moment the window
    // disconnects and loads the type-30 default set instead (held Shift does
    // the same).
    bool OfflineStart = false;

    // Loading a built-in default set by resource number (the whole-image
    // transfer with "load", no file name, all groups, no progress, no pause).
    // Tests replace it.
    std::function<bool(int resource)> DefaultSetLoader;
    // The data module's option flags (1: CNG, 16: the second option) as the
    // default-set choice and the configuration label read them.
    std::function<bool(int flag)> FlagReader;
    // The configuration window, once it exists: shown modally by "Configura".
    QPointer<QWidget> ConfigWindow;

    // ---- Actions (MainActionList) ------------------------------------------
    QAction* ActionConnetti = nullptr;        // Ctrl+C
    QAction* ActionDisconnetti = nullptr;     // Ctrl+D
    QAction* ActionAzzeraId = nullptr;        // Ctrl+A
    QAction* ActionResetDaPc = nullptr;
    QAction* ActionResetCentralina = nullptr;
    QAction* ActionConf = nullptr;
    QAction* ActionTara = nullptr;
    QAction* ActionVisualizza = nullptr;
    QAction* ActionLingua = nullptr;
    QAction* ActionApriConf = nullptr;
    QAction* ActionSalvaConf = nullptr;
    QAction* ActionProgramma = nullptr;
    QAction* ActionEsci = nullptr;
    QAction* ActionApri = nullptr;
    QAction* ActionSalva = nullptr;
    QAction* ActionBloccoNote = nullptr;
    QAction* ActionProgrammaCliente = nullptr;
    QAction* ActionInternet = nullptr;
    QList<QAction*> MainActionList;

    // ---- Handlers ------------------------------------------------------------
    void ActionConnettiExecute();
    void ActionDisconnettiExecute();
    void ActionAzzeraIdExecute();
    void ActionResetDaPcExecute();
    void ActionConfExecute();
    void ActionTaraExecute();
    void ActionVisualizzaExecute();
    void ActionLinguaExecute();
    void ActionApriConfExecute();
    void ActionSalvaConfExecute();
    void ActionProgrammaExecute();
    void ActionEsciExecute();
    void ImageSchemiClick();
    void MenuSchemiClick(QAction* item);
    void ImageConnectedClick();
    void ImageKoaClick();
    // The picture's click handler, as Enter runs it for the selected one.
    void RunPicture(int index);
    // Mouse over a picture: it becomes the selected one.
    void ImageMouseMove(int index);
    void PlaceFrame();

    void FormShow();
    void OnFirstIdle();
    void OnConnectionEvent(const plat::MessageEvent& message);
    // A serial port came (arrival) or went: a coming port shows ImageKoa when
    // any present port is the wireless adapter's; a going one asks the
    // protocol library whether the adapter is still there.
    void WMDeviceChange(bool arrival);
    // The ports the device changes look at; the system's until replaced.
    void SetPortLister(std::unique_ptr<plat::PortLister> lister);
    static constexpr const char* kWirelessPortText = "VYX KOA Wireless Port";
    // The save-changes question: 6 (Yes, and saved), 7 (No, or nothing to
    // save), 2 (Cancel, or the save did not happen): the caller stops.
    int AskSaveChanges();
    // The save of that question without asking: the save dialog, then the
    // image saved to the chosen file under the wait form. False when the
    // dialog is cancelled or the save fails.
    bool SaveChangesToFile();
    // Filter and default extension of the configuration-file dialogs for the
    // current ECU type, and the file key.
    void SetConfigFileDialogs();
    plat::FileDialogRequest OpenDialog;
    plat::FileDialogRequest SaveDialog;
    // The supported type code of the identified ECU, or 0.
    std::uint8_t IsEcuSupported() const;
    // False when this program is older than the ECU's minimum; warns when it
    // is older than the recommended one.
    bool CheckPcSoftwareVersion();
    // The fixed box text shown after connecting to an old firmware.
    static QString FirmwareAdviceText();
    // Firmware programming: the chosen file's extension (dot included)
    // against the boot identity, and the image's metadata against the ECU
    // (0 accepted, 1 to 7 the reason of the refusal). The variant is read
    // from the ECU, the data module's copy when that fails.
    static bool FirmwareFileMatchesEcu(const QString& extension, std::uint32_t bootId, std::uint16_t bootExtra);
    int CheckFirmwareImage(int pers, QByteArrayView image, std::uint32_t bootId, std::uint16_t bootExtra) const;
    // The open-file request of "Nuovo firmware": the firmware folder and the
    // filter of the connected ECU's type, or of every type offline.
    plat::FileDialogRequest FirmwareDialogRequest(bool connected) const;
    // Texts of the current language on the controls, in the kept texts, in
    // the data module and in the protocol library; then the status labels.
    void ApplyLanguage();
    // One checkable item per language in FormPopupMenu ("MenuPopup<i>") and
    // in MenuSelLingua ("MenuLingua<i>"), exclusive within each menu.
    void BuildLanguageMenus();
    // Clicks the language of the "Language" setting, the current one when
    // the setting is out of range.
    void ClickStoredLanguage();
    // The language items' click handlers: store, select and apply.
    void FormPopupLinguaClick(QAction* item);
    void MenuSelLinguaClick(QAction* item);
    // The string number of a protocol-library text index (10..85), else 0.
    static int ProtocolTextString(int index);
    QString FailedAttemptText() const { return failedAttemptText_; }

    // Loads the default set of type, fuel, option and injector code.
    bool LoadDefaultSet(std::uint8_t type, bool cng, bool option, std::uint8_t injector);
    // SetEcuType(30) and its default set (LPG, no option, the first
    // injector type).
    bool LoadType30DefaultSet();

    // The status labels in the formats of their texts.
    void SetLabelConfigurazione();
    void SetStatusLabels(bool connected, const QString& firmwareSeparator);

    // ---- Controls --------------------------------------------------------------
    plat::PictureButton* ImageConfig = nullptr;
    plat::PictureButton* ImageTara = nullptr;
    plat::PictureButton* ImageVisualizza = nullptr;
    plat::PictureButton* ImageLingua = nullptr;
    plat::PictureButton* ImageCarica = nullptr;
    plat::PictureButton* ImageSalva = nullptr;
    plat::PictureButton* ImageProgramma = nullptr;
    plat::PictureButton* ImageSchemi = nullptr;
    QLabel* LabelConfig = nullptr;
    QLabel* LabelTara = nullptr;
    QLabel* LabelVisualizza = nullptr;
    QLabel* LabelLingua = nullptr;
    QLabel* LabelCarica = nullptr;
    QLabel* LabelSalva = nullptr;
    QLabel* LabelProgramma = nullptr;
    QLabel* LabelSchemi = nullptr;
    plat::PictureButton* ImageExit = nullptr;
    plat::PictureButton* ImageConnected = nullptr;
    plat::PictureButton* ImageKoa = nullptr;
    plat::PictureButton* ImageBase = nullptr;
    plat::PictureButton* ImageQuorin = nullptr;
    plat::Shape* ShapeSelected = nullptr;
    QLabel* LabelVersioneSw = nullptr;
    QLabel* LabelVersioneFw = nullptr;
    QLabel* LabelConfigurazione = nullptr;
    QLabel* LabelEcuType = nullptr;
    QWidget* Content = nullptr; // the scaled design area, centred on the screen
    QMenu* MenuFile = nullptr;
    QMenu* MenuCpu = nullptr;
    QMenu* MenuConfig = nullptr;
    QMenu* MenuSelLingua = nullptr;
    QMenu* FormPopupMenu = nullptr;
    QMenu* PopupSchemi = nullptr;
    QAction* MenuElectricalCNG = nullptr; // data 0
    QAction* MenuElectricalLPG = nullptr; // 1
    QAction* MenuPneumaticCNG = nullptr;  // 2
    QAction* MenuPneumaticLGP = nullptr;  // 3

    TFormSplash* Splash() const;

    // The no-connection text of the first idle moment.
    QString NoConnectionText() const { return noConnectionText_; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void buildLayout();
    void buildActions();
    void centreContent();
    bool flag(int n) const;
    void errorBox(const QString& text) const;
    void connectError(const QString& body, const char* code) const;
    // Disconnect and leave the type-30 default set for offline work.
    void offlineFallback();
    void popUpAt(QMenu* menu, plat::PictureButton* picture);
    void languageClick(QAction* item);

    QString applicationFolder_;
    QList<QLabel*> labels_;
    QList<plat::PictureButton*> pictures_;
    int selected_ = 0;
    bool resetInProgress_ = false;
    wkit::ShowOnce shown_;
    QString versionText_;
    // Texts taken in the current language (ApplyLanguage).
    QString configurationText_, firmwareVersionText_, softwareVersionText_, checkLinkText_;
    QString resetQuestionText_, resetFailedText_, lpgText_, cngText_;
    QString noConnectionText_;
    QString failedAttemptText_;
    QPointer<TFormSplash> splash_;
    std::unique_ptr<plat::ObjectNotifyTarget> notifyTarget_;
    std::unique_ptr<plat::PortLister> portLister_;
    plat::SerialPortWatcher* portWatcher_ = nullptr;
};

// The main window (the first one constructed, until it is destroyed).
extern TFormMain* FormMain;
