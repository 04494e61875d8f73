#include "platform/controls_buttons.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace platform {

namespace {

// The user's click toggles between checked and unchecked only; grayed is
// for the program to set.
class TwoWayCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

// A click on the selected option leaves it selected.
class StayingRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override { setChecked(true); }
};

void invalidValue()
{
    vb::raise(vb::errBadPropertyValue);
}

}  // namespace

// --- CommandButton ---------------------------------------------------------

CommandButton::CommandButton(const QString& name, QWidget* parent)
    : Control(name, parent), m_button(new QPushButton(this))
{
    // Enter on a focused button clicks it, as Space does.
    m_button->setAutoDefault(true);
    setInner(m_button);
    connect(m_button, &QPushButton::clicked, this, [this] { raise(Click, "Click"); });
}

QString CommandButton::Caption() const
{
    return m_button->text();
}

void CommandButton::setCaption(const QString& caption)
{
    m_button->setText(caption);
}

void CommandButton::setDefault(bool on)
{
    if (on) {
        for (CommandButton* other : window()->findChildren<CommandButton*>()) {
            if (other != this && other->m_default)
                other->setDefault(false);
        }
        if (m_defaultKeys.isEmpty()) {
            for (QKeySequence keys : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
                auto* shortcut = new QShortcut(keys, this);
                shortcut->setContext(Qt::WindowShortcut);
                connect(shortcut, &QShortcut::activated, this, &CommandButton::shortcutActivated);
                m_defaultKeys << shortcut;
            }
        }
    }
    m_default = on;
    for (QShortcut* shortcut : m_defaultKeys)
        shortcut->setEnabled(on);
}

void CommandButton::setCancel(bool on)
{
    if (on) {
        for (CommandButton* other : window()->findChildren<CommandButton*>()) {
            if (other != this && other->m_cancel)
                other->setCancel(false);
        }
        if (!m_cancelKey) {
            m_cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
            m_cancelKey->setContext(Qt::WindowShortcut);
            connect(m_cancelKey, &QShortcut::activated, m_button, &QPushButton::click);
        }
    }
    m_cancel = on;
    if (m_cancelKey)
        m_cancelKey->setEnabled(on);
}

void CommandButton::shortcutActivated()
{
    // Enter on another button clicks that button, not the default one.
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (focused && focused != m_button && qobject_cast<CommandButton*>(focused->parentWidget())) {
        focused->click();
        return;
    }
    m_button->click();
}

void CommandButton::setValue(bool pressed)
{
    if (pressed)
        raise(Click, "Click");
}

void CommandButton::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const CommandButton*>(&model)) {
        setCaption(other->Caption());
        Click = other->Click;
    }
}

// --- CheckBox --------------------------------------------------------------

CheckBox::CheckBox(const QString& name, QWidget* parent) : Control(name, parent), m_box(new TwoWayCheckBox(this))
{
    m_box->setTristate(true);
    setInner(m_box);
    connect(m_box, &QCheckBox::clicked, this, [this] { raise(Click, "Click"); });
}

QString CheckBox::Caption() const
{
    return m_box->text();
}

void CheckBox::setCaption(const QString& caption)
{
    m_box->setText(caption);
}

int CheckBox::Value() const
{
    switch (m_box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void CheckBox::setValue(int value)
{
    if (value < 0 || value > 2)
        invalidValue();
    if (value == Value())
        return;
    m_box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    raise(Click, "Click");
}

void CheckBox::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const CheckBox*>(&model)) {
        setCaption(other->Caption());
        m_box->setCheckState(other->m_box->checkState());
        Click = other->Click;
    }
}

// --- OptionButton ----------------------------------------------------------

OptionButton::OptionButton(const QString& name, QWidget* parent)
    : Control(name, parent), m_radio(new StayingRadioButton(this))
{
    // Exclusion is between the controls, not the Qt buttons inside them.
    m_radio->setAutoExclusive(false);
    setInner(m_radio);
    connect(m_radio, &QRadioButton::clicked, this, [this] { setValue(true); });
}

QString OptionButton::Caption() const
{
    return m_radio->text();
}

void OptionButton::setCaption(const QString& caption)
{
    m_radio->setText(caption);
}

void OptionButton::display(bool value)
{
    m_value = value;
    m_radio->setChecked(value);
}

void OptionButton::setValue(bool value)
{
    if (value == m_value) {
        m_radio->setChecked(value);
        return;
    }
    if (value && parentWidget()) {
        for (QObject* sibling : parentWidget()->children()) {
            auto* option = qobject_cast<OptionButton*>(sibling);
            if (option && option != this && option->m_value)
                option->display(false);
        }
    }
    display(value);
    if (value)
        raise(Click, "Click");
}

void OptionButton::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const OptionButton*>(&model)) {
        setCaption(other->Caption());
        Click = other->Click;
    }
}

// --- Label -----------------------------------------------------------------

Label::Label(const QString& name, QWidget* parent) : Control(name, parent), m_label(new QLabel(this))
{
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setAutoFillBackground(true);
    m_label->setFocusPolicy(Qt::NoFocus);
    setInner(m_label);
    setFocusPolicy(Qt::NoFocus);
    m_label->installEventFilter(this);
}

void Label::setCaption(const QString& caption)
{
    m_caption = caption;
    m_label->setText(caption);
    fitCaption();
}

void Label::setAlignment(int alignment)
{
    if (alignment < 0 || alignment > 2)
        invalidValue();
    m_alignment = alignment;
    const Qt::Alignment horizontal = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    m_label->setAlignment(horizontal | Qt::AlignTop);
}

void Label::setAutoSize(bool on)
{
    m_autoSize = on;
    fitCaption();
}

bool Label::WordWrap() const
{
    return m_label->wordWrap();
}

void Label::setWordWrap(bool on)
{
    m_label->setWordWrap(on);
    fitCaption();
}

void Label::setBorderStyle(int style)
{
    if (style < 0 || style > 1)
        invalidValue();
    m_borderStyle = style;
    m_label->setFrameStyle(style == 1 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    fitCaption();
}

void Label::setBackStyle(int style)
{
    if (style < 0 || style > 1)
        invalidValue();
    m_backStyle = style;
    m_label->setAutoFillBackground(style == 1);
    m_label->update();
}

void Label::fitCaption()
{
    if (!m_autoSize)
        return;
    if (m_label->wordWrap())
        resize(width(), m_label->heightForWidth(width()));
    else
        resize(m_label->sizeHint());
}

void Label::changeEvent(QEvent* event)
{
    Control::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitCaption();
}

bool Label::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label) {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            // The release that ends a double-click is no further click.
            const bool ending = m_doubleClicked;
            m_doubleClicked = false;
            if (!ending && mouse->button() == Qt::LeftButton && m_label->rect().contains(mouse->position().toPoint()))
                raise(Click, "Click");
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                m_doubleClicked = true;
                raise(DblClick, "DblClick");
            }
        }
    }
    return Control::eventFilter(watched, event);
}

void Label::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const Label*>(&model)) {
        setAlignment(other->m_alignment);
        setBorderStyle(other->m_borderStyle);
        setBackStyle(other->m_backStyle);
        setWordWrap(other->WordWrap());
        m_autoSize = other->m_autoSize;
        setCaption(other->m_caption);
        Click = other->Click;
        DblClick = other->DblClick;
    }
}

// --- Frame -----------------------------------------------------------------

Frame::Frame(const QString& name, QWidget* parent) : Control(name, parent), m_box(new QGroupBox(this))
{
    m_box->setFocusPolicy(Qt::NoFocus);
    setInner(m_box);
    setFocusPolicy(Qt::NoFocus);
    // The controls on the frame are made after it and lie above the box.
}

QString Frame::Caption() const
{
    return m_box->title();
}

void Frame::setCaption(const QString& caption)
{
    m_box->setTitle(caption);
}

void Frame::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const Frame*>(&model))
        setCaption(other->Caption());
}

}  // namespace platform
