#pragma once
// Keys as the program's handlers see them: key codes of the virtual-key
// table, the Shift argument (1 Shift, 2 Ctrl, 4 Alt), KeyAscii character
// codes, the state of a key at any moment, and a window's preview of the
// keys meant for its controls.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace vb {

// Key codes of the keys the program names.
enum KeyCode : int {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyShift = 16,
    vbKeyControl = 17,
    vbKeyMenu = 18,  // Alt
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyPageUp = 33,
    vbKeyPageDown = 34,
    vbKeyEnd = 35,
    vbKeyHome = 36,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40,
    vbKeyInsert = 45,
    vbKeyDelete = 46,
    vbKey0 = 48,
    vbKeyA = 65,
    vbKeyNumpad0 = 96,
    vbKeyF1 = 112,
};

}  // namespace vb

namespace platform {

// The key code of a key event (0 for keys without one).
int keyCodeOf(const QKeyEvent& event);
// The Shift argument of key and mouse events: 1 Shift, 2 Ctrl, 4 Alt.
int shiftStateOf(Qt::KeyboardModifiers modifiers);
// The character code a key press types (13 Enter, 27 Esc, 8 Backspace), or 0.
int keyAsciiOf(const QKeyEvent& event);
// Sends `receiver` a key press that types `keyAscii` in place of `original`,
// for handlers that change the key; previews do not see it again.
void retypeKey(QWidget* receiver, const QKeyEvent& original, int keyAscii);
bool isRetypedKey();  // true while such a press is delivered

// True while the key with that code is held down, read at the moment of the
// call (Shift, Ctrl and Alt from the keyboard's modifiers, other keys from
// the presses and releases the application has seen).
bool keyIsDown(int keyCode);
// Starts following presses and releases; controls and previews call it, so
// it runs before the first window takes keys. Idempotent.
void installKeyTracker();
// Tests: force a key's state until cleared.
void setKeyDown(int keyCode, bool down);
void clearForcedKeys();

// A window's key preview: its handlers see every key meant for a control of
// the window before the control does. A handler that sets KeyCode or
// KeyAscii to 0 takes the key away from the control; KeyPress may also
// change the character typed. Held keys repeat KeyDown; KeyUp comes once.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    explicit KeyPreview(QWidget* window);
    ~KeyPreview() override;

    bool enabled = true;
    std::function<void(int& keyCode, int shift)> KeyDown;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void(int& keyCode, int shift)> KeyUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handle(QWidget* receiver, QKeyEvent* event);
    QPointer<QWidget> m_window;
    // The event last handled: a key event travels up to the parents of its
    // receiver when ignored, and is seen again on the way.
    const QEvent* m_lastEvent = nullptr;
    QPointer<QWidget> m_lastReceiver;
};

}  // namespace platform
