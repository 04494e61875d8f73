// Message boxes and common dialogs on Qt widgets, with the Japanese buttons
// and the answers of the runtime the program was designed for.

#include "platform/colors.h"
#include "platform/metrics.h"
#include "platform/ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include <memory>

namespace platform {

namespace {

// "Text files|*.txt;*.csv|All|*.*" -> "Text files (*.txt *.csv);;All (*.*)"
QString toQtFilter(const QString& filter, int index, QString* selected)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    if (selected && index >= 1 && index <= filters.size())
        *selected = filters[index - 1];
    return filters.join(QStringLiteral(";;"));
}

// Holds a box open against Escape and the window's close (its close box,
// Alt+F4, the window manager): only its buttons answer it.
class KeepOpen : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

// Qt's font dialog takes a size of plain digits only; what a Japanese input
// method commits there ("１８") is turned into them, as the program's own
// number boxes read it.
class PlainDigits : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::InputMethod)
            return QObject::eventFilter(watched, event);
        const auto* typed = static_cast<QInputMethodEvent*>(event);
        QString commit = typed->commitString();
        bool changed = false;
        for (QChar& c : commit) {
            if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) {
                c = QChar(u'0' + (c.unicode() - 0xFF10));
                changed = true;
            }
        }
        if (!changed)
            return false;
        QInputMethodEvent plain(typed->preeditString(), typed->attributes());
        plain.setCommitString(commit, typed->replacementStart(), typed->replacementLength());
        QCoreApplication::sendEvent(watched, &plain);
        return true;
    }
};

QString withDefaultExt(QString path, const QString& defaultExt)
{
    if (!path.isEmpty() && !defaultExt.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultExt;
    return path;
}

}  // namespace

QWidget* boxParent()
{
    // A window owned by one that stays on top (a box over the sheet) is
    // kept above it too: its own boxes go over it.
    QWidget* active = QApplication::activeWindow();
    for (const QWidget* owner = active; owner; owner = owner->parentWidget()) {
        if (isTopMost(owner))
            return active;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->isVisible() && !window->isMinimized() && isTopMost(window)
            && window->windowType() != Qt::Popup && window->windowType() != Qt::ToolTip)
            return window;
    }
    return active;
}

int QtUserInterface::messageBox(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(boxParent());
    box.setWindowTitle(title);
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(text);
    switch (style & 0x70) {
    case vb::vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vb::vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vb::vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vb::vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct Choice {
        const char* caption;
        int answer;
        QMessageBox::ButtonRole role;
    };
    QList<Choice> choices;
    switch (style & 7) {
    case vb::vbOKCancel:
        choices = {{"OK", vb::vbOK, QMessageBox::AcceptRole}, {"キャンセル", vb::vbCancel, QMessageBox::RejectRole}};
        break;
    case vb::vbAbortRetryIgnore:
        choices = {{"中止(&A)", vb::vbAbort, QMessageBox::RejectRole},
                   {"再試行(&R)", vb::vbRetry, QMessageBox::AcceptRole},
                   {"無視(&I)", vb::vbIgnore, QMessageBox::AcceptRole}};
        break;
    case vb::vbYesNoCancel:
        choices = {{"はい", vb::vbYes, QMessageBox::YesRole},
                   {"いいえ", vb::vbNo, QMessageBox::NoRole},
                   {"キャンセル", vb::vbCancel, QMessageBox::RejectRole}};
        break;
    case vb::vbYesNo:
        choices = {{"はい", vb::vbYes, QMessageBox::YesRole}, {"いいえ", vb::vbNo, QMessageBox::NoRole}};
        break;
    case vb::vbRetryCancel:
        choices = {{"再試行(&R)", vb::vbRetry, QMessageBox::AcceptRole},
                   {"キャンセル", vb::vbCancel, QMessageBox::RejectRole}};
        break;
    default: choices = {{"OK", vb::vbOK, QMessageBox::AcceptRole}}; break;
    }
    QList<QPushButton*> buttons;
    for (const Choice& choice : choices)
        buttons << box.addButton(QString::fromUtf8(choice.caption), choice.role);
    const int defaultIndex = qBound(0, (style & 0x300) >> 8, int(buttons.size()) - 1);
    box.setDefaultButton(buttons[defaultIndex]);
    // Escape and the close box answer キャンセル, or OK on a box with nothing
    // else. A question without キャンセル (はい / いいえ, 中止 / 再試行 / 無視)
    // is answered by its buttons alone: Qt would take いいえ or 中止 as the
    // way out, and an answer nobody gave must never roll back a day's work.
    QPushButton* escape = nullptr;
    for (int i = 0; i < buttons.size(); ++i) {
        if (choices[i].answer == vb::vbCancel || choices.size() == 1)
            escape = buttons[i];
    }
    KeepOpen keepOpen;
    if (escape) {
        box.setEscapeButton(escape);
    } else {
        box.setWindowFlags((box.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                           & ~Qt::WindowCloseButtonHint);
        box.installEventFilter(&keepOpen);
    }
    box.exec();
    for (int i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return choices[i].answer;
    }
    return choices.size() == 1 ? vb::vbOK : vb::vbCancel;
}

std::optional<QString> QtUserInterface::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText)
{
    QInputDialog dialog(boxParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<Login> QtUserInterface::askLogin(const QString& prompt, const QString& title, const QString& user)
{
    QDialog dialog(boxParent());
    dialog.setWindowTitle(title);
    auto* layout = new QFormLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* text = new QLabel(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    text->setWordWrap(true);
    layout->addRow(text);
    auto* name = new QLineEdit(user);
    name->setObjectName(QStringLiteral("user"));
    auto* password = new QLineEdit;
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("名前(&N):"), name);
    layout->addRow(QStringLiteral("パスワード(&P):"), password);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    (user.isEmpty() ? name : password)->setFocus();
    // Asked in the middle of a print, under the busy pointer: the box takes
    // the ordinary one.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    if (!accepted)
        return std::nullopt;
    return Login{name->text(), password->text()};
}

std::optional<QString> QtUserInterface::openFile(const FileDialogRequest& request)
{
    QString selected;
    const QString filter = toQtFilter(request.filter, request.filterIndex, &selected);
    const QString start = request.fileName.isEmpty() ? request.initDir
                                                     : QDir(request.initDir).filePath(request.fileName);
    const QString path = QFileDialog::getOpenFileName(boxParent(), request.title, start, filter, &selected);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::unique_ptr<QFileDialog> saveDialogFor(const FileDialogRequest& request, QWidget* parent)
{
    QString selected;
    const QString filter = toQtFilter(request.filter, request.filterIndex, &selected);
    const QString start = request.fileName.isEmpty() ? request.initDir
                                                     : QDir(request.initDir).filePath(request.fileName);
    auto dialog = std::make_unique<QFileDialog>(parent, request.title, start, filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the extension itself, so its overwrite question
    // covers the name the file will really have.
    dialog->setDefaultSuffix(request.defaultExt);
    if (!selected.isEmpty())
        dialog->selectNameFilter(selected);
    return dialog;
}

std::optional<QString> QtUserInterface::saveFile(const FileDialogRequest& request)
{
    const auto dialog = saveDialogFor(request, boxParent());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog->selectedFiles().constFirst();
    if (path.isEmpty())
        return std::nullopt;
    return withDefaultExt(path, request.defaultExt);
}

std::optional<qint32> QtUserInterface::chooseColor(qint32 initial)
{
    const QColor color = QColorDialog::getColor(toQColor(initial), boxParent());
    if (!color.isValid())
        return std::nullopt;
    return fromQColor(color);
}

std::optional<FontChoice> QtUserInterface::chooseFont(const FontChoice& initial)
{
    QFont font(initial.name);
    font.setPointSizeF(initial.size > 0 ? initial.size : 9);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikethrough);
    QFontDialog dialog(font, boxParent());
    PlainDigits plainDigits;
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (qobject_cast<const QIntValidator*>(edit->validator()))
            edit->installEventFilter(&plainDigits);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    FontChoice result = initial;
    result.name = chosen.family();
    result.size = chosen.pointSizeF();
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    result.underline = chosen.underline();
    result.strikethrough = chosen.strikeOut();
    return result;
}

std::optional<QString> QtUserInterface::chooseFolder(const QString& title, const QString& root)
{
    const QString folder = QFileDialog::getExistingDirectory(boxParent(), title, root);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

bool QtUserInterface::openUrl(const QString& url)
{
    const bool remote = url.contains(QStringLiteral("://"));
    if (!remote && !QFileInfo::exists(url))
        return false;
    const QUrl target = remote ? QUrl(url) : QUrl::fromLocalFile(url);
    // The desktop's opener tells by its exit status whether anything could
    // show the file; QDesktopServices only tells whether the opener started.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(target);
    auto* process = new QProcess;
    process->start(opener, {target.toString()});
    if (!process->waitForStarted()) {
        delete process;
        return QDesktopServices::openUrl(target);
    }
    if (process->waitForFinished(3000)) {
        const bool shown = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return shown;
    }
    // Still running: a browser started in the opener's foreground, so the
    // page is being shown; the process is let go when it ends.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

}  // namespace platform
