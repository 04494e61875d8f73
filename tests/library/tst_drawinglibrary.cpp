// The drawing library through the start window: new drawings and the
// refusal of a number in use, the list with its look and sorting, renaming,
// deleting across the six tables, and protection by password and flags.

#include "app/frmMain.h"
#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/sqltext.h"
#include "library/dlgDB.h"
#include "library/dlgPassInput.h"
#include "library/dlgPassWord.h"
#include "library/frmNew.h"
#include "platform/colors.h"
#include "platform/passwordhash.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include "editor/frmEdit.h"

#include <QtTest>

using namespace vb;
using platform::Form;
using platform::ModalScript;
using Step = ModalScript::Step;

namespace {

const QString kWrong = QStringLiteral("パスワードが違います。※大小文字を区別します、文字入力モードを確認してください。");
const QStringList kObjectTables{"tLabel", "tLine", "tShape", "tHatching", "tPrinter"};

QDateTime at(int year, int month = 1) { return QDateTime(QDate(year, month, 4), QTime(9, 5, 7)); }

// The new-drawing dialog filled in and OK pressed; left open, it is cancelled.
Step newDrawing(const QString& number, const QString& name, bool* stayedOpen = nullptr)
{
    return [=](Form& f) {
        auto& d = static_cast<frmNew&>(f);
        d.txtNo->setText(number);
        d.txtName->setText(name);
        d.cmdOK->button()->click();
        if (stayedOpen)
            *stayedOpen = d.isLoaded();
        if (d.isLoaded())
            d.cmdCancel->button()->click();
    };
}
Step typed(const QString& password)
{
    return [=](Form& f) {
        static_cast<dlgPassInput&>(f).txtInput->setText(password);
        static_cast<dlgPassInput&>(f).OKButton->button()->click();
    };
}
Step protection(bool edit, bool visible, const QString& password, const QString& confirmation)
{
    return [=](Form& f) {
        auto& d = static_cast<dlgPassWord&>(f);
        d.chkEdit->setValue(edit ? 1 : 0);
        d.chkVisible->setValue(visible ? 1 : 0);
        d.txtPassWord(0).setText(password);
        d.txtPassWord(1).setText(confirmation);
        d.OKButton->button()->click();
        if (d.isLoaded())
            d.CancelButton->button()->click();
    };
}

qint32 count(const QString& table, qint32 id)
{
    return GE_objConnection->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM %1 WHERE Print_Id = %2").arg(table).arg(id))
        [QStringLiteral("n")].toInt32();
}
platform::db::Field stored(const char* column, qint32 id)
{
    return GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM tPrint WHERE Print_Id = %1").arg(id))
        [QLatin1String(column)];
}

}  // namespace

class TestDrawingLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    static frmMain& start() { return platform::Instance<frmMain>::get(); }
    static dlgDB& list()
    {
        GE_strTableName = QStringLiteral("tPrint");
        return platform::Instance<dlgDB>::get();
    }
    static QList<qint32> ids(const dlgDB& d)
    {
        QList<qint32> result;
        for (int r = 1; r < d.fgrdDB->rows(); ++r)
            result << d.fgrdDB->textMatrix(r, dlgDB::colId).toInt();
        return result;
    }

    // The start window opens the editor after its dialogs; these tests only
    // look at what the dialogs handed over.
    static void closeEditor()
    {
        if (frmEdit* editor = platform::Instance<frmEdit>::pointer())
            editor->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A new drawing through the start window, stored as the editor's first
    // save does, with the given dates.
    static bool create(const QString& number, const QString& name, const QDateTime& created, const QDateTime& renewed)
    {
        ModalScript script;
        script.push(newDrawing(number, name));
        start().cmdMenu_Click(0);
        closeEditor();
        return GE_booDlgOK && mdlSQL::fncSQL_InsertPrint(GE_tpPrint) == 0 &&
               GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET datHizuke = %1, datRenew = %2 WHERE strNo = '%3'")
                                             .arg(sqltext::date(created), sqltext::date(renewed), number)) == 1;
    }

private slots:
    // Three drawings whose order differs by each of the five sort keys.
    void init()
    {
        GE_strDB_Folda_Path = m_dir.filePath(QString::number(++m_count));
        GE_strFile_Name = QStringLiteral("master.mdb");
        QVERIFY(QDir().mkpath(GE_strDB_Folda_Path));
        testsupport::copyTemplate(GE_strDB_Folda_Path + QStringLiteral("/master.mdb"));
        platform::ScopedScriptedUi ui;
        QVERIFY(start().isLoaded());
        GE_sngScale = 0;  // stored with each drawing
        QVERIFY(create(QStringLiteral("B"), QStringLiteral("い"), at(2014), at(2014, 6)));  // Print_Id 1
        QVERIFY(create(QStringLiteral("C"), QStringLiteral("あ"), at(2012), at(2013, 6)));  // 2
        QVERIFY(create(QStringLiteral("A"), QStringLiteral("う"), at(2013, 8), QDateTime()));  // 3
        QVERIFY(mdlSQL::fncSQL_GetPrintID(QStringLiteral("A")) == 3 && ui->count() == 0);
        GE_booDbUpdate = false;
    }
    void cleanup()
    {
        for (Form* f : Form::loadedForms()) {
            if (f != &start())
                f->unload();
        }
        platform::Instance<frmMain>::release();  // no close actions: nothing is written back
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        GE_objConnection.reset();
        GE_booDbOpen = false;
    }

    void newDrawingHandsOverItsRecord()
    {
        QStringList seen;
        ModalScript script;
        script.push([&](Form& f) {
            auto& d = static_cast<frmNew&>(f);
            f.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&f));
            seen << d.caption() << d.txtNo->SelText() << d.txtName->Text() << d.stsBar->Panels(1).Text();
            newDrawing(QStringLiteral(" 123456789012"), QString())(f);  // an opener's long number
        });
        const QDateTime now = Now();
        start().cmdMenu_Click(0);
        QCOMPARE(seen, (QStringList{"図面・新規作成 master.mdb", Format(now, QStringLiteral("mmdd-hhnn")), "新しい図面",
                                    "※この情報は、データベースの識別情報です。"}));
        QVERIFY(GE_booDlgOK);
        QCOMPARE(GE_tpPrint.strNo + QLatin1Char('|') + GE_tpPrint.strName, QStringLiteral("123456789|新しい図面"));
        QVERIFY(GE_tpPrint.Print_Id == 0 && GE_tpPrint.booEdit && GE_tpPrint.booVisible && GE_tpPrint.strPassWord.isEmpty());
        QVERIFY(GE_tpPrint.datHizuke >= now && !GE_tpPrint.datRenew.isValid());
    }

    void numberRefused_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("prompt");
        const QString empty = QStringLiteral("管理番号を入力してください！");
        QTest::newRow("empty") << "" << "管理番号未入力" << empty;
        QTest::newRow("blanks only") << "    " << "管理番号未入力" << empty;
        QTest::newRow("in use, holder named") << " B " << "管理番号重複"
            << "管理番号 : B\r\n図面名 : い\r\n作成日時 : 2014/01/04 09:05:07\r\n\r\n 既に、登録されています。違う管理番号を入力してください。";
        QTest::newRow("in use in another case") << "b" << "管理番号重複" << "管理番号 : b\r\n図面名 : い\r\n";
        QTest::newRow("lookup failed") << "D" << "mdlSQL:fncSQL_GetPrint() err.number = 1" << "no such table: tPrint";
    }
    void numberRefused()
    {
        QFETCH(QString, number);
        QFETCH(QString, title);
        QFETCH(QString, prompt);
        if (number == QLatin1String("D"))
            GE_objConnection->execute(QStringLiteral("ALTER TABLE tPrint RENAME TO tGone"));
        platform::ScopedScriptedUi ui;
        ModalScript script;
        bool stayedOpen = false;
        GE_sngScale = 7;  // the holder's settings must not reach the open drawing's
        script.push(newDrawing(number, QStringLiteral("三"), &stayedOpen));
        start().cmdMenu_Click(0);
        QVERIFY(stayedOpen && !GE_booDlgOK);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, title);
        QVERIFY(ui->last().prompt.startsWith(prompt));
        QVERIFY(GE_tpPrint.strNo == QLatin1String("A") && GE_sngScale == 7.0f);
    }

    void listLookAndOpening()
    {
        GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET booVisible = False WHERE Print_Id = 2;"
                                                 "UPDATE tPrint SET booEdit = False WHERE Print_Id = 3;"
                                                 "UPDATE tPrint SET strNo = '20120806-1' WHERE Print_Id = 1"));
        platform::ScopedScriptedUi ui;
        dlgDB& d = list();
        platform::Grid& g = *d.fgrdDB;
        QCOMPARE(ids(d), (QList<qint32>{1, 2, 3}));
        const QStringList titles{"ＩＤ", "管理番号", "名称", "作成日", "更新日", "", "", ""};
        // Shares of the grid's width; the numbers and the dates widen to
        // show whole, at the name's cost.
        const QList<int> widths{540, 900, 4050, 1530, 1530, 0, 0, 0};
        int total = 0;
        for (int c = 0; c < 8; ++c) {
            QCOMPARE(g.textMatrix(0, c), titles[c]);
            if (c != dlgDB::colNo && c != dlgDB::colName && c != dlgDB::colHizuke && c != dlgDB::colRenew)
                QCOMPARE(g.colWidth(c), widths[c]);
            total += g.colWidth(c);
            QCOMPARE(g.colAlignment(c) == platform::flexAlignCenterTop, c <= 4);
        }
        QCOMPARE(total, 8550);
        for (const int c : {dlgDB::colNo, dlgDB::colHizuke, dlgDB::colRenew}) {
            const int laidOut = g.view()->columnWidth(c);
            g.view()->resizeColumnToContents(c);
            QVERIFY(g.colWidth(c) >= widths[c] && laidOut >= g.view()->columnWidth(c));
        }
        QCOMPARE(g.textMatrix(3, dlgDB::colHizuke), QStringLiteral("13/08/04 09:05:07"));
        QCOMPARE(g.textMatrix(3, dlgDB::colEdit), QStringLiteral("False"));
        const auto look = [&g](int row, int col) {
            g.setRow(row);
            g.setCol(col);
            return qMakePair(g.cellForeColor(), g.cellBackColor());
        };
        QCOMPARE(look(1, 2), qMakePair(vbBlack, vbWindowBackground));
        QCOMPARE(look(2, 5), qMakePair(vbButtonFace, vbWindowBackground));  // hidden: grey text
        QCOMPARE(look(3, 1), qMakePair(vbBlack, vbYellow));                 // read-only: yellow
        // OK opens the last row, where a fill leaves the current row; its
        // empty update date reads back as unset.
        g.setRow(3);
        d.OKButton->button()->click();
        QCOMPARE(GE_tpPrint.Print_Id, 3);
        QCOMPARE(GE_tpPrint.datHizuke, at(2013, 8));
        QVERIFY(!GE_tpPrint.datRenew.isValid() && !GE_tpPrint.booEdit && !d.isLoaded());
        QCOMPARE(ui->count(), 0);
    }

    void sortsByEachVisibleColumnBothWays_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<qint32>>("ascending");
        QTest::newRow("ＩＤ") << 0 << QList<qint32>{1, 2, 3};
        QTest::newRow("管理番号") << 1 << QList<qint32>{3, 1, 2};
        QTest::newRow("名称") << 2 << QList<qint32>{2, 1, 3};
        QTest::newRow("作成日") << 3 << QList<qint32>{2, 3, 1};
        QTest::newRow("更新日") << 4 << QList<qint32>{3, 2, 1};  // an unset date first
    }
    void sortsByEachVisibleColumnBothWays()
    {
        QFETCH(int, key);
        QFETCH(QList<qint32>, ascending);
        GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET strPassWord = 'pw' WHERE Print_Id = 1"));
        dlgDB& d = list();
        d.popSortAsc(key).choose();
        QCOMPARE(ids(d), ascending);
        d.popSortDesc(key).choose();
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(ids(d), ascending);
        for (int r = 1; r <= 3; ++r)  // no password cell is left over from an earlier fill
            QCOMPARE(d.fgrdDB->textMatrix(r, dlgDB::colPassWord).isEmpty(), ids(d)[r - 1] != 1);
    }

    void renameThroughThePopupActsOnTheRowClicked_data()
    {
        QTest::addColumn<int>("clicked");  // the row clicked; another one is current
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("name");
        QTest::newRow("quote") << 2 << std::optional<QString>(QStringLiteral("O'Neil の図面")) << "O'Neil の図面";
        QTest::newRow("blanks as typed") << 2 << std::optional<QString>(QStringLiteral("  ")) << "  ";
        QTest::newRow("cancelled") << 2 << std::optional<QString>() << "あ";
        QTest::newRow("the first drawing") << 1 << std::optional<QString>(QStringLiteral("一番目")) << "一番目";
    }
    void renameThroughThePopupActsOnTheRowClicked()
    {
        QFETCH(int, clicked);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, name);
        platform::ScopedScriptedUi ui;
        dlgDB& d = list();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.fgrdDB->setRow(clicked == 1 ? 2 : 1);
        const QString number = d.fgrdDB->textMatrix(clicked, dlgDB::colNo);
        const int id = d.fgrdDB->textMatrix(clicked, dlgDB::colId).toInt();
        QTableView* view = d.fgrdDB->view();
        platform::PopupScript popup;
        popup.choose(*d.mnuReName);
        ui->answerInput(answer);
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, view->visualRect(view->model()->index(clicked - 1, 2)).center());
        QVERIFY(popup.allUsed() && ui.get().allAnswered());
        QCOMPARE(d.mnuReName->Caption() + d.popDell->Caption(), number + QStringLiteral(" の名称を変更") + number + QStringLiteral(" をデータベースから削除"));
        QCOMPARE(ui->last().title, QStringLiteral("画像帳・名前変更"));
        QCOMPARE(stored("strName", id).toString(), name);
        QCOMPARE(d.fgrdDB->textMatrix(clicked, dlgDB::colName), name);
    }

    void deleteTakesTheDrawingOutOfAllSixTables()
    {
        for (const QString& table : kObjectTables)
            GE_objConnection->execute(QStringLiteral("INSERT INTO %1 (Print_Id) VALUES (1); INSERT INTO %1 (Print_Id) VALUES (2)").arg(table));
        platform::ScopedScriptedUi ui;
        dlgDB& d = list();
        d.fgrdDB->setRow(1);
        ui->answerMsgBox(vbNo);
        ui->answerMsgBox(vbYes);
        d.popDell->choose();
        QCOMPARE(count(QStringLiteral("tPrint"), 1), 1);
        d.popDell->choose();
        QCOMPARE(ui->last().prompt, QStringLiteral("B : い\r\nを、削除しますか？\r\n※誤って削除した場合は・・・\r\n"
                                                   "プログラム終了時に、更新しないで終了してください。"));
        QCOMPARE(ui->last().title, QStringLiteral("画像帳削除"));
        QCOMPARE(ui->last().style, vbYesNo + vbDefaultButton2 + vbQuestion);
        for (const QString& table : kObjectTables + QStringList{"tPrint"})
            QVERIFY2(count(table, 1) == 0 && count(table, 2) == 1, qPrintable(table));
        QCOMPARE(ids(d), (QList<qint32>{2, 3}));
        QVERIFY(GE_booDbUpdate);
    }

    // Statements that belong together hold whole or not at all, and the list
    // shows only what is stored.
    void failedGroupLeavesNothingHalfDone_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("delete") << "BEFORE DELETE ON tHatching" << "subSQL_HatchingDeleteAll";
        QTest::newRow("protection") << "BEFORE UPDATE OF booVisible ON tPrint" << "fncSQL_Print_UpdateNum";
    }
    void failedGroupLeavesNothingHalfDone()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, procedure);
        GE_objConnection->execute(QStringLiteral("INSERT INTO tHatching (Print_Id) VALUES (1);"
                                                 "CREATE TRIGGER keep %1 BEGIN SELECT RAISE(ABORT, 'locked'); END").arg(trigger));
        platform::ScopedScriptedUi ui;
        ModalScript script;
        dlgDB& d = list();
        d.popSortDesc(0).choose();
        d.fgrdDB->setRow(3);
        ui->answerMsgBox(vbYes);
        script.push(protection(false, false, QStringLiteral("pw"), QStringLiteral("pw")));
        (procedure.contains(QLatin1String("Delete")) ? d.popDell : d.popPassWord)->choose();
        QCOMPARE(ui->last().title, QStringLiteral("mdlSQL:%1() err.number = 19").arg(procedure));
        QCOMPARE(count(QStringLiteral("tPrint"), 1) + count(QStringLiteral("tHatching"), 1), 2);
        QVERIFY(stored("strPassWord", 1).isNull() && stored("booEdit", 1).toBool() && !GE_booDbUpdate);
        QCOMPARE(ids(d), (QList<qint32>{3, 2, 1}));
        QCOMPARE(d.fgrdDB->textMatrix(3, dlgDB::colEdit) + d.fgrdDB->textMatrix(3, dlgDB::colPassWord), QStringLiteral("True"));
    }

    void protectThenOpenTheHiddenDrawing()
    {
        platform::ScopedScriptedUi ui;
        ModalScript script;
        dlgDB& d = list();
        d.fgrdDB->setRow(2);
        QStringList seen;
        script.push([&](Form& f) {  // no password yet: straight to the dialog, filled from the row
            auto& p = static_cast<dlgPassWord&>(f);
            seen << p.caption() << p.lblNo->Caption() << p.lblName->Caption()
                 << QString::number(p.chkEdit->Value() + p.chkVisible->Value()) << p.txtPassWord(0).Text();
            // Focusing the character check selects what was typed there, up to 99 characters.
            p.Text1->setText(QString(120, u'x'));
            (void)QTest::qWaitForWindowActive(&p);  // the focus moves inside it either way
            p.txtPassWord(0).SetFocus();
            p.Text1->SetFocus();
            seen << QStringLiteral("%1+%2").arg(p.Text1->SelStart()).arg(p.Text1->SelLength());
            // Its input method as the password boxes': off.
            seen << QStringLiteral("IME %1 %2").arg(p.Text1->IMEMode()).arg(p.txtPassWord(1).IMEMode());
            protection(false, false, QStringLiteral(" Ab'1"), QStringLiteral("Ab'1"))(f);
        });
        script.push(protection(false, false, QStringLiteral(" Ab'1 "), QStringLiteral(" Ab'1 ")));
        d.popPassWord->choose();
        QCOMPARE(seen, (QStringList{"パスワード設定", "C", "あ", "2", "", "0+99", "IME 2 2"}));
        QCOMPARE(ui->last().prompt, QStringLiteral("確認パスワードが一致しません。"));
        d.popPassWord->choose();
        // Kept in the slow salted form (and trimmed: the unblanked text opens it below).
        const QString slowForm = QStringLiteral("$pbkdf2-sha256$%1$").arg(platform::passwordhash::Iterations);
        const QString kept = stored("strPassWord", 2).toString();
        QVERIFY(kept.startsWith(slowForm) && !kept.contains(QStringLiteral("Ab")));
        QVERIFY(!stored("booEdit", 2).toBool() && !stored("booVisible", 2).toBool());
        QVERIFY(stored("datRenew", 2).toDate().secsTo(Now()) < 60);
        QCOMPARE(d.fgrdDB->textMatrix(2, dlgDB::colPassWord), kept);
        // The refusals below check against a form of few rounds, which the
        // form itself names.
        GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET strPassWord = '%1' WHERE Print_Id = 2")
                                      .arg(platform::passwordhash::stored(QStringLiteral("Ab'1"), 3)));
        d.popSortAsc(0).choose();  // the new colours show from the next fill
        d.fgrdDB->setRow(2);
        d.fgrdDB->setCol(1);
        QCOMPARE(qMakePair(d.fgrdDB->cellForeColor(), d.fgrdDB->cellBackColor()), qMakePair(vbButtonFace, vbYellow));

        // A protected drawing asks for its password first; opening the hidden
        // one asks too: cancelled, then wrong case.
        script.push(typed(QStringLiteral("ab'1")));
        d.popPassWord->choose();
        QCOMPARE(ui->last().prompt, kWrong);
        script.push([](Form& f) { f.close(); });
        script.push(typed(QStringLiteral("ab'1")));
        d.fgrdDB_DblClick();
        QCOMPARE(ui->count(), 2);
        d.fgrdDB_DblClick();
        QCOMPARE(ui->last().prompt + ui->last().title, kWrong + QStringLiteral("パスワード異常"));
        QCOMPARE(ui->last().style, int(vbExclamation));
        QVERIFY(GE_tpPrint.Print_Id == 0 && d.isLoaded());
        // The right one: the boxes hold it, so OK without typing keeps it,
        // stored again in the slow form, which opens the drawing.
        QString boxes;
        script.push(typed(QStringLiteral("Ab'1")));
        script.push([&](Form& f) {
            auto& p = static_cast<dlgPassWord&>(f);
            boxes = p.txtPassWord(0).Text() + u'|' + p.txtPassWord(1).Text();
            p.OKButton->button()->click();
        });
        d.popPassWord->choose();
        QCOMPARE(boxes, QStringLiteral("Ab'1|Ab'1"));
        QVERIFY(d.fgrdDB->textMatrix(2, dlgDB::colPassWord).startsWith(slowForm));
        script.push(typed(QStringLiteral("Ab'1")));
        d.popOverView->choose();
        QCOMPARE(GE_tpPrint.Print_Id, 2);
        QVERIFY(!d.isLoaded() && script.allUsed());

        // Passwords older records hold (as typed, or one round of SHA-256)
        // still open their drawings, and take the slow form at the next setting.
        const QString sha256 = QStringLiteral("$sha256$5a1f$")
            + QString::fromLatin1(QCryptographicHash::hash("5a1fAbc1", QCryptographicHash::Sha256).toHex());
        for (const QString& older : {QStringLiteral("Abc1"), sha256}) {
            GE_objConnection->execute(
                QStringLiteral("UPDATE tPrint SET strPassWord = '%1', booVisible = False WHERE Print_Id = 1").arg(older));
            dlgDB& again = list();
            again.fgrdDB->setRow(1);
            script.push(typed(QStringLiteral("Abc1")));
            GE_tpPrint.Print_Id = 0;
            again.fgrdDB_DblClick();
            QCOMPARE(GE_tpPrint.Print_Id, 1);
        }
        dlgDB& again = list();
        again.fgrdDB->setRow(1);
        script.push(typed(QStringLiteral("Abc1")));
        script.push(protection(true, false, QStringLiteral("Abc1"), QStringLiteral("Abc1")));
        again.popPassWord->choose();
        QVERIFY(stored("strPassWord", 1).toString().startsWith(slowForm) && script.allUsed());
    }

    void promptTakesEightMaskedCharactersAndEnterTwice()
    {
        ModalScript script;
        script.push([](Form& f) {
            auto& p = static_cast<dlgPassInput&>(f);
            p.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&p));
            p.txtInput->SetFocus();
            QTest::keyClicks(p.txtInput->lineEdit(), QStringLiteral("Abcdefghij"));
            QCOMPARE(p.txtInput->lineEdit()->echoMode(), QLineEdit::Password);
            QCOMPARE(p.txtInput->lineEdit()->displayText(), QStringLiteral("********"));
            QTest::keyClick(p.txtInput->lineEdit(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), p.OKButton->button());
            QTest::keyClick(p.OKButton->button(), Qt::Key_Return);
        });
        platform::Instance<dlgPassInput>::get().showForm(platform::vbModal);
        QVERIFY(script.allUsed() && GE_booDlgOK);
        QCOMPARE(GE_strPassWord, QStringLiteral("Abcdefgh"));
    }

    // A fixed border: the close box only, and a size the user can't change.
    void fixedDialogsCanNeitherMinimiseNorMaximise()
    {
        platform::ScopedScriptedUi ui;
        for (Form* f : QList<Form*>{&platform::Instance<frmNew>::get(), &platform::Instance<dlgDB>::get(),
                                    &platform::Instance<dlgPassInput>::get(), &platform::Instance<dlgPassWord>::get()}) {
            f->show();
            const Qt::WindowFlags flags = f->windowFlags();
            QVERIFY2(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint))
                         && (flags & Qt::WindowCloseButtonHint), qPrintable(f->objectName()));
            QVERIFY2(f->minimumSize() == f->maximumSize() && f->size() == f->minimumSize()
                         && f->centralWidget()->size() == f->centralWidget()->minimumSize(),
                     qPrintable(f->objectName()));
        }
    }

    void openThroughTheStartWindowUnlessADrawingIsOpen()
    {
        ModalScript script;
        QString caption;
        script.push([&](Form& f) {
            caption = f.caption();
            f.close();  // the close box chooses nothing
        });
        GE_tpPrint.Print_Id = 3;
        start().cmdMenu_Click(1);
        QCOMPARE(caption, QStringLiteral("図面を開く master.mdb"));
        QCOMPARE(GE_tpPrint.Print_Id, 0);
        Form editor(QStringLiteral("frmEdit"));
        editor.load();
        start().cmdMenu_Click(0);
        start().cmdMenu_Click(1);
        QVERIFY(script.allUsed());
        editor.unload();
    }

    // A database the user may only read: told before work that only a save
    // could keep (a new drawing, an editable one opened), not for a drawing
    // that can't be changed anyway.
    void readOnlyDatabaseIsToldBeforeTheWork()
    {
        GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET booEdit = False WHERE Print_Id = 3"));
        const QString path = GE_objConnection->path();
        {
            platform::ScopedScriptedUi keep;
            keep->answerMsgBox(vbYes);
            GE_booDbUpdate = true;
            QCOMPARE(mdlDB::fncDbClose(), qint16(0));
        }
        testsupport::ReadOnlyFolder readOnly(path);
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        platform::ScopedScriptedUi ui;
        ModalScript script;
        script.push([](Form& f) { static_cast<dlgDB&>(f).fgrdDB->setRow(3); static_cast<dlgDB&>(f).OKButton_Click(); });
        start().cmdMenu_Click(1);
        closeEditor();
        QCOMPARE(ui->count(), 0);
        script.push(newDrawing(QStringLiteral("D"), QStringLiteral("え")));
        start().cmdMenu_Click(0);
        closeEditor();
        script.push([](Form& f) { static_cast<dlgDB&>(f).fgrdDB->setRow(1); static_cast<dlgDB&>(f).OKButton_Click(); });
        start().cmdMenu_Click(1);
        closeEditor();
        QVERIFY(script.allUsed());
        QCOMPARE(ui->count(), 2);
        for (const auto& box : ui->boxes) {
            QCOMPARE(box.prompt, QStringLiteral("データベースファイル ") + path
                                     + QStringLiteral(" は読み取り専用のため、書き込めません。\r\n"
                                                      "図面を見ることはできますが、変更は保存できません。\r\n"
                                                      "保存するには、ファイルに書き込めるようにしてから、データベースを開き直してください。"));
            QCOMPARE(box.title, QStringLiteral("データベース書き込み不可"));
        }
    }
};

QTEST_MAIN(TestDrawingLibrary)
#include "tst_drawinglibrary.moc"
