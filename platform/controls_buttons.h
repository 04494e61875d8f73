#pragma once
// Buttons, check boxes, option buttons, labels and frames.

#include "platform/controls_base.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QShortcut;

namespace platform {

class CommandButton : public Control {
    Q_OBJECT
public:
    CommandButton(const QString& name, QWidget* parent);

    QString Caption() const;
    void setCaption(const QString& caption);  // "&" marks the access key

    // Enter anywhere in the window clicks the Default button, unless the
    // focus is on another button (which Enter clicks); Esc clicks the Cancel
    // button. One of each per window: setting one clears the others.
    bool Default() const { return m_default; }
    void setDefault(bool on);
    bool Cancel() const { return m_cancel; }
    void setCancel(bool on);

    // Clicks the button from code, as the runtime's Value = True does.
    void setValue(bool pressed);

    Event<> Click;

    QPushButton* button() const { return m_button; }
    void copyFrom(const Control& model) override;

private:
    void shortcutActivated();
    QPushButton* m_button;
    QList<QShortcut*> m_defaultKeys;
    QShortcut* m_cancelKey = nullptr;
    bool m_default = false;
    bool m_cancel = false;
};

// Value: 0 unchecked, 1 checked, 2 grayed. A click of the user toggles
// between checked and unchecked; a change of Value in code raises Click.
class CheckBox : public Control {
    Q_OBJECT
public:
    CheckBox(const QString& name, QWidget* parent);

    QString Caption() const;
    void setCaption(const QString& caption);
    int Value() const;
    void setValue(int value);  // 0, 1 or 2; raises Click only when it changes

    Event<> Click;

    QCheckBox* checkBox() const { return m_box; }
    void copyFrom(const Control& model) override;

private:
    QCheckBox* m_box;
};

// Option buttons with the same parent widget are exclusive. Selecting one,
// by the user or in code, clears the others (without their Click) and
// raises its Click; selecting the selected one does nothing.
class OptionButton : public Control {
    Q_OBJECT
public:
    OptionButton(const QString& name, QWidget* parent);

    QString Caption() const;
    void setCaption(const QString& caption);
    bool Value() const { return m_value; }
    void setValue(bool value);

    Event<> Click;

    QRadioButton* radioButton() const { return m_radio; }
    void copyFrom(const Control& model) override;

private:
    void display(bool value);
    QRadioButton* m_radio;
    bool m_value = false;
};

class Label : public Control {
    Q_OBJECT
public:
    Label(const QString& name, QWidget* parent);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    int Alignment() const { return m_alignment; }  // 0 left, 1 right, 2 centre
    void setAlignment(int alignment);
    // The label takes the size of its caption whenever caption or font change.
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    bool WordWrap() const;
    void setWordWrap(bool on);
    int BorderStyle() const { return m_borderStyle; }  // 0 none, 1 fixed single
    void setBorderStyle(int style);
    int BackStyle() const { return m_backStyle; }  // 0 transparent, 1 opaque
    void setBackStyle(int style);

    Event<> Click, DblClick;

    QLabel* label() const { return m_label; }
    void copyFrom(const Control& model) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitCaption();
    QLabel* m_label;
    QString m_caption;
    int m_alignment = 0;
    int m_borderStyle = 0;
    int m_backStyle = 1;
    bool m_autoSize = false;
    bool m_doubleClicked = false;
};

// A container with a caption: controls made with the frame as their parent
// lie on it, positioned from its top-left corner.
class Frame : public Control {
    Q_OBJECT
public:
    Frame(const QString& name, QWidget* parent);

    QString Caption() const;
    void setCaption(const QString& caption);

    QGroupBox* groupBox() const { return m_box; }
    void copyFrom(const Control& model) override;

private:
    QGroupBox* m_box;
};

}  // namespace platform
