#pragma once
// Shared by the window's source files: the builder that puts a page's
// controls in place and the table of captions by string number.
#include "FormConfig.h"

#include <QGridLayout>
#include <QWidget>
#include <vector>

class QFrame;

namespace cfgwin {

// A caption set by LoadTexts: the control (on its page or the live bar) and
// its string number.
struct Caption {
    const char* owner; // page name, or "PanelBarra"
    const char* name;
    int number;
};
const std::vector<Caption>& Captions();

} // namespace cfgwin

// Lays a page's controls out in a simple grid, in the order they are made,
// and names them. Controls listed in the caption table for the page that
// the page did not make itself are made by captions() from their name
// (Label/Lab: a label, Check: a check box, Radio: a radio button, Button: a
// push button).
class TFormConfig::PageBuilder {
public:
    PageBuilder(TFormConfig* form, QWidget* owner, const char* ownerName, int columns = 4);

    template <class T>
    T* add(const char* name)
    {
        auto* w = new T(owner_);
        place(w, name);
        return w;
    }
    QLabel* label(const char* name);
    TNumericEdit* edit(const char* name);
    TKeyComboBox* combo(const char* name);
    QCheckBox* check(const char* name);
    QRadioButton* radio(const char* name);
    plat::Shape* shape(const char* name);
    plat::PictureButton* picture(const char* name);
    QFrame* panel(const char* name);
    // A grid's place, until the grid's own unit takes it.
    QWidget* grid(const char* name);
    // Puts the window's correction-table grid of that name in its place.
    TCorrectionGrid* table(const char* name);
    void captions();

private:
    void place(QWidget* w, const char* name);

    TFormConfig* form_;
    QWidget* owner_;
    const char* ownerName_;
    QGridLayout* layout_;
    int columns_;
    int count_ = 0;
};
