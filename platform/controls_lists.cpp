#include "platform/controls_lists.h"

#include "platform/colors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

namespace platform {

namespace {

[[noreturn]] void badIndex()
{
    vb::raise(vb::errBadPropertyIndex);
}

[[noreturn]] void badValue()
{
    vb::raise(vb::errBadPropertyValue);
}

}  // namespace

// --- ComboBox --------------------------------------------------------------

ComboBox::ComboBox(const QString& name, QWidget* parent, int style)
    : Control(name, parent), m_combo(new QComboBox(this)), m_style(style == vbComboDropdownList ? style : vbComboDropdown)
{
    setDefaultColors(vb::vbWindowText, vb::vbWindowBackground);
    setInner(m_combo);
    if (m_style == vbComboDropdown) {
        m_combo->setEditable(true);
        setUpEdit();
    }
    connect(m_combo, &QComboBox::activated, this, [this] { raise(Click, "Click"); });
}

void ComboBox::setUpEdit()
{
    QLineEdit* edit = m_combo->lineEdit();
    // Typed text is the program's to use: not added to the list, not completed.
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setCompleter(nullptr);
    // Keys, input-method text and the focus go to the box itself, which hands
    // them to its edit field directly, past any filter on the field: the
    // box's events are the ones to look at (Enter on a typed number).
    setKeyTarget(m_combo);
    connect(edit, &QLineEdit::textEdited, this, [this] { raise(Change, "Change"); });
    // A text put in by the program or chosen from the list reads from its
    // start; Qt would leave it scrolled to its end, its first letters cut
    // off where it is wider than the field. What the user types stays as typed.
    connect(edit, &QLineEdit::textChanged, this, [edit] {
        if (!edit->isModified())
            edit->setCursorPosition(0);
    });
}

void ComboBox::checkRow(int index) const
{
    if (index < 0 || index >= m_combo->count())
        badIndex();
}

void ComboBox::AddItem(const QString& item, int index)
{
    if (index < -1 || index > m_combo->count())
        vb::raise(vb::errInvalidCall);
    // The box takes its first row as the current one; the list's new row
    // must not change what the box shows.
    const int current = m_combo->currentIndex();
    const QString text = m_combo->currentText();
    const QSignalBlocker block(m_combo);
    m_combo->insertItem(index < 0 ? m_combo->count() : index, item);
    if (current < 0) {
        m_combo->setCurrentIndex(-1);
        if (m_combo->isEditable())
            m_combo->setEditText(text);
    }
}

void ComboBox::RemoveItem(int index)
{
    if (index < 0 || index >= m_combo->count())
        vb::raise(vb::errInvalidCall);
    const bool wasCurrent = index == m_combo->currentIndex();
    const QString text = m_combo->currentText();
    const QSignalBlocker block(m_combo);
    m_combo->removeItem(index);
    if (wasCurrent) {
        m_combo->setCurrentIndex(-1);
        if (m_combo->isEditable())
            m_combo->setEditText(text);
    }
}

void ComboBox::Clear()
{
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    if (m_combo->isEditable())
        m_combo->setEditText(QString());
}

int ComboBox::ListCount() const
{
    return m_combo->count();
}

QString ComboBox::List(int index) const
{
    if (index < -1)
        badIndex();
    return index >= 0 && index < m_combo->count() ? m_combo->itemText(index) : QString();
}

void ComboBox::setList(int index, const QString& item)
{
    checkRow(index);
    m_combo->setItemText(index, item);
}

qint32 ComboBox::ItemData(int index) const
{
    checkRow(index);
    return m_combo->itemData(index).toInt();
}

void ComboBox::setItemData(int index, qint32 data)
{
    checkRow(index);
    m_combo->setItemData(index, data);
}

int ComboBox::ListIndex() const
{
    const int index = m_combo->currentIndex();
    if (index < 0 || (m_combo->isEditable() && m_combo->itemText(index) != m_combo->currentText()))
        return -1;
    return index;
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= m_combo->count())
        badValue();
    {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(index);
        if (m_combo->isEditable() && index >= 0)
            m_combo->setEditText(m_combo->itemText(index));
    }
    raise(Click, "Click");
}

QString ComboBox::Text() const
{
    if (m_combo->isEditable())
        return m_combo->currentText();
    return m_combo->currentIndex() >= 0 ? m_combo->itemText(m_combo->currentIndex()) : QString();
}

void ComboBox::setText(const QString& text)
{
    if (!m_combo->isEditable()) {
        const int row = m_combo->findText(text, Qt::MatchFixedString);
        if (row < 0)
            vb::raise(383, QStringLiteral("'Text' property is read-only"));
        setListIndex(row);
        return;
    }
    const bool changed = text != m_combo->currentText();
    {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(m_combo->findText(text, Qt::MatchExactly));
        m_combo->setEditText(text);
    }
    if (changed)
        raise(Change, "Change");
}

void ComboBox::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    auto* other = dynamic_cast<const ComboBox*>(&model);
    if (!other)
        return;
    if (other->m_style != m_style) {
        m_style = other->m_style;
        m_combo->setEditable(m_style == vbComboDropdown);
        if (m_combo->isEditable())
            setUpEdit();
    }
    for (int i = 0; i < other->ListCount(); ++i) {
        AddItem(other->List(i));
        m_combo->setItemData(i, other->m_combo->itemData(i));
    }
    {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(other->m_combo->currentIndex());
        if (m_combo->isEditable())
            m_combo->setEditText(other->Text());
    }
    Click = other->Click;
    Change = other->Change;
}

// --- ListControl -----------------------------------------------------------

ListControl::ListControl(const QString& name, QWidget* parent) : Control(name, parent), m_list(new QListWidget(this))
{
    setDefaultColors(vb::vbWindowText, vb::vbWindowBackground);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    setInner(m_list);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_quiet)
            raise(Click, "Click");
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { doubleClicked(indexOf(m_list->row(item))); });
}

int ListControl::ListCount() const
{
    return m_list->count();
}

QString ListControl::List(int index) const
{
    const int row = rowOf(index);
    return row >= 0 && row < m_list->count() ? m_list->item(row)->text() : QString();
}

int ListControl::ListIndex() const
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : indexOf(m_list->row(selected.first()));
}

bool ListControl::validIndex(int index) const
{
    const int row = rowOf(index);
    return index == -1 || (row >= 0 && row < m_list->count());
}

void ListControl::setListIndex(int index)
{
    if (!validIndex(index))
        badValue();
    m_quiet = true;
    const int row = rowOf(index);
    if (row < 0) {
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
    } else {
        m_list->setCurrentRow(row);
        m_list->scrollToItem(m_list->item(row));
    }
    m_quiet = false;
    raise(Click, "Click");
}

QString ListControl::Text() const
{
    const int index = ListIndex();
    return m_list->selectedItems().isEmpty() ? QString() : List(index);
}

void ListControl::doubleClicked(int)
{
    raise(DblClick, "DblClick");
}

// --- ListBox ---------------------------------------------------------------

ListBox::ListBox(const QString& name, QWidget* parent) : ListControl(name, parent) {}

void ListBox::AddItem(const QString& item, int index)
{
    if (index < -1 || index > m_list->count())
        vb::raise(vb::errInvalidCall);
    m_quiet = true;
    m_list->insertItem(index < 0 ? m_list->count() : index, item);
    m_quiet = false;
}

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= m_list->count())
        vb::raise(vb::errInvalidCall);
    m_quiet = true;
    const bool wasSelected = m_list->item(index)->isSelected();
    delete m_list->takeItem(index);
    if (wasSelected)
        m_list->clearSelection();
    m_quiet = false;
}

void ListBox::Clear()
{
    m_quiet = true;
    m_list->clear();
    m_quiet = false;
}

void ListBox::setList(int index, const QString& item)
{
    if (index < 0 || index >= m_list->count())
        badIndex();
    m_list->item(index)->setText(item);
}

qint32 ListBox::ItemData(int index) const
{
    if (index < 0 || index >= m_list->count())
        badIndex();
    return m_list->item(index)->data(Qt::UserRole).toInt();
}

void ListBox::setItemData(int index, qint32 data)
{
    if (index < 0 || index >= m_list->count())
        badIndex();
    m_list->item(index)->setData(Qt::UserRole, data);
}

void ListBox::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    auto* other = dynamic_cast<const ListBox*>(&model);
    if (!other)
        return;
    for (int i = 0; i < other->ListCount(); ++i) {
        AddItem(other->List(i));
        setItemData(i, other->ItemData(i));
    }
    Click = other->Click;
    DblClick = other->DblClick;
}

}  // namespace platform
