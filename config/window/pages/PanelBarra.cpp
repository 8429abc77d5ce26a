// The live-data bar, moved onto whichever page is active.
#include "../FormConfigParts.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

void TFormConfig::BuildPanelBarra()
{
    PanelBarra = new QFrame(TabConfigurazione);
    PanelBarra->setObjectName(QStringLiteral("PanelBarra"));
    PanelBarra->setFrameShape(QFrame::Box);
    PanelBarra->setAutoFillBackground(true);
    Builder b(this, PanelBarra);
    auto* row = new QHBoxLayout;
    b.grid()->setContentsMargins(6, 4, 6, 4);
    b.grid()->addLayout(row, 0, 0);
    row->setSpacing(12);
    for (const char* name : {"ImageCommutatore", "ImageExtraInj", "ImageCutoff"}) {
        auto* p = b.picture(name, PanelBarra);
        row->addWidget(p);
        if (qstrcmp(name, "ImageCommutatore") == 0)
            ImageCommutatore = p;
        else if (qstrcmp(name, "ImageExtraInj") == 0)
            ImageExtraInj = p;
        else
            ImageCutoff = p;
    }
    // Each reading: its caption over its value.
    const std::pair<const char*, const char*> readings[] = {
        {"LabelGiri", "LabGiri"},       {"LabelInj", "LabApMot"},      {"LabelInjBenz", "LabApMotBenz"},
        {"LabelPress", "LabPressione"}, {"LabelPressColl", "LabPressioneColl"}, {"LabelTemp", "LabTemp"},
        {"LabelTempMot", "LabTempMot"}, {"LabelAdattaGas", "LabAdattaGas"}};
    for (auto [caption, value] : readings) {
        auto* pair = new QVBoxLayout;
        pair->addWidget(b.label(caption, PanelBarra), 0, Qt::AlignHCenter);
        auto* v = b.label(value, PanelBarra);
        v->setText(QStringLiteral("-"));
        pair->addWidget(v, 0, Qt::AlignHCenter);
        row->addLayout(pair);
    }
    for (const char* name : {"LabelLedExtraInj", "LabelCutoff", "LabelBenzina", "LabelDiagnosi"})
        row->addWidget(b.label(name, PanelBarra));
    ImagePallino = b.picture("ImagePallino", PanelBarra);
    ImagePallino->hide();
    row->addStretch(1);
}
