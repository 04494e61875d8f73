// The paper and pages chosen in Qt's own print dialog, against a print
// scheduler of the test's own: what the dialog shows when 印刷 is pressed
// is what is printed.

#include "tests/output/printserverfixture.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace printtest;

namespace {

QDialog* modal() { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); }

void ok(QDialog& dialog) { dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }

// In the printer properties now open, A3 picked key by key, and OK.
void pickA3()
{
    QDialog* properties = modal();
    auto* sizes = properties ? properties->findChild<QComboBox*>(QStringLiteral("pageSizeCombo")) : nullptr;
    if (!sizes)
        return;
    int a3 = 0;
    while (a3 < sizes->count() && sizes->itemData(a3).value<QPageSize>().id() != QPageSize::A3)
        ++a3;
    while (sizes->currentIndex() != a3)
        QTest::keyClick(sizes, sizes->currentIndex() < a3 ? Qt::Key_Down : Qt::Key_Up);
    ok(*properties);
}

}  // namespace

class TestPrintPaper : public QObject {
    Q_OBJECT

    PrintSession m_print;

private slots:
    void init() { QVERIFY(m_print.begin()); }
    void cleanup() { m_print.end(); }

    // A3 picked in the printer properties, then the printers listed
    // afterwards chosen in turn ("file": PDF ファイルに出力): the sheet
    // printed is A3, and the drawing's paper from then on.
    void pickedPaperIsPrinted_data()
    {
        QTest::addColumn<double>("margin");  // the queues' printable margins, in points
        QTest::addColumn<QStringList>("then");
        QTest::newRow("5 mm margins") << 14.17 << QStringList();
        QTest::newRow("then another queue") << 18.0 << QStringList{QStringLiteral("Queue-2")};
        QTest::newRow("away and back") << 18.0 << QStringList{QStringLiteral("Queue-2"), QStringLiteral("Queue-1")};
        QTest::newRow("then a PDF file") << 14.17 << QStringList{QStringLiteral("file")};
    }

    void pickedPaperIsPrinted()
    {
        QFETCH(double, margin);
        QFETCH(QStringList, then);
        AnsweringScheduler scheduler;
        for (const QByteArray queue : {"Queue-1", "Queue-2"})
            scheduler.setSheet(queue, {"A4", margin, margin});
        useScheduler(scheduler.port());
        frmEdit& e = m_print.openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        const QString pdf = m_print.session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(modal());
            auto* printers = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("printers")) : nullptr;
            if (!printers)
                return;
            QTimer::singleShot(0, dialog, pickA3);
            dialog->findChild<QPushButton*>(QStringLiteral("properties"))->click();
            for (const QString& printer : then)
                printers->setCurrentIndex(printer == QLatin1String("file") ? printers->count() - 1 : printers->findText(printer));
            if (then.contains(QStringLiteral("file")))
                dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf);
            ok(*dialog);
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        platform::setUi(&m_print.session.quiet->get());
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'|')));
        const bool toFile = then.contains(QStringLiteral("file"));
        QCOMPARE(scheduler.jobs().size(), toFile ? 0 : 1);
        if (!toFile)
            QCOMPARE(scheduler.delivered().at(0).attributes.at("media"), QByteArray("A3"));
        const QByteArray document = toFile ? testsupport::fileBytes(pdf) : scheduler.delivered().at(0).document;
        QVERIFY(document.contains("/MediaBox [0 0 842.000000 1191.000000]"));
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(8));
        QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A3"));
    }

    // Pages 1 to 1 chosen for the queue, then PDF ファイルに出力: the
    // dialog shows every page, as the file holds them, and no range is
    // left for the queue's next print.
    void pageRangeLeftForAQueueIsNotKept()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        const QString pdf = m_print.session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        bool allShown = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(modal());
            auto* printers = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("printers")) : nullptr;
            if (!printers)
                return;
            dialog->findChild<QAbstractButton*>(QStringLiteral("printRange"))->click();
            for (const char* box : {"from", "to"})
                dialog->findChild<QSpinBox*>(QLatin1String(box))->setValue(1);
            printers->setCurrentIndex(printers->count() - 1);
            allShown = dialog->findChild<QAbstractButton*>(QStringLiteral("printAll"))->isChecked();
            dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf);
            ok(*dialog);
        });
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        d.cmdPrint_Click();
        QTimer::singleShot(0, this, [] { ok(*modal()); });
        d.cmdPrint_Click();
        platform::setUi(&m_print.session.quiet->get());
        QVERIFY(allShown);
        QVERIFY(testsupport::fileBytes(pdf).startsWith("%PDF"));
        QCOMPARE(scheduler.jobs().size(), 1);
        QVERIFY(!scheduler.delivered().at(0).attributes.count("page-ranges"));
    }
};

QTEST_MAIN(TestPrintPaper)
#include "tst_print_paper.moc"
