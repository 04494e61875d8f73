#pragma once
// The printer commands against a print scheduler of the test's own
// (tests/support/testscheduler.h): an editor session over a stored drawing
// on one of its queues, with the wait's note the program hands in and the
// tests' shorter waits, and the box that says the printers can't be reached.

#include "tests/editor/editorfixture.h"

#include "db/mdlSQL_objects.h"
#include "output/dlgPrinter.h"
#include "platform/printer.h"
#include "platform/printscheduler.h"
#include "platform/printservice.h"
#include "platform/printwaitnote.h"
#include "tests/support/testscheduler.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace printtest {

inline const QString Unreachable = QStringLiteral(
    "プリンタに接続できません。印刷サーバーが応答していません。\r\n"
    "しばらくしてから、もう一度印刷してください。\r\n"
    "PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。");
// The same after the printer set-up.
inline const QString UnreachableSetUp = QStringLiteral(
    "プリンタに接続できません。印刷サーバーが応答していません。\r\n"
    "プリンタの設定は変わりません。しばらくしてから、もう一度設定してください。");

// The boxes answered by script, the print dialog Qt's own.
class QtPrintDialogUi : public platform::ScriptedUserInterface {
public:
    platform::PrintDialogResult printDialog(QPrinter& device, QString& deviceName,
                                            platform::PrintDialogKind kind) override
    {
        return m_qt.printDialog(device, deviceName, kind);
    }

private:
    platform::QtUserInterface m_qt;
};

// Acts on a dialog of Qt's as the user would, once it shows: looked for
// every few milliseconds, not at the first turn of the event loop, which a
// wait for the scheduler may run before the dialog is made. A dialog over
// `under` only; gone with it, whether or not the dialog showed.
class WhenShown {
public:
    explicit WhenShown(std::function<void(QDialog&)> act, const QWidget* under = nullptr)
    {
        QObject::connect(&m_look, &QTimer::timeout, [this, act = std::move(act), under] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || static_cast<const QWidget*>(dialog) == under || !dialog->isVisible())
                return;
            m_look.stop();
            act(*dialog);
        });
        m_look.start(10);
    }

private:
    QTimer m_look;
};

struct PrintSession {
    editortest::Session session;

    bool begin()
    {
        if (!session.begin())
            return false;
        GE_lngPlatformId = 2;
        platform::setPrintWaits(testWaits());
        platform::printscheduler::setWaitNote(platform::newPrintWaitNote);
        // Nothing an earlier test read of its scheduler answers for this one.
        platform::printscheduler::forget();
        platform::printservice::forget();
        platform::CurrentPrinter().selectDefault();
        return true;
    }

    // Nothing of a test's scheduler, its queues included, is left for the next.
    void end()
    {
        if (dlgPrinter* d = platform::Instance<dlgPrinter>::pointer())
            d->unload();
        if (frmEdit* e = platform::Instance<frmEdit>::pointer())
            e->booDrawChange = e->booPrtChange = false;
        session.end();
        qunsetenv("CUPS_SERVER");
        platform::printscheduler::forget();
        platform::printservice::forget();
        platform::printscheduler::setWaitNote({});
        platform::setPrintWaits({});
        platform::CurrentPrinter().selectDefault();
    }

    // A stored drawing on `queue`; without one, without printer settings of its own.
    frmEdit& openStored(const QString& queue = QStringLiteral("Queue-1"))
    {
        editortest::writePicture(session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(400, 300));
        const qint32 id =
            session.fx->storeDrawing(QStringLiteral("P-1"), session.fx->dir.path(), QStringLiteral("map.bmp"));
        if (!queue.isEmpty() && mdlSQL::fncSQL_InsertPrinter(id, queueRow(queue)) != 0)
            qFatal("the printer row was not stored");
        return editortest::Fixture::open();
    }
};

}  // namespace printtest
