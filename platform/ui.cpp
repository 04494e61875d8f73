#include "platform/ui.h"

#include "platform/application.h"

#include <QPrinter>

namespace {
platform::UserInterface* g_ui = nullptr;

platform::UserInterface& fallbackUi()
{
    static platform::QtUserInterface qtUi;
    return qtUi;
}
}  // namespace

namespace vb {

int MsgBox(const QString& prompt, int buttons, const QString& title)
{
    return platform::ui().messageBox(prompt, buttons, title.isEmpty() ? platform::defaultBoxTitle() : title);
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    return platform::ui()
        .inputBox(prompt, title.isEmpty() ? platform::defaultBoxTitle() : title, defaultText)
        .value_or(QString());
}

}  // namespace vb

namespace platform {

UserInterface& ui()
{
    return g_ui ? *g_ui : fallbackUi();
}

void setUi(UserInterface* ui)
{
    g_ui = ui;
}

QString defaultBoxTitle()
{
    return app::title();
}

// --- scripted interface for tests -------------------------------------------

namespace {
template <typename T>
std::optional<T> takeFirst(QList<std::optional<T>>& list, bool& had)
{
    had = !list.isEmpty();
    return had ? list.takeFirst() : std::nullopt;
}
}  // namespace

void ScriptedUserInterface::answerMsgBox(int answer) { m_msg.append(answer); }
void ScriptedUserInterface::answerInput(std::optional<QString> text) { m_input.append(std::move(text)); }
void ScriptedUserInterface::answerFile(std::optional<QString> path) { m_file.append(std::move(path)); }
void ScriptedUserInterface::answerColor(std::optional<qint32> color) { m_color.append(color); }
void ScriptedUserInterface::answerFont(std::optional<FontChoice> font) { m_font.append(std::move(font)); }
void ScriptedUserInterface::answerFolder(std::optional<QString> folder) { m_folder.append(std::move(folder)); }
void ScriptedUserInterface::answerPrinter(std::optional<PrintDialogAnswer> answer,
                                          std::optional<QPageSize> dialogPaper)
{
    m_printer.append({std::move(answer), std::move(dialogPaper)});
}

int ScriptedUserInterface::messageBox(const QString& prompt, int style, const QString& title)
{
    boxes.append({QStringLiteral("MsgBox"), prompt, style, title});
    if (!m_msg.isEmpty())
        return m_msg.takeFirst();
    const int buttons = style & 7;
    if (buttons == vb::vbOKOnly && autoOk)
        return vb::vbOK;
    unexpected.append(QStringLiteral("MsgBox[%1]: %2").arg(title, prompt));
    return buttons == vb::vbYesNo ? vb::vbNo : vb::vbCancel;
}

std::optional<QString> ScriptedUserInterface::inputBox(const QString& prompt, const QString& title,
                                                       const QString& defaultText)
{
    boxes.append({QStringLiteral("InputBox"), prompt, 0, title});
    bool had = false;
    auto answer = takeFirst(m_input, had);
    if (!had)
        unexpected.append(QStringLiteral("InputBox[%1]: %2 (%3)").arg(title, prompt, defaultText));
    return answer;
}

std::optional<QString> ScriptedUserInterface::openFile(const FileDialogRequest& request)
{
    boxes.append({QStringLiteral("Open"), request.filter, 0, request.title});
    bool had = false;
    auto answer = takeFirst(m_file, had);
    if (!had)
        unexpected.append(QStringLiteral("Open[%1]").arg(request.title));
    return answer;
}

std::optional<QString> ScriptedUserInterface::saveFile(const FileDialogRequest& request)
{
    boxes.append({QStringLiteral("Save"), request.filter, 0, request.title});
    bool had = false;
    auto answer = takeFirst(m_file, had);
    if (!had)
        unexpected.append(QStringLiteral("Save[%1]").arg(request.title));
    return answer;
}

std::optional<qint32> ScriptedUserInterface::chooseColor(qint32 initial)
{
    boxes.append({QStringLiteral("Color"), QString::number(initial), 0, QString()});
    bool had = false;
    auto answer = takeFirst(m_color, had);
    if (!had)
        unexpected.append(QStringLiteral("Color"));
    return answer;
}

std::optional<FontChoice> ScriptedUserInterface::chooseFont(const FontChoice& initial)
{
    boxes.append({QStringLiteral("Font"), initial.name, 0, QString()});
    fonts.append(initial);
    bool had = false;
    auto answer = takeFirst(m_font, had);
    if (!had)
        unexpected.append(QStringLiteral("Font"));
    return answer;
}

std::optional<QString> ScriptedUserInterface::chooseFolder(const QString& title, const QString& root)
{
    boxes.append({QStringLiteral("Folder"), root, 0, title});
    bool had = false;
    auto answer = takeFirst(m_folder, had);
    if (!had)
        unexpected.append(QStringLiteral("Folder[%1]").arg(title));
    return answer;
}

PrintDialogResult ScriptedUserInterface::printDialog(QPrinter& device, QString& deviceName, PrintDialogKind kind)
{
    boxes.append({QStringLiteral("Printer"), deviceName, kind == PrintDialogKind::Setup ? 1 : 0, QString()});
    if (m_printer.isEmpty())
        unexpected.append(QStringLiteral("Printer"));
    const PrinterAnswer scripted = m_printer.isEmpty() ? PrinterAnswer{} : m_printer.takeFirst();
    if (!scripted.answer)
        return PrintDialogResult::Cancelled;
    const QPageSize opened = device.pageLayout().pageSize();
    if (*scripted.answer)
        (*scripted.answer)(device, deviceName);
    if (!device.pageLayout().pageSize().isEquivalentTo(opened))
        return PrintDialogResult::PaperChosen;
    if (scripted.dialogPaper)
        device.setPageSize(*scripted.dialogPaper);
    return PrintDialogResult::Accepted;
}

void ScriptedUserInterface::answerLogin(std::optional<Login> login) { m_login.append(std::move(login)); }

std::optional<Login> ScriptedUserInterface::askLogin(const QString& prompt, const QString& title, const QString& user)
{
    boxes.append({QStringLiteral("Login"), prompt, 0, title});
    bool had = false;
    auto answer = takeFirst(m_login, had);
    if (!had)
        unexpected.append(QStringLiteral("Login[%1]: %2 (%3)").arg(title, prompt, user));
    return answer;
}

void ScriptedUserInterface::answerUrl(bool opened) { m_url.append(opened); }

bool ScriptedUserInterface::openUrl(const QString& url)
{
    boxes.append({QStringLiteral("Url"), url, 0, QString()});
    return m_url.isEmpty() || m_url.takeFirst();
}

int ScriptedUserInterface::count(const QString& kind) const
{
    int n = 0;
    for (const Box& box : boxes)
        n += box.kind == kind ? 1 : 0;
    return n;
}

bool ScriptedUserInterface::allAnswered() const
{
    return unexpected.isEmpty() && m_msg.isEmpty() && m_input.isEmpty() && m_file.isEmpty() && m_color.isEmpty()
        && m_font.isEmpty() && m_folder.isEmpty() && m_printer.isEmpty() && m_login.isEmpty() && m_url.isEmpty();
}

ScopedScriptedUi::ScopedScriptedUi() : m_previous(g_ui)
{
    setUi(&m_ui);
}

ScopedScriptedUi::~ScopedScriptedUi()
{
    setUi(m_previous);
}

}  // namespace platform
