// What the user chooses and answers in Qt's own print dialog and the
// program's boxes, against a print scheduler of the test's own: the paper
// and pages shown when 印刷 is pressed are those printed; a scheduler that
// wants a name and password asks no more than the print needs; a print
// whose answer was lost is cancelled later or the user told.

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

const QString NoLogin = QStringLiteral("プリンタ「Queue-1」へは何も印刷されていません。\r\n"
                                       "このプリンタへの印刷には、印刷サーバーに登録された名前とパスワードが必要です。");
const platform::Login Alice{QStringLiteral("alice"), QStringLiteral("secret")};

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

class TestPrintChoices : public QObject {
    Q_OBJECT

    PrintSession m_print;
    std::unique_ptr<QtPrintDialogUi> m_owned;
    QtPrintDialogUi& m_ui() { return *m_owned; }

    // Through Qt's print dialog: `inDialog` done in it (with its printer
    // list), then OK, or キャンセル.
    void print(const std::function<void(QDialog&, QComboBox&)>& inDialog = {}, bool accept = true)
    {
        // Looked for until it shows: a wait for the scheduler may turn the
        // event loop before the dialog is made.
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&look, inDialog, accept] {
            auto* dialog = qobject_cast<QPrintDialog*>(modal());
            if (!dialog || !dialog->isVisible())
                return;
            look.stop();
            if (inDialog)
                inDialog(*dialog, *dialog->findChild<QComboBox*>(QStringLiteral("printers")));
            accept ? ok(*dialog) : dialog->reject();
        });
        look.start(10);
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
    }

    QString pdf() const { return m_print.session.fx->dir.filePath(QStringLiteral("図面.pdf")); }

private slots:
    void init()
    {
        QVERIFY(m_print.begin());
        m_owned = std::make_unique<QtPrintDialogUi>();
        platform::setUi(m_owned.get());
    }

    void cleanup()
    {
        platform::setUi(&m_print.session.quiet->get());
        m_print.end();
        QVERIFY2(m_ui().unexpected.isEmpty(), qPrintable(m_ui().unexpected.join(u'|')));
    }

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
        const bool toFile = then.contains(QStringLiteral("file"));
        print([&](QDialog& dialog, QComboBox& printers) {
            const WhenShown properties([](QDialog&) { pickA3(); }, &dialog);
            dialog.findChild<QPushButton*>(QStringLiteral("properties"))->click();
            for (const QString& printer : then)
                printers.setCurrentIndex(printer == QLatin1String("file") ? printers.count() - 1 : printers.findText(printer));
            if (toFile)
                dialog.findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf());
        });
        QCOMPARE(scheduler.jobs().size(), toFile ? 0 : 1);
        if (!toFile)
            QCOMPARE(scheduler.delivered().at(0).attributes.at("media"), QByteArray("A3"));
        const QByteArray document = toFile ? testsupport::fileBytes(pdf()) : scheduler.delivered().at(0).document;
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
        bool allShown = false;
        print([&](QDialog& dialog, QComboBox& printers) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("printRange"))->click();
            for (const char* box : {"from", "to"})
                dialog.findChild<QSpinBox*>(QLatin1String(box))->setValue(1);
            printers.setCurrentIndex(printers.count() - 1);
            allShown = dialog.findChild<QAbstractButton*>(QStringLiteral("printAll"))->isChecked();
            dialog.findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf());
        });
        print();
        QVERIFY(allShown);
        QVERIFY(testsupport::fileBytes(pdf()).startsWith("%PDF"));
        QCOMPARE(scheduler.jobs().size(), 1);
        QVERIFY(!scheduler.delivered().at(0).attributes.count("page-ranges"));
    }

    // A name and password taken once go with each later print's document
    // from the first: it is not sent once more only to be refused.
    void keptLoginGoesFirst()
    {
        AnsweringScheduler scheduler;
        scheduler.requireLogin("alice", "secret");
        useScheduler(scheduler.port());
        m_print.openStored();
        m_ui().answerLogin(Alice);
        print();
        print();
        QCOMPARE(scheduler.jobs().size(), 2);
        QCOMPARE(scheduler.documentsRefused(), 1);
    }

    // On a server wanting them for every request, one キャンセル ends the
    // asking for that print, and the box says why no printer is listed.
    void oneCancelEndsTheAsking()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        platform::Instance<dlgPrinter>::get();
        scheduler.requireLogin("alice", "secret", true);
        m_ui().answerLogin(std::nullopt);
        print({}, false);
        QCOMPARE(m_ui().count(QStringLiteral("Login")), 1);
        QCOMPARE(m_ui().count(), 1);
        QCOMPARE(m_ui().last().prompt, QStringLiteral("印刷サーバーに登録された名前とパスワードが入力されなかったため、プリンタを使えません。\r\n"
                                                      "PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。"));
        QCOMPARE(scheduler.jobs().size(), 0);
    }

    // The user's own キャンセル in the box for a queue's job is told in its
    // own words alone; a connection refused, in the user's words.
    void failureToldInWords()
    {
        AnsweringScheduler scheduler;
        scheduler.requireLogin("alice", "secret");
        useScheduler(scheduler.port());
        m_print.openStored();
        m_ui().answerLogin(std::nullopt);
        print();
        QCOMPARE(m_ui().last().title + m_ui().last().prompt, QStringLiteral("印刷") + NoLogin);
        platform::CurrentPrinter().beforeDraw = [&] { scheduler.refuse(); };
        print();
        platform::CurrentPrinter().beforeDraw = nullptr;
        QVERIFY2(m_ui().last().prompt.contains(QStringLiteral("印刷サーバーに接続できません。（接続を拒否されました）")),
                 qPrintable(m_ui().last().prompt));
    }

    // A print without the scheduler's answer: its job is cancelled at a
    // later print, also after a print whose cancel wanted a name and
    // password the user didn't give; where the scheduler keeps no mark of
    // the program's, the user is told that print may still come out.
    void promisedCancelIsKept_data()
    {
        QTest::addColumn<bool>("marksKept");
        QTest::newRow("its cancel wanting a login") << true;
        QTest::newRow("no mark kept") << false;
    }

    void promisedCancelIsKept()
    {
        QFETCH(bool, marksKept);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        if (marksKept)
            scheduler.requireLoginToCancel("alice", "secret");
        else
            scheduler.dropJobUuids();
        // Silent past the program's look for the job right after.
        scheduler.failNextJob(AnsweringScheduler::JobFault::CutAtAnswerThenSilent, 2000);
        print();
        QVERIFY(m_ui().last().prompt.contains(QStringLiteral("次に印刷するときに取り消されます")));
        scheduler.waitWhileSilent();
        if (marksKept) {
            m_ui().answerLogin(std::nullopt);
            print();
            QVERIFY2(m_ui().last().prompt.endsWith(NoLogin), qPrintable(m_ui().last().prompt));
            m_ui().answerLogin(Alice);
            print();
            QVERIFY(scheduler.delivered().at(0).cancelled);
        } else {
            print();
            QVERIFY2(m_ui().last().prompt.endsWith(QStringLiteral("その印刷が出てくることがあります。")),
                     qPrintable(m_ui().last().prompt));
        }
        QCOMPARE(scheduler.jobs().size(), 2);
    }
};

QTEST_MAIN(TestPrintChoices)
#include "tst_print_choices.moc"
