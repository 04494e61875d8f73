#include "platform/controls_text.h"

#include "platform/colors.h"

#include <QApplication>
#include <QHash>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QValidator>

#include <algorithm>
#include <functional>

namespace platform {

namespace {

// The program's style, except that a password box masks with its own
// character where the style would show a bullet.
class MaskingStyle : public QProxyStyle {
public:
    MaskingStyle(QChar mask, QStyle* base) : QProxyStyle(base), m_mask(mask) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_mask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    QChar m_mask;
};

// One style per mask character, kept for the program's run (a widget does
// not own the style it is given).
QStyle* maskingStyle(QChar mask)
{
    static auto* styles = new QHash<QChar, QStyle*>;
    QStyle*& style = (*styles)[mask];
    if (!style)
        style = new MaskingStyle(mask, QStyleFactory::create(QApplication::style()->name()));
    return style;
}

}  // namespace

// Refuses typing beyond the limit. Text the program put in may be longer;
// the user can still shorten it, but not lengthen it.
class MaxLengthValidator : public QValidator {
public:
    explicit MaxLengthValidator(QObject* parent) : QValidator(parent) {}
    int maximum = 0;
    int accepted = 0;  // length of the text as it stands
    TextBox::LengthCount count = TextBox::LengthCount::characters;
    std::function<void()> refused;

    int lengthOf(const QString& text) const
    {
        if (count == TextBox::LengthCount::characters)
            return int(text.size());
        return int(std::count_if(text.begin(), text.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19);
        }));
    }

    State validate(QString& input, int&) const override
    {
        const int length = lengthOf(input);
        if (maximum > 0 && length > maximum && length > accepted) {
            if (refused)
                refused();
            return Invalid;
        }
        return Acceptable;
    }
};

TextBox::TextBox(const QString& name, QWidget* parent)
    : Control(name, parent), m_edit(new QLineEdit(this)), m_validator(new MaxLengthValidator(this))
{
    setDefaultColors(vb::vbWindowText, vb::vbWindowBackground);
    m_edit->setMaxLength(32767);
    m_edit->setValidator(m_validator);
    setInner(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_validator->accepted = m_validator->lengthOf(text);
        raise(Change, "Change");
    });
    // Told once the edit is over: the validator runs inside it.
    m_validator->refused = [this] {
        if (m_refusalDue)
            return;
        m_refusalDue = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_refusalDue = false;
                raise(LengthRefused, "LengthRefused");
            },
            Qt::QueuedConnection);
    };
}

TextBox::~TextBox() = default;

QString TextBox::Text() const
{
    return m_edit->text();
}

void TextBox::setText(const QString& text)
{
    // The box checks its text as it takes it: a long text from the program
    // must count as valid, or the typing limit would stop working.
    m_validator->accepted = m_validator->lengthOf(text);
    m_edit->setText(text);
}

void TextBox::setMaxLength(int length)
{
    if (length < 0)
        vb::raise(vb::errBadPropertyValue);
    m_maxLength = length;
    m_validator->maximum = length;
}

void TextBox::setLengthCount(LengthCount count)
{
    m_validator->count = count;
    m_validator->accepted = m_validator->lengthOf(m_edit->text());
}

int TextBox::SelStart() const
{
    return m_edit->hasSelectedText() ? m_edit->selectionStart() : m_edit->cursorPosition();
}

void TextBox::setSelStart(int start)
{
    if (start < 0)
        vb::raise(vb::errBadPropertyValue);
    m_edit->setCursorPosition(qMin(start, int(m_edit->text().size())));
}

int TextBox::SelLength() const
{
    return int(m_edit->selectedText().size());
}

void TextBox::setSelLength(int length)
{
    if (length < 0)
        vb::raise(vb::errBadPropertyValue);
    const int start = SelStart();
    const int end = qMin(int(m_edit->text().size()), start + length);
    if (end > start)
        m_edit->setSelection(start, end - start);
    else
        m_edit->setCursorPosition(start);
}

QString TextBox::SelText() const
{
    return m_edit->selectedText();
}

void TextBox::setSelText(const QString& text)
{
    // Put in by the program: the typing limit does not apply.
    const int maximum = m_validator->maximum;
    m_validator->maximum = 0;
    m_edit->insert(text);
    m_validator->maximum = maximum;
}

bool TextBox::Locked() const
{
    return m_edit->isReadOnly();
}

void TextBox::setLocked(bool on)
{
    m_edit->setReadOnly(on);
}

void TextBox::setPasswordChar(const QString& character)
{
    m_passwordChar = character.left(1);
    m_edit->setStyle(m_passwordChar.isEmpty() ? nullptr : maskingStyle(m_passwordChar.at(0)));
    m_edit->setEchoMode(m_passwordChar.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

void TextBox::setIMEMode(int mode)
{
    if (mode < 0)
        vb::raise(vb::errBadPropertyValue);
    m_imeMode = mode;
    const bool off = mode == 2 || mode == 3;
    m_edit->setInputMethodHints(off ? Qt::ImhLatinOnly | Qt::ImhNoPredictiveText : Qt::ImhNone);
    m_edit->setAttribute(Qt::WA_InputMethodEnabled, mode != 3);
}

int TextBox::Alignment() const
{
    const Qt::Alignment a = m_edit->alignment();
    return a.testFlag(Qt::AlignRight) ? 1 : a.testFlag(Qt::AlignHCenter) ? 2 : 0;
}

void TextBox::setAlignment(int alignment)
{
    if (alignment < 0 || alignment > 2)
        vb::raise(vb::errBadPropertyValue);
    const Qt::Alignment horizontal = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    m_edit->setAlignment(horizontal | Qt::AlignVCenter);
}

void TextBox::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const TextBox*>(&model)) {
        setMaxLength(other->m_maxLength);
        setLengthCount(other->m_validator->count);
        setLocked(other->Locked());
        setPasswordChar(other->m_passwordChar);
        setIMEMode(other->m_imeMode);
        setAlignment(other->Alignment());
        setText(other->Text());
        Change = other->Change;
        LengthRefused = other->LengthRefused;
    }
}

}  // namespace platform
