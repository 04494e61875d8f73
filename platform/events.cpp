#include "platform/events.h"

#include "platform/ui.h"

#include <QApplication>
#include <QList>
#include <cstdlib>

namespace platform {

namespace {

void defaultEnd()
{
    std::_Exit(0);
}

EndHandler& endHandler()
{
    static EndHandler handler = defaultEnd;
    return handler;
}

QuitHandler& quitHandler()
{
    static QuitHandler handler = [] { QCoreApplication::quit(); };
    return handler;
}

int runningHandlers = 0;

QList<std::function<void()>>& endCleanups()
{
    static QList<std::function<void()>> cleanups;
    return cleanups;
}

}  // namespace

QString standardErrorText(const QString& procedure, long number, const QString& description)
{
    return procedure + QStringLiteral("():ｴﾗｰ番号 ") + QString::number(number) + QStringLiteral(" ｴﾗｰが発生しました。")
        + vb::vbCrLf + description;
}

void showStandardError(const QString& procedure, long number, const QString& description)
{
    vb::MsgBox(standardErrorText(procedure, number, description), vb::vbOKOnly, QStringLiteral("ｴﾗｰ"));
}

void End()
{
    for (const auto& cleanup : endCleanups())
        cleanup();
    endHandler()();
    // A handler that returns would let the program run on; end it anyway.
    defaultEnd();
    std::abort();
}

EndHandler setEndHandler(EndHandler handler)
{
    EndHandler previous = endHandler();
    endHandler() = handler ? std::move(handler) : EndHandler(defaultEnd);
    return previous;
}

void addEndCleanup(std::function<void()> cleanup)
{
    endCleanups().append(std::move(cleanup));
}

void Quit()
{
    quitHandler()();
}

QuitHandler setQuitHandler(QuitHandler handler)
{
    QuitHandler previous = quitHandler();
    quitHandler() = handler ? std::move(handler) : QuitHandler([] { QCoreApplication::quit(); });
    return previous;
}

int dispatchDepth()
{
    return runningHandlers;
}

void dispatch(const QString& procedure, const std::function<void()>& handler)
{
    ++runningHandlers;
    const struct Leave {
        ~Leave() { --runningHandlers; }
    } leave;
    try {
        handler();
    } catch (const ImmediateEnd&) {
        throw;
    } catch (const vb::Error& error) {
        showStandardError(procedure, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        showStandardError(procedure, vb::errOutOfMemory, vb::errorDescription(vb::errOutOfMemory));
    } catch (const std::exception& error) {
        showStandardError(procedure, vb::errInvalidCall, QString::fromLocal8Bit(error.what()));
    }
}

Hourglass::Hourglass(QWidget* window) : m_window(window)
{
    if (m_window) {
        m_wasEnabled = m_window->isEnabled();
        m_window->setEnabled(false);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Hourglass::~Hourglass()
{
    QApplication::restoreOverrideCursor();
    if (m_window)
        m_window->setEnabled(m_wasEnabled);
}

}  // namespace platform
