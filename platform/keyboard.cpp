#include "platform/keyboard.h"

#include "platform/events.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMap>
#include <QSet>

namespace platform {

namespace {

bool s_retyping = false;

class KeyTracker : public QObject {
public:
    QSet<int> down;
    QMap<int, bool> forced;

    void note(const QKeyEvent& event)
    {
        const int code = keyCodeOf(event);
        if (code == 0)
            return;
        if (event.type() == QEvent::KeyPress)
            down.insert(code);
        else if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat())
            down.remove(code);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            note(*static_cast<QKeyEvent*>(event));
            break;
        case QEvent::ApplicationStateChange:
            // Releases made while another program had the keyboard never arrive.
            if (QGuiApplication::applicationState() != Qt::ApplicationActive)
                down.clear();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

KeyTracker& tracker()
{
    static KeyTracker* instance = new KeyTracker;
    return *instance;
}

int qtKeyForAscii(int ascii)
{
    switch (ascii) {
    case 8: return Qt::Key_Backspace;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    case 32: return Qt::Key_Space;
    default: break;
    }
    if (ascii >= '0' && ascii <= '9')
        return Qt::Key_0 + (ascii - '0');
    if (ascii >= 'A' && ascii <= 'Z')
        return Qt::Key_A + (ascii - 'A');
    if (ascii >= 'a' && ascii <= 'z')
        return Qt::Key_A + (ascii - 'a');
    return Qt::Key_unknown;
}

}  // namespace

int keyCodeOf(const QKeyEvent& event)
{
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? vb::vbKeyNumpad0 + (key - Qt::Key_0) : vb::vbKey0 + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return vb::vbKeyA + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vb::vbKeyF1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return vb::vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vb::vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vb::vbKeyReturn;
    case Qt::Key_Shift: return vb::vbKeyShift;
    case Qt::Key_Control: return vb::vbKeyControl;
    case Qt::Key_Alt: return vb::vbKeyMenu;
    case Qt::Key_Escape: return vb::vbKeyEscape;
    case Qt::Key_Space: return vb::vbKeySpace;
    case Qt::Key_PageUp: return vb::vbKeyPageUp;
    case Qt::Key_PageDown: return vb::vbKeyPageDown;
    case Qt::Key_End: return vb::vbKeyEnd;
    case Qt::Key_Home: return vb::vbKeyHome;
    case Qt::Key_Left: return vb::vbKeyLeft;
    case Qt::Key_Up: return vb::vbKeyUp;
    case Qt::Key_Right: return vb::vbKeyRight;
    case Qt::Key_Down: return vb::vbKeyDown;
    case Qt::Key_Insert: return vb::vbKeyInsert;
    case Qt::Key_Delete: return vb::vbKeyDelete;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 0;
    case Qt::Key_Minus: return keypad ? 109 : 0;
    case Qt::Key_Period: return keypad ? 110 : 0;
    case Qt::Key_Slash: return keypad ? 111 : 0;
    default: return 0;
    }
}

int shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0)
        | (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int keyAsciiOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return 0;
    default: break;
    }
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const QChar c = text.at(0);
    if (event.modifiers().testFlag(Qt::ControlModifier) && c.isLetter() && c.unicode() < 128)
        return c.toUpper().unicode() - 'A' + 1;
    if (c.unicode() == 127)
        return 0;
    return c.unicode();
}

void retypeKey(QWidget* receiver, const QKeyEvent& original, int keyAscii)
{
    if (!receiver || keyAscii <= 0)
        return;
    const Qt::KeyboardModifiers modifiers = original.modifiers() & Qt::ShiftModifier;
    QKeyEvent retyped(QEvent::KeyPress, qtKeyForAscii(keyAscii), modifiers, QString(QChar(keyAscii)),
                      original.isAutoRepeat());
    const bool previous = s_retyping;
    s_retyping = true;
    QCoreApplication::sendEvent(receiver, &retyped);
    s_retyping = previous;
}

bool isRetypedKey()
{
    return s_retyping;
}

bool keyIsDown(int keyCode)
{
    installKeyTracker();
    KeyTracker& keys = tracker();
    if (keys.forced.contains(keyCode))
        return keys.forced.value(keyCode);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
        if ((keyCode == vb::vbKeyShift && modifiers.testFlag(Qt::ShiftModifier))
            || (keyCode == vb::vbKeyControl && modifiers.testFlag(Qt::ControlModifier))
            || (keyCode == vb::vbKeyMenu && modifiers.testFlag(Qt::AltModifier)))
            return true;
    }
    return keys.down.contains(keyCode);
}

void installKeyTracker()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    QCoreApplication::instance()->installEventFilter(&tracker());
}

void setKeyDown(int keyCode, bool down)
{
    tracker().forced.insert(keyCode, down);
}

void clearForcedKeys()
{
    tracker().forced.clear();
}

KeyPreview::KeyPreview(QWidget* window) : QObject(window), m_window(window)
{
    installKeyTracker();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    if (!enabled || !m_window || isRetypedKey() || !watched->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver != m_window && !m_window->isAncestorOf(receiver))
        return false;
    if (event == m_lastEvent && m_lastReceiver && receiver != m_lastReceiver && receiver->isAncestorOf(m_lastReceiver))
        return false;  // the same key on its way up to the parents
    m_lastEvent = event;
    m_lastReceiver = receiver;
    auto* key = static_cast<QKeyEvent*>(event);
    // A key the preview takes away must still count as held or released.
    tracker().note(*key);
    return handle(receiver, key);
}

bool KeyPreview::handle(QWidget* receiver, QKeyEvent* event)
{
    const QString prefix = m_window->objectName().isEmpty() ? QString() : m_window->objectName() + QLatin1Char('.');
    const int code = keyCodeOf(*event);
    if (code == vb::vbKeyTab)
        return false;  // moves the focus; no key event
    const int shift = shiftStateOf(event->modifiers());
    if (event->type() == QEvent::KeyRelease) {
        if (event->isAutoRepeat() || code == 0 || !KeyUp)
            return false;
        int keyCode = code;
        auto handler = KeyUp;
        dispatch(prefix + QStringLiteral("Form_KeyUp"), [&] { handler(keyCode, shift); });
        return keyCode == 0;
    }
    if (code != 0 && KeyDown) {
        int keyCode = code;
        auto handler = KeyDown;
        dispatch(prefix + QStringLiteral("Form_KeyDown"), [&] { handler(keyCode, shift); });
        if (keyCode == 0)
            return true;
    }
    const int ascii = keyAsciiOf(*event);
    if (ascii != 0 && KeyPress) {
        int keyAscii = ascii;
        auto handler = KeyPress;
        dispatch(prefix + QStringLiteral("Form_KeyPress"), [&] { handler(keyAscii); });
        if (keyAscii == 0)
            return true;
        if (keyAscii != ascii) {
            retypeKey(receiver, *event, keyAscii);
            return true;
        }
    }
    return false;
}

}  // namespace platform
