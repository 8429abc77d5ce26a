#include "ConfigPage.h"

#include "config/window/FormConfig.h"

TConfigPage::TConfigPage(TFormConfig& form, QWidget* sheet)
    : QObject(&form), form_(form), sheet_(sheet), LoadingControls(form.LoadingControls)
{
    setObjectName(sheet->objectName() + QStringLiteral("Page"));
}

TConfigPage::~TConfigPage() = default;

TStreamDati& TConfigPage::dm() const { return form_.DataModule(); }
