#include "platform/printwaitnote.h"

#include "platform/printwaits.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace platform {

namespace {

class PrintWaitNote : public printscheduler::WaitNote {
public:
    PrintWaitNote() = default;
    ~PrintWaitNote() override
    {
        if (m_label)
            QApplication::restoreOverrideCursor();
    }
    PrintWaitNote(const PrintWaitNote&) = delete;
    PrintWaitNote& operator=(const PrintWaitNote&) = delete;

    void keepShown(qint64 waitedMs) override
    {
        if (waitedMs < printWaits().noteAfterMs || !qobject_cast<QApplication*>(QCoreApplication::instance()))
            return;
        if (!m_label) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_label = std::make_unique<QLabel>(QStringLiteral("印刷サーバーの応答を待っています…"), nullptr,
                                               Qt::ToolTip | Qt::FramelessWindowHint);
            m_label->setObjectName(QStringLiteral("printSchedulerWait"));
            m_label->setFrameStyle(QFrame::Box);
            m_label->setMargin(12);
            m_label->adjustSize();
            const QWidget* window = QApplication::activeWindow();
            const QRect over = window ? window->frameGeometry()
                               : QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                                   : QRect();
            m_label->move(over.center() - m_label->rect().center());
            m_label->show();
        }
        // Paints the note; the user's input waits until the answer is in.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    std::unique_ptr<QLabel> m_label;
};

}  // namespace

std::unique_ptr<printscheduler::WaitNote> newPrintWaitNote()
{
    return std::make_unique<PrintWaitNote>();
}

}  // namespace platform
