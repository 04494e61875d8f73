#pragma once
// Every message box, input box and common dialog of the program goes through
// one interface, so that tests answer them headlessly and assert their texts.

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace vb {

// Message box styles and answers, with the runtime's values.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

inline const QString vbCrLf = QStringLiteral("\r\n");
inline const QString vbCr = QStringLiteral("\r");

int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = QString());

// The input box: the text typed, or the empty text when cancelled.
QString InputBox(const QString& prompt, const QString& title = QString(), const QString& defaultText = QString());

}  // namespace vb

class QFileDialog;
class QWidget;

namespace platform {

// A request to the open and save dialogs. The filter keeps the runtime's
// form "description|pattern[;pattern]|description|pattern".
struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString initDir;
    QString fileName;
    QString defaultExt;
};

struct FontChoice {
    QString name;
    double size = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    qint32 color = 0;
};

// The print dialog works on a printer device: it opens with the device's
// settings and leaves the user's choice on it. `deviceName` names the printer
// chosen (the device itself may be a test printer Qt doesn't know by name).
// The set-up dialog offers no page range and no copies.
enum class PrintDialogKind { Print, Setup };
// An accepted dialog tells whether the user chose the paper size: Qt's
// dialog puts a print queue's default size on the device by itself when it
// is accepted, and that is no choice of the user's.
enum class PrintDialogResult { Cancelled, Accepted, PaperChosen };

// A name and password the user gave (the print server's).
struct Login {
    QString user;
    QString password;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;
    // nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<qint32> chooseColor(qint32 initial) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;
    // A folder chosen in the platform's folder chooser rooted at `root`.
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& root) = 0;
    // Cancelled leaves the device as it was.
    virtual PrintDialogResult printDialog(QPrinter& device, QString& deviceName, PrintDialogKind kind) = 0;
    // Asks for a name (offered: `user`) and a password; nullopt when cancelled.
    virtual std::optional<Login> askLogin(const QString& prompt, const QString& title, const QString& user) = 0;
    // Opens a local file or address in the desktop's viewer or browser;
    // false when nothing could show it.
    virtual bool openUrl(const QString& url) = 0;
};

// The interface in use; the program installs the Qt one at start.
UserInterface& ui();
void setUi(UserInterface* ui);

// The application's title as message boxes without their own title show it.
QString defaultBoxTitle();

// The window a box or dialog the program raises belongs to: the active
// window, or, while a window that stays above the others is shown (the
// property sheet), that window. The window manager keeps a window's boxes
// above it, so no box the program waits on opens hidden under that one.
QWidget* boxParent();

// Message boxes and dialogs on Qt widgets, with Japanese buttons.
class QtUserInterface : public UserInterface {
public:
    int messageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<qint32> chooseColor(qint32 initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& root) override;
    PrintDialogResult printDialog(QPrinter& device, QString& deviceName, PrintDialogKind kind) override;
    std::optional<Login> askLogin(const QString& prompt, const QString& title, const QString& user) override;
    bool openUrl(const QString& url) override;
};

// The save dialog QtUserInterface shows for a request (for tests to inspect).
std::unique_ptr<QFileDialog> saveDialogFor(const FileDialogRequest& request, QWidget* parent = nullptr);

// For tests: records every box and answers from a script. A box for which
// no answer was scripted is recorded in `unexpected` and answered with
// Cancel (or the only button, OK); tests check that list in cleanup.
class ScriptedUserInterface : public UserInterface {
public:
    struct Box {
        QString kind;  // "MsgBox", "InputBox", "Open", "Save", "Color", "Font", "Folder", "Printer", "Login", "Url"
        QString prompt;
        int style = 0;
        QString title;
    };

    QList<Box> boxes;       // everything shown, in order
    QList<FontChoice> fonts;  // the font each font dialog opened with
    QStringList unexpected;  // boxes no answer was scripted for

    // Answers are consumed in order by the next box of their kind.
    void answerMsgBox(int answer);
    void answerInput(std::optional<QString> text);
    void answerFile(std::optional<QString> path);
    void answerColor(std::optional<qint32> color);
    void answerFont(std::optional<FontChoice> font);
    void answerFolder(std::optional<QString> folder);
    // A print dialog's answer: the change the user makes (printer name and
    // device), or nullopt for Cancel. A paper size the answer sets is the
    // user's choice; `dialogPaper` is the size the dialog itself leaves on
    // the device when the user chose none, as Qt's dialog does with a print
    // queue's default. Recorded as kind "Printer" with the printer's name
    // and style 1 for the set-up dialog.
    using PrintDialogAnswer = std::function<void(QPrinter& device, QString& deviceName)>;
    void answerPrinter(std::optional<PrintDialogAnswer> answer, std::optional<QPageSize> dialogPaper = std::nullopt);
    // A name and password, or nullopt for キャンセル; recorded as kind "Login".
    void answerLogin(std::optional<Login> login);
    // Whether the next request to open a file or address succeeds (it does
    // when nothing was scripted).
    void answerUrl(bool opened);
    // Boxes with only an OK button are answered OK without a script.
    bool autoOk = true;

    int messageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<qint32> chooseColor(qint32 initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& root) override;
    PrintDialogResult printDialog(QPrinter& device, QString& deviceName, PrintDialogKind kind) override;
    std::optional<Login> askLogin(const QString& prompt, const QString& title, const QString& user) override;
    bool openUrl(const QString& url) override;

    // The last box shown, or an empty box.
    Box last() const { return boxes.isEmpty() ? Box{} : boxes.last(); }
    int count(const QString& kind = QStringLiteral("MsgBox")) const;
    bool allAnswered() const;  // no unexpected box and every scripted answer used

private:
    QList<int> m_msg;
    QList<std::optional<QString>> m_input, m_file, m_folder;
    QList<std::optional<qint32>> m_color;
    QList<std::optional<FontChoice>> m_font;
    QList<std::optional<Login>> m_login;
    struct PrinterAnswer {
        std::optional<PrintDialogAnswer> answer;
        std::optional<QPageSize> dialogPaper;
    };
    QList<PrinterAnswer> m_printer;
    QList<bool> m_url;
};

// Installs a scripted interface for the life of the object (tests).
class ScopedScriptedUi {
public:
    ScopedScriptedUi();
    ~ScopedScriptedUi();
    ScriptedUserInterface* operator->() { return &m_ui; }
    ScriptedUserInterface& get() { return m_ui; }

private:
    ScriptedUserInterface m_ui;
    UserInterface* m_previous;
};

}  // namespace platform
