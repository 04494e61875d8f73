#pragma once
// Combo boxes and list boxes. Rows count from 0; ListIndex -1 is no row.
// Setting ListIndex in code raises Click at once, every time, also when it
// names the row already selected, so that a handler that marks the box
// before a selection by the program always sees its mark consumed.

#include "platform/controls_base.h"

class QComboBox;
class QListWidget;

namespace platform {

enum ComboStyle : int { vbComboDropdown = 0, vbComboDropdownList = 2 };

class ComboBox : public Control {
    Q_OBJECT
public:
    // Style 0: an edit field with a drop-down list; 2: a drop-down list only.
    ComboBox(const QString& name, QWidget* parent, int style = vbComboDropdown);

    int Style() const { return m_style; }

    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    QString List(int index) const;  // "" beyond the last row
    void setList(int index, const QString& item);
    qint32 ItemData(int index) const;
    void setItemData(int index, qint32 data);

    // The row whose text the box shows; -1 when none (or the text was edited).
    int ListIndex() const;
    void setListIndex(int index);

    // Style 0: the edit field's text; setting it raises Change when it
    // differs. Style 2: the selected row's text; setting it selects the
    // row with that text.
    QString Text() const;
    void setText(const QString& text);

    Event<> Click;   // a row chosen, by the user or by ListIndex
    Event<> Change;  // the edit field's text changed (style 0)

    QComboBox* comboBox() const { return m_combo; }
    void copyFrom(const Control& model) override;

private:
    void checkRow(int index) const;
    void setUpEdit();
    QComboBox* m_combo;
    int m_style;
};

// The part of list boxes that the file lists share.
class ListControl : public Control {
    Q_OBJECT
public:
    virtual int ListCount() const;
    virtual QString List(int index) const;  // "" beyond the last row
    int ListIndex() const;
    void setListIndex(int index);
    QString Text() const;  // the selected row's text, or ""

    Event<> Click, DblClick;

    QListWidget* listWidget() const { return m_list; }

protected:
    ListControl(const QString& name, QWidget* parent);
    // Rows of the widget against indices of the control (the directory list
    // shows its parents before row 0).
    virtual int rowOf(int index) const { return index; }
    virtual int indexOf(int row) const { return row; }
    virtual void doubleClicked(int index);
    bool validIndex(int index) const;

    QListWidget* m_list;
    bool m_quiet = false;  // the program is changing the rows
};

class ListBox : public ListControl {
    Q_OBJECT
public:
    ListBox(const QString& name, QWidget* parent);

    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    void Clear();
    void setList(int index, const QString& item);
    qint32 ItemData(int index) const;
    void setItemData(int index, qint32 data);

    void copyFrom(const Control& model) override;
};

}  // namespace platform
