#include "plat/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace plat {

namespace {

QMessageBox::StandardButton buttonOf(int answer)
{
    switch (answer) {
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    case IDCANCEL:
        return QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

int answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

} // namespace

int QtPrompts::ask(const PromptRequest& r)
{
    QMessageBox box;
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.icon) {
    case PromptIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case PromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case PromptIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (r.buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    box.setDefaultButton(buttonOf(DefaultAnswerOf(r)));
    // Disabled windows (the wait form disables all of them) must not own the
    // box; it stays parentless and therefore usable.
    const int result = box.exec();
    if (r.buttons == PromptButtons::YesNo && result != QMessageBox::Yes && result != QMessageBox::No)
        return IDNO; // closed from the title bar: the same as No
    return answerOf(result);
}

void TopLevelWindows::sendToAll(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // Copy as guarded pointers: a handler may close a window.
    QList<QPointer<QWidget>> targets;
    for (QWidget* w : QApplication::topLevelWidgets())
        targets.append(w);
    for (const QPointer<QWidget>& w : targets)
        if (w)
            SendWindowMessage(w.data(), message, wParam, lParam);
}

} // namespace plat
