#pragma once
// The one-line text box.

#include "platform/controls_base.h"

class QLineEdit;

namespace platform {

class MaxLengthValidator;

class TextBox : public Control {
    Q_OBJECT
public:
    TextBox(const QString& name, QWidget* parent);
    ~TextBox() override;

    QString Text() const;
    // Raises Change when the text differs; the text is kept whole even when
    // it is longer than MaxLength.
    void setText(const QString& text);

    // The most characters the user can type; 0 for no limit. A text typed,
    // committed by an input method or pasted that would go beyond it is
    // refused whole, never cut, and LengthRefused is raised after it.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length);
    // What MaxLength counts: every character, or only the digits (plain and
    // full width), for a number box whose blanks, signs and unit marks must
    // not take the place of a digit.
    enum class LengthCount { characters, digits };
    void setLengthCount(LengthCount count);

    // The selection: SelStart places the caret (and ends any selection),
    // SelLength selects from there (cut at the end of the text), SelText
    // replaces what is selected.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString& text);

    bool Locked() const;  // the user cannot change the text
    void setLocked(bool on);
    QString PasswordChar() const { return m_passwordChar; }
    void setPasswordChar(const QString& character);  // "" shows the text
    // Input method: 0 as the system has it, 1 on, 2 off, 3 disabled.
    int IMEMode() const { return m_imeMode; }
    void setIMEMode(int mode);
    int Alignment() const;  // 0 left, 1 right, 2 centre
    void setAlignment(int alignment);

    Event<> Change;
    Event<> LengthRefused;

    QLineEdit* lineEdit() const { return m_edit; }
    void copyFrom(const Control& model) override;

private:
    QLineEdit* m_edit;
    MaxLengthValidator* m_validator;
    int m_maxLength = 0;
    bool m_refusalDue = false;  // LengthRefused is on its way
    int m_imeMode = 0;
    QString m_passwordChar;
};

}  // namespace platform
