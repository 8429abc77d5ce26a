#pragma once
// TKeyComboBox: the drop-down list in which the user picks a coded ECU
// parameter. It carries the binding to the ECU item (DataCode, DataIndex) for
// the window's handlers, the keyboard chain and the decorations of
// TNumericEdit. Its keyboard model: Enter opens and closes the list; a choice
// made with the list closed counts as an Enter at once; Esc in the open list
// returns to SavedIndex; Up and Down move along the chain while the list is
// closed and wrap around while it is open. The window commits when it sees
// Enter (keyPressed) with the list closed (IsDroppedDown false).
//
// In the open list the keys go to the list's view; the box filters them
// there. The mouse wheel changes the choice only while the box has the focus:
// a change with the list closed commits at once.
#include "DecoratedEditor.h"

#include <QComboBox>
#include <QPointer>

class TKeyComboBox : public complib::TDecoratedEditor<QComboBox>, public TFocusChainLink {
    Q_OBJECT
    Q_PROPERTY(int DataCode READ DataCode WRITE SetDataCode)
    Q_PROPERTY(int DataIndex READ DataIndex WRITE SetDataIndex)
    Q_PROPERTY(bool MoveFocus READ MoveFocus WRITE SetMoveFocus)
    Q_PROPERTY(bool UseUnitLabel READ UseUnitLabel WRITE SetUseUnitLabel)

public:
    explicit TKeyComboBox(QWidget* parent = nullptr);
    ~TKeyComboBox() override;

    int DataCode() const { return dataCode_; }
    void SetDataCode(int code) { dataCode_ = code; }
    int DataIndex() const { return dataIndex_; }
    void SetDataIndex(int index) { dataIndex_ = index; }
    // Stored only; it changes nothing.
    bool MoveFocus() const { return moveFocus_; }
    void SetMoveFocus(bool m) { moveFocus_ = m; }

    QWidget* NextControl() const override { return next_; }
    void SetNextControl(QWidget* w) { next_ = w; }
    QWidget* PrevControl() const override { return prev_; }
    void SetPrevControl(QWidget* w) { prev_ = w; }
    QWidget* FindNextControl() const;
    QWidget* FindPrevControl() const;

    // The list position Esc returns to.
    int SavedIndex() const { return savedIndex_; }
    // The box's own record of whether the list is dropped down.
    bool ListOpen() const { return listOpen_; }
    // Whether the list is dropped down now.
    bool IsDroppedDown() const;

    void showPopup() override;
signals:
    // Every character typed into the box, Enter included.
    void keyPressed(QChar key);
    // The user changed the choice (before a closed list commits it).
    void changed();
    void entered();
    void exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void character(QChar c, QKeyEvent* original);
    bool openListKey(QKeyEvent* e);
    void userChoice();
    void leave();
    bool inOwnList(const QWidget* w) const;
    int viewRow() const;
    void setViewRow(int row);

    int dataCode_ = -1;
    int dataIndex_ = -1;
    bool moveFocus_ = true;
    QPointer<QWidget> next_;
    QPointer<QWidget> prev_;
    int savedIndex_ = 0;
    bool listOpen_ = false;
    bool inside_ = false;
};
