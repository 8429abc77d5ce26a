// TFormDiagnosi: the poll tick and the refresh of the error rows and the
// injector pictures, the error reset and the changes to the exclusion
// panel.
#include "FormDiagnosi.h"

#include "datamodule/core/iodata.h"

#include "plat/PictureButton.h"
#include "plat/Services.h"

#include <QApplication>
#include <QLabel>
#include <QTreeWidget>

namespace {

constexpr std::int32_t kPetrolFaults = 0x21;
constexpr std::int32_t kGasFaults = 0x20;
constexpr int kEcuTypeHighMasks = 53;    // the ECU type whose masks have a high byte
constexpr int kRowIndexRole = Qt::UserRole;
constexpr std::uint32_t kReconnectMs = 4000;
constexpr std::uint32_t kRetryMs = 500;

} // namespace

// ---------------------------------------------------------------------------
// Poll tick and refresh

void TFormDiagnosi::TimerTimer()
{
    Timer->stop();
    dm().TimerIOTimer(this);
    Timer->start();

    TEcuProtocol* ecu = dm().Protocol();
    if (!ecu->IsConnected())
        return;
    ecu->BeginReconnect();
    bool connected = ecu->Connect();
    if (!connected) {
        const std::uint32_t start = plat::CurrentClock().tickCount();
        while (plat::CurrentClock().tickCount() - start < kReconnectMs) {
            plat::CurrentClock().sleep(kRetryMs);
            if ((connected = dm().Protocol()->Connect()))
                break;
        }
    }
    dm().Protocol()->EndReconnect();
    if (connected)
        RefreshDiagnostics();
}

int TFormDiagnosi::findRow(int index) const
{
    for (int i = 0; i < ListDiagnosi->topLevelItemCount(); ++i)
        if (ListDiagnosi->topLevelItem(i)->data(0, kRowIndexRole).toInt() == index)
            return i;
    return -1;
}

void TFormDiagnosi::removeRow(int position)
{
    delete ListCode->takeTopLevelItem(position);
    delete ListDiagnosi->takeTopLevelItem(position);
}

void TFormDiagnosi::insertRow(int index, const QString& description)
{
    ListCode->insertTopLevelItem(0, new QTreeWidgetItem(QStringList{diagnosi::ErrorCode(index)}));
    auto* row = new QTreeWidgetItem(QStringList{description, statusText_, QString()});
    row->setData(0, kRowIndexRole, index);
    ListDiagnosi->insertTopLevelItem(0, row);
}

void TFormDiagnosi::setDescription(int position, const QString& description)
{
    ListDiagnosi->topLevelItem(position)->setText(0, description);
}

QString TFormDiagnosi::description(int index) const
{
    return index >= 0 && index < descriptions_.size() ? descriptions_[index] : QString();
}

std::uint32_t TFormDiagnosi::readInjectorMask(std::int32_t item)
{
    TEcuProtocol* ecu = dm().Protocol();
    std::int32_t low = 0;
    ecu->ReadItem(item, &low);
    std::uint32_t mask = static_cast<std::uint32_t>(low);
    if (dm().EcuInfo.EcuType == kEcuTypeHighMasks) {
        std::int32_t high = 0;
        ecu->ReadItem(item + 2, &high);
        mask += static_cast<std::uint32_t>(high) * 256u;
    }
    return mask;
}

QString TFormDiagnosi::injectorLetters(std::int32_t item)
{
    return diagnosi::InjectorLettersText(diagnosi::MapCylinderMask(readInjectorMask(item), cylinders()));
}

void TFormDiagnosi::RefreshDiagnostics()
{
    for (int w = 0; w < 5; ++w) {
        previous_[static_cast<std::size_t>(w)] = current_[static_cast<std::size_t>(w)];
        current_[static_cast<std::size_t>(w)] = dm().GetDiagnosi(w, 1);
    }

    // The rows of the words that changed.
    for (int w = 0; w < 5; ++w) {
        const std::int32_t word = current_[static_cast<std::size_t>(w)];
        if (!refreshAll_ && word == previous_[static_cast<std::size_t>(w)])
            continue;
        for (int b = 0; b < 8; ++b) {
            const int index = diagnosi::ErrorIndex(w, b);
            const bool set = (word & (1 << b)) != 0;
            int row = findRow(index);
            if (row >= 0 && !set) {
                removeRow(row);
                continue;
            }
            if (row < 0 && set) {
                insertRow(index, description(index));
                row = 0;
            }
            if (set && w == 0 && (b == 0 || b == 1))
                setDescription(row, description(index) + injectorLetters(b == 0 ? kGasFaults : kPetrolFaults));
        }
    }

    TEcuProtocol* ecu = dm().Protocol();
    const int n = cylinders();
    if (ecu->IsConnected()) {
        // The petrol injector row follows the fault mask.
        const std::uint32_t m = readInjectorMask(kPetrolFaults);
        int row = findRow(1);
        if (m != 0) {
            if (row < 0) {
                insertRow(1, description(1));
                row = 0;
            }
            setDescription(row, description(1) + diagnosi::InjectorLettersText(diagnosi::MapCylinderMask(m, n)));
        } else if (row >= 0) {
            removeRow(row);
        }
        // Test pictures.
        const std::uint32_t faults = diagnosi::FaultPictureMask(m, n);
        for (auto& c : Letters) {
            const bool shown = !c.LabelInj->isHidden();
            c.ImageKo->setVisible(shown && (faults & c.letter.bit) != 0);
            c.ImageOk->setVisible(shown && c.ImageKo->isHidden());
        }
        // Exclusion pictures.
        std::int32_t e = 0;
        if (!ecu->ReadItem(kExclusionCode, &e))
            e = 0;
        for (auto& c : Letters) {
            const bool shown = !c.Label->isHidden();
            c.ImageOff->setVisible(shown && (static_cast<std::uint32_t>(e) & c.letter.bit) != 0);
            c.ImageOn->setVisible(shown && c.ImageOff->isHidden());
        }
    } else {
        for (auto& c : Letters) {
            c.ImageOk->setVisible(!c.LabelInj->isHidden());
            c.ImageKo->hide();
            c.ImageOn->setVisible(!c.Label->isHidden());
            c.ImageOff->hide();
        }
    }

    refreshAll_ = false;

    refreshCounters();
}

// ---------------------------------------------------------------------------
// Resets and the exclusion panel

void TFormDiagnosi::ImageResetClick()
{
    for (int w = 0; w < 5; ++w) {
        dm().SetDiagnosi(w, 1, 0);
        current_[static_cast<std::size_t>(w)] = dm().GetDiagnosi(w, 1);
        previous_[static_cast<std::size_t>(w)] = 255;
    }
    const std::int32_t zero[2] = {0, 0};
    dm().Protocol()->WriteItem(kResetCode, zero);
    ListDiagnosi->clear();
    ListCode->clear();
    refreshAll_ = true;
    RefreshDiagnostics();
}

bool TFormDiagnosi::exclusionAllowed() const
{
    return dm().Protocol()->IsConnected() && dm().GetItem15() >= 2 && !dm().GetModificaSequenza();
}

void TFormDiagnosi::ImageOffClick(plat::PictureButton* picture) { changeExclusion(picture, true); }

void TFormDiagnosi::ImageOnClick(plat::PictureButton* picture) { changeExclusion(picture, false); }

void TFormDiagnosi::changeExclusion(plat::PictureButton* picture, bool exclude)
{
    if (!picture || !exclusionAllowed())
        return;
    std::int32_t e = 0;
    dm().Protocol()->ReadItem(kExclusionCode, &e);
    e = exclude ? (e | picture->tag()) : (e & ~picture->tag());
    dm().Protocol()->WriteValue(kExclusionCode, e);
    RefreshDiagnostics();
    QApplication::beep();
}
