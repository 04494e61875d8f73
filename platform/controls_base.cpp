#include "platform/controls_base.h"

#include "platform/application.h"
#include "platform/colors.h"
#include "platform/keyboard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

namespace platform {

namespace {

quint64 nextSequence()
{
    static quint64 sequence = 0;
    return ++sequence;
}

bool countsAsFocusChange(const QEvent* event)
{
    // Another program or a menu taking the keyboard for a while is no move
    // of the focus inside the window.
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

Control::Control(const QString& name, QWidget* parent)
    : QWidget(parent), m_sequence(nextSequence()), m_foreColor(vb::vbButtonText), m_backColor(vb::vbButtonFace)
{
    setObjectName(name);
    installKeyTracker();
    // Made after its window was shown: it shows at once, as one made with the window does.
    if (parent && parent->isVisible())
        show();
}

Control::~Control() = default;

QString Control::procedure(const char* event) const
{
    return Name() + QLatin1Char('_') + QLatin1String(event);
}

int Control::Left() const
{
    return pixelsToTwips(x());
}

int Control::Top() const
{
    return pixelsToTwips(y());
}

int Control::Width() const
{
    return pixelsToTwips(width());
}

int Control::Height() const
{
    return pixelsToTwips(height());
}

void Control::setLeft(int twips)
{
    move(twipsToPixels(twips), y());
}

void Control::setTop(int twips)
{
    move(x(), twipsToPixels(twips));
}

void Control::setWidth(int twips)
{
    Move(Left(), Top(), twips, -1);
}

void Control::setHeight(int twips)
{
    Move(Left(), Top(), -1, twips);
}

void Control::Move(int left, int top, int width, int height)
{
    const int w = width < 0 ? this->width() : twipsToPixels(width);
    const int h = height < 0 ? this->height() : twipsToPixels(height);
    setGeometry(twipsToPixels(left), twipsToPixels(top), w, h);
}

void Control::setAlign(int align)
{
    m_align = align;
    if (QWidget* container = parentWidget()) {
        container->removeEventFilter(this);
        if (align != 0)
            container->installEventFilter(this);
    }
    layoutDocked();
}

void Control::layoutDocked()
{
    QWidget* container = parentWidget();
    if (!container)
        return;
    std::vector<Control*> docked;
    for (QObject* child : container->children()) {
        auto* control = qobject_cast<Control*>(child);
        if (control && control->m_align != 0 && control->Visible())
            docked.push_back(control);
    }
    std::sort(docked.begin(), docked.end(), [](Control* a, Control* b) { return a->m_sequence < b->m_sequence; });
    int top = 0;
    int bottom = container->height();
    for (Control* control : docked) {
        const int h = control->height();
        if (control->m_align == 1) {
            control->setGeometry(0, top, container->width(), h);
            top += h;
        } else {
            bottom -= h;
            control->setGeometry(0, bottom, container->width(), h);
        }
    }
}

bool Control::Visible() const
{
    return parentWidget() ? isVisibleTo(parentWidget()) : isVisible();
}

bool Control::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

QString Control::ToolTipText() const
{
    return toolTip();
}

void Control::setToolTipText(const QString& text)
{
    setToolTip(text);
    if (m_inner)
        m_inner->setToolTip(text);
}

void Control::setForeColor(qint32 color)
{
    m_foreColor = color;
    m_colorsSet = true;
    applyColors();
}

void Control::setBackColor(qint32 color)
{
    m_backColor = color;
    m_colorsSet = true;
    applyColors();
}

void Control::setDefaultColors(qint32 fore, qint32 back)
{
    m_foreColor = fore;
    m_backColor = back;
}

void Control::applyColors()
{
    if (!m_inner || !m_colorsSet)
        return;
    QPalette palette = m_inner->palette();
    const QColor fore = toQColor(m_foreColor);
    const QColor back = toQColor(m_backColor);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, fore);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    m_inner->setPalette(palette);
}

double Control::FontSize() const
{
    return font().pointSizeF();
}

bool Control::FontBold() const
{
    return font().bold();
}

bool Control::FontItalic() const
{
    return font().italic();
}

bool Control::FontUnderline() const
{
    return font().underline();
}

bool Control::FontStrikethrough() const
{
    return font().strikeOut();
}

void Control::setFontName(const QString& name)
{
    QFont f = font();
    f.setFamily(name);
    setFont(f);
}

void Control::setFontSize(double points)
{
    if (points <= 0)
        vb::raise(vb::errBadPropertyValue);
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
}

void Control::setFontBold(bool on)
{
    QFont f = font();
    f.setBold(on);
    setFont(f);
}

void Control::setFontItalic(bool on)
{
    QFont f = font();
    f.setItalic(on);
    setFont(f);
}

void Control::setFontUnderline(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}

void Control::setFontStrikethrough(bool on)
{
    QFont f = font();
    f.setStrikeOut(on);
    setFont(f);
}

bool Control::TabStop() const
{
    const QWidget* target = m_keyTarget ? m_keyTarget.data() : this;
    return target->focusPolicy() & Qt::TabFocus;
}

void Control::setTabStop(bool on)
{
    QWidget* target = m_keyTarget ? m_keyTarget.data() : this;
    if (target->focusPolicy() == Qt::NoFocus)
        return;
    target->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void Control::SetFocus()
{
    if (!Visible() || !Enabled())
        vb::raise(vb::errInvalidCall);
    QWidget* target = m_keyTarget ? m_keyTarget.data() : this;
    target->setFocus(Qt::OtherFocusReason);
    // The focus of a window that is not the active one would show its caret
    // while the keys go to another window (the one a closed box gave the
    // keyboard back to): the control's window is activated, as the user
    // would click it.
    QWidget* window = target->window();
    const QWidget* modal = QApplication::activeModalWidget();
    if (window->isVisible() && !window->isActiveWindow() && (!modal || modal == window))
        window->activateWindow();
}

void Control::copyFrom(const Control& model)
{
    setGeometry(model.geometry());
    Tag = model.Tag;
    setToolTipText(model.ToolTipText());
    setFont(model.font());
    setEnabled(model.Enabled());
    if (model.m_colorsSet) {
        m_foreColor = model.m_foreColor;
        m_backColor = model.m_backColor;
        m_colorsSet = true;
        applyColors();
    }
    setTabStop(model.TabStop());
    GotFocus = model.GotFocus;
    LostFocus = model.LostFocus;
    KeyDown = model.KeyDown;
    KeyUp = model.KeyUp;
    KeyPress = model.KeyPress;
}

void Control::setInner(QWidget* inner)
{
    m_inner = inner;
    inner->setParent(this);
    inner->setGeometry(rect());
    inner->show();
    setFocusProxy(inner);
    setKeyTarget(inner);
    applyColors();
}

void Control::setKeyTarget(QWidget* target)
{
    if (m_keyTarget)
        m_keyTarget->removeEventFilter(this);
    m_keyTarget = target;
    if (target)
        target->installEventFilter(this);
}

void Control::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_inner)
        m_inner->setGeometry(rect());
}

bool Control::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && m_align != 0) {
        layoutDocked();
        return false;
    }
    if (watched != m_keyTarget.data())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (countsAsFocusChange(event))
            raise(GotFocus, "GotFocus");
        return false;
    case QEvent::FocusOut:
        if (countsAsFocusChange(event))
            raise(LostFocus, "LostFocus");
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return handleKey(static_cast<QKeyEvent*>(event));
    default:
        return QWidget::eventFilter(watched, event);
    }
}

bool Control::handleKey(QKeyEvent* event)
{
    static bool retyping = false;  // our own changed key coming back
    if (retyping)
        return false;
    const int code = keyCodeOf(*event);
    if (code == vb::vbKeyTab)
        return false;  // moves the focus; no key event
    const int shift = shiftStateOf(event->modifiers());
    if (event->type() == QEvent::KeyRelease) {
        if (event->isAutoRepeat() || code == 0)
            return false;
        int keyCode = code;
        raise(KeyUp, "KeyUp", keyCode, shift);
        return keyCode == 0;
    }
    if (code != 0) {
        int keyCode = code;
        raise(KeyDown, "KeyDown", keyCode, shift);
        if (keyCode == 0)
            return true;
    }
    const int ascii = keyAsciiOf(*event);
    if (ascii == 0 || !KeyPress)
        return false;
    int keyAscii = ascii;
    raise(KeyPress, "KeyPress", keyAscii);
    if (keyAscii == 0)
        return true;
    if (keyAscii != ascii && m_keyTarget) {
        retyping = true;
        retypeKey(m_keyTarget, *event, keyAscii);
        retyping = false;
        return true;
    }
    return false;
}

}  // namespace platform
