// The main window's texts and its language menus.
#include "MainQuorin.h"
#include "windowkit/WindowText.h"

#include "MainTexts.h"
#include "config/window/FormConfig.h"

#include "complib/connection/VyxConnection.h"
#include "complib/settings/VyxRegistryData.h"
#include "complib/translator/Translator.h"
#include "datamodule/core/iodata.h"

#include "plat/PictureButton.h"
#include "plat/ScreenCursor.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>

using namespace mainrules; // the window's texts

namespace {

TEcuProtocol* protocol() { return StreamDati->Protocol(); }

} // namespace

int TFormMain::ProtocolTextString(int index)
{
    // The adapter dialog's texts 10..85 are strings 587..669 in order, seven
    // numbers left out; 53 and 54 take their strings the other way round.
    if (index < 10 || index > 85)
        return 0;
    if (index == 53)
        return 635;
    if (index == 54)
        return 634;
    static constexpr int kSkipped[] = {597, 607, 617, 630, 643, 650, 659};
    int number = 587;
    for (int i = 10;; ++number) {
        bool skipped = false;
        for (int s : kSkipped)
            skipped = skipped || s == number;
        if (skipped)
            continue;
        if (i == index)
            return number;
        ++i;
    }
}

void TFormMain::BuildLanguageMenus()
{
    TTranslator* tr = StreamDati->Translator;
    const int count = tr->LanguageCount();
    auto fill = [&](QMenu* menu, const char* prefix, QActionGroup* group, void (TFormMain::*handler)(QAction*)) {
        for (int i = 0; i < count; ++i) {
            tr->SetLanguage(i);
            QAction* item = menu->addAction(tr->GetLanguageName(i));
            item->setObjectName(QLatin1String(prefix) + QString::number(i));
            item->setCheckable(true);
            item->setData(i);
            group->addAction(item);
            connect(item, &QAction::triggered, this, [this, item, handler] { (this->*handler)(item); });
        }
    };
    auto* popupGroup = new QActionGroup(FormPopupMenu);
    auto* menuGroup = new QActionGroup(MenuSelLingua);
    fill(FormPopupMenu, "MenuPopup", popupGroup, &TFormMain::FormPopupLinguaClick);
    fill(MenuSelLingua, "MenuLingua", menuGroup, &TFormMain::MenuSelLinguaClick);
}

void TFormMain::FormPopupLinguaClick(QAction* item) { languageClick(item); }
void TFormMain::MenuSelLinguaClick(QAction* item) { languageClick(item); }

void TFormMain::languageClick(QAction* item)
{
    plat::SetScreenCursor(plat::ScreenCursor::Hourglass);
    int index = item ? item->data().toInt() : 0;
    if (index < 0)
        index = 0;
    StreamDati->VyxRegistryData->SetInteger(QStringLiteral("Language"), index);
    StreamDati->Translator->SetLanguage(index);
    const QList<QAction*> menuItems = MenuSelLingua->actions();
    const QList<QAction*> popupItems = FormPopupMenu->actions();
    if (index < menuItems.size()) {
        menuItems[index]->setChecked(true);
        if (index < popupItems.size())
            popupItems[index]->setChecked(true);
    }
    ApplyLanguage();
    plat::SetScreenCursor(plat::ScreenCursor::Default);
}

void TFormMain::ActionLinguaExecute() { popUpAt(FormPopupMenu, ImageLingua); }

void TFormMain::ApplyLanguage()
{
    QLabel* const controls[8] = {LabelConfig, LabelTara,  LabelVisualizza, LabelLingua,
                                 LabelCarica, LabelSalva, LabelProgramma,  LabelSchemi};
    for (int i = 0; i < 8; ++i)
        controls[i]->setText(wkit::Text(kTextButtonCaptions[i]));
    MenuElectricalLPG->setText(wkit::Text(kTextElectricalLpg));
    MenuElectricalCNG->setText(wkit::Text(kTextElectricalCng));
    MenuPneumaticLGP->setText(wkit::Text(kTextPneumaticLpg));
    MenuPneumaticCNG->setText(wkit::Text(kTextPneumaticCng));

    configurationText_ = wkit::Text(kTextConfiguration);
    firmwareVersionText_ = wkit::Text(kTextFirmwareVersion);
    softwareVersionText_ = wkit::Text(kTextSoftwareVersion);
    checkLinkText_ = wkit::Text(kTextCheckLink);
    resetQuestionText_ = wkit::Text(kTextResetQuestion);
    resetFailedText_ = wkit::Text(kTextResetFailed);
    lpgText_ = wkit::Text(kTextLpg);
    cngText_ = wkit::Text(kTextCng);
    noConnectionText_ = wkit::Text(kTextNotConnected) + QStringLiteral("\n\n- ") + wkit::Text(kTextChangesNotInEcu) +
                        QStringLiteral("\n- ") + wkit::Text(kTextConnectFirst);
    failedAttemptText_ = wkit::Text(kTextPreviousAttemptFailed) + QLatin1Char('\n') + wkit::Text(kTextRemoveBattery);

    StreamDati->LoadMessageTexts();

    if (TEcuProtocol* p = protocol()) {
        for (int index = 10; index <= 85; ++index) {
            const QByteArray t = wkit::Text(ProtocolTextString(index)).toUtf8();
            p->SetMessageText(t.constData(), index);
        }
    }

    // The configuration window, once the program entry has made it.
    if (FormConfig)
        FormConfig->LoadTexts();

    SetStatusLabels(protocol()->IsConnected(), QStringLiteral(" "));
}

void TFormMain::ClickStoredLanguage()
{
    const int count = StreamDati->Translator->LanguageCount();
    const int stored = StreamDati->VyxRegistryData->GetInteger(QStringLiteral("Language"));
    const int index = stored >= 0 && stored < count ? stored : 0;
    const QList<QAction*> menuItems = MenuSelLingua->actions();
    if (index < menuItems.size())
        menuItems[index]->trigger();
    const QList<QAction*> popupItems = FormPopupMenu->actions();
    if (index < popupItems.size())
        popupItems[index]->setChecked(true);
}
