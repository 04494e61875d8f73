// The File menu's drawing commands: the save's question and refusal, the
// toolbar's open and save buttons, the close's offer to save, and bringing a
// picture in through the folder picker and the thumbnail window.

#include "tests/editor/editorfixture.h"

#include "library/dlgBrowesForFolder.h"
#include "library/frmThumbnail.h"
#include "measure/hatchcache.h"
#include "platform/form.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <optional>

using namespace editortest;
using platform::Form;
using platform::ModalScript;
using platform::ScopedScriptedUi;

namespace {

const QString kQuestion = QStringLiteral("オブジェクトを上書きしますか？");
const QString kSaveTitle = QStringLiteral("オブジェクトの保存");

dlgBrowesForFolder& picker(Form& form) { return static_cast<dlgBrowesForFolder&>(form); }
frmThumbnail& browser(Form& form) { return static_cast<frmThumbnail&>(form); }

template <class T>
T& shown(platform::ElementArray<T>& a, int k)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Visible = true;
    return a(k);
}

// One object of every kind the import clears or keeps, and an area's hatching.
void fillObjects(frmEdit& e)
{
    shown(e.lblKyori, 0).Tag = QStringLiteral("021:1_200102030401");
    shown(e.lineDsSave, 0);
    shown(e.lineHojoSave, 1);
    shown(e.shpSnpo, 1);
    shown(e.lblMensekiS, 0).Tag = QStringLiteral("020:5_200102030402");
    shown(e.linePS, 2);
    shown(e.lblKeiroS, 0);
    shown(e.lblMoji, 1);
    shown(e.lblKeiIdoS, 0);
    shown(e.lineHikidashi, 1);
    shown(e.shpShape, 0);
    shown(e.shpShape, 1);
    e.intMojiNo = 5;
    e.intKeiIdoNo = 3;
    typHatching h;
    h.iStyle = 1;
    h.Tag = QStringLiteral("200102030402");
    GE_tpHatching = {h, typHatching()};
    mdlFileAccess::subPut_Bin(h.Tag, h, {typHatchLine{1, 2, 3, 4}});
}

// Noise, so that the coded data is long and full of stuffed bytes.
QByteArray noiseJpeg()
{
    QImage image(400, 300, QImage::Format_RGB32);
    QRandomGenerator random(5);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, random.generate() | 0xff000000u);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return buffer.data();
}

bool cutShort(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString cutShortBox(const QString& path, const QString& tail)
{
    return path + QStringLiteral("\r\nこの画像ファイルは途中で切れています（壊れているか、コピーが途中で終わっています）。\r\n")
        + tail;
}

template <class T>
bool emptied(const platform::ElementArray<T>& a)
{
    return a.UBound() == 0 && !a(0).Visible;
}

}  // namespace

class TestFrmEditFile : public QObject {
    Q_OBJECT

    std::unique_ptr<ScopedScriptedUi> m_quiet;
    std::unique_ptr<Fixture> m_fx;
    QString m_pictures;
    qint32 m_id = 0;

    frmEdit& openStored()
    {
        m_id = m_fx->storeDrawing(QStringLiteral("F-1"), m_fx->dir.path(), QStringLiteral("map.bmp"));
        GE_booDbUpdate = false;  // from here on, only what the commands write
        return Fixture::open();
    }

    static int labelRows()
    {
        auto rs = GE_objConnection->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM tLabel"));
        return rs[QStringLiteral("n")].toInt32();
    }

    ScopedScriptedUi& ui() { return *m_quiet; }

private slots:
    void init()
    {
        m_quiet = std::make_unique<ScopedScriptedUi>();
        m_fx = std::make_unique<Fixture>();
        QVERIFY(m_fx->openDatabase());
        writePicture(m_fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        m_pictures = m_fx->dir.filePath(QStringLiteral("pictures"));
        QDir().mkpath(m_pictures);
        writePicture(m_pictures, QStringLiteral("new.bmp"), QSize(120, 90));
        QFile broken(m_pictures + QStringLiteral("/broken.bmp"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("no picture here") > 0 && broken.flush());
        // A JPEG cut after 20,000 bytes and a BMP that lacks its last rows.
        QVERIFY(cutShort(m_pictures + QStringLiteral("/cut.jpg"), noiseJpeg().left(20000)));
        const QString bmp = writePicture(m_pictures, QStringLiteral("cut.bmp"), QSize(120, 90));
        QVERIFY(cutShort(bmp, testsupport::fileBytes(bmp).chopped(3000)));
        QVERIFY(cutShort(m_pictures + QStringLiteral("/note.gif"), "a text file named as a picture"));
        GE_strTempPath = m_fx->dir.filePath(QStringLiteral("TEMP"));
        QDir().mkpath(GE_strTempPath);
        GE_booThumbnail = false;
        GE_strPict_Folda = m_pictures;
    }

    void cleanup()
    {
        if (frmEdit* e = platform::Instance<frmEdit>::pointer())
            e->booDrawChange = e->booPrtChange = false;
        Fixture::closeEditor();
        Fixture::closeDatabase();
        m_fx.reset();
        QVERIFY2(ui()->unexpected.isEmpty(), qPrintable(ui()->unexpected.join(QLatin1Char('|'))));
        m_quiet.reset();
    }

    // Nothing is written when the answer is No, nor for a drawing its owner
    // made read-only (whose change flag is then dropped, so the close asks nothing).
    void saveWritesNothingWhenRefused_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("lastBox");
        QTest::addColumn<int>("lastStyle");
        QTest::newRow("no") << int(vb::vbNo) << true << kQuestion << 292;
        QTest::newRow("read-only")
            << int(vb::vbYes) << false << QStringLiteral("この図面は、ユーザーにより編集不可に設定されています。") << 48;
    }

    void saveWritesNothingWhenRefused()
    {
        QFETCH(int, answer);
        QFETCH(bool, editable);
        QFETCH(QString, lastBox);
        QFETCH(int, lastStyle);
        frmEdit& e = openStored();
        shown(e.lblMoji, 0);
        e.booDrawChange = true;
        GE_tpPrint.booEdit = editable;
        ui()->answerMsgBox(answer);
        e.mnuFileSavePrj->choose();
        QCOMPARE(ui()->boxes.first().title, kSaveTitle);
        QCOMPARE(ui()->last().prompt, lastBox);
        QCOMPARE(ui()->last().style, lastStyle);
        QCOMPARE(e.booDrawChange, editable);
        QVERIFY(!GE_booDbUpdate);
        QCOMPARE(labelRows(), 0);
    }

    // The buttons run their commands only while the menu items are enabled.
    void toolbarButtonsFollowTheirMenuItems()
    {
        ModalScript script;  // any window the open button showed would be reported
        frmEdit& e = openStored();
        e.mnuFileSavePrj->setEnabled(false);
        e.mnuFileNewPrj->setEnabled(false);
        e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("save")));
        e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("open")));
        QCOMPARE(ui()->count(), 0);
        QVERIFY(script.shown.isEmpty());

        e.mnuFileSavePrj->setEnabled(true);
        ui()->answerMsgBox(vb::vbNo);
        e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("save")));
        QCOMPARE(ui()->last().prompt, kQuestion);

        e.mnuFileNewPrj->setEnabled(true);
        script.push([](Form& form) { picker(form).CancelButton->setValue(true); });
        e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("open")));
        QVERIFY(script.allUsed());
        QCOMPARE(script.shown, QStringList{QStringLiteral("dlgBrowesForFolder")});
    }

    // A drawing whose picture was moved away, opened without it, is offered
    // the save as one with its picture is.
    void closingWithChangedObjectsOffersTheSave_data()
    {
        QTest::addColumn<bool>("pictureThere");
        QTest::newRow("picture") << true;
        QTest::newRow("picture moved away, not looked for") << false;
    }

    void closingWithChangedObjectsOffersTheSave()
    {
        QFETCH(bool, pictureThere);
        if (!pictureThere) {
            QVERIFY(QFile::rename(m_fx->dir.filePath(QStringLiteral("map.bmp")),
                                  m_fx->dir.filePath(QStringLiteral("moved.bmp"))));
            ui()->answerMsgBox(vb::vbNo);  // 自分で探しますか？
        }
        frmEdit& e = openStored();
        QCOMPARE(e.pictMap->hasPicture(), pictureThere);
        const int before = ui()->count();
        shown(e.lblMoji, 0).Caption = QStringLiteral("kept");
        e.booDrawChange = true;
        ui()->answerMsgBox(vb::vbYes);
        Fixture::closeEditor();
        QCOMPARE(ui()->count(), before + 1);
        QCOMPARE(ui()->last().prompt, kQuestion);
        QVERIFY(GE_booDbUpdate);
        QCOMPARE(labelRows(), 1);
    }

    // A database file the user may only read, or one another copy of the
    // program has written and not yet saved for good: the save at the close
    // is refused with what to do, and the editor stays with the work; No
    // still closes it.
    void closingWhenTheSaveIsRefusedKeepsTheDrawing_data()
    {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("advice");
        QTest::newRow("read-only file") << false << "読み取り専用のため、書き込めません。" << QString();
        QTest::newRow("another program writing")
            << true << "は、ほかのプログラムが使用中です。（database is locked）"
            << "\r\n\r\nこのデータベースファイルを、ほかのねむのきⅡ（別のパソコンや別のユーザーのもの）が使っています。\r\n"
               "そのねむのきⅡを終了してもらってから、もう一度保存してください。図面は開いたままなので、あとで保存できます。";
    }
    void closingWhenTheSaveIsRefusedKeepsTheDrawing()
    {
        QFETCH(bool, held);
        QFETCH(QString, cause);
        QFETCH(QString, advice);
        m_id = m_fx->storeDrawing(QStringLiteral("F-1"), m_fx->dir.path(), QStringLiteral("map.bmp"));
        const QString path = GE_objConnection->path();
        ui()->answerMsgBox(vb::vbYes);  // keep the stored drawing
        GE_booDbUpdate = true;
        QCOMPARE(mdlDB::fncDbClose(), qint16(0));
        std::optional<testsupport::ReadOnlyFolder> readOnly;
        platform::db::Connection other;
        if (held) {
            other.open(mdlDB::fncConnectionString(path));
            other.beginTrans();
            other.execute(QStringLiteral("INSERT INTO tPrint (strNo) VALUES ('other')"));
        } else {
            readOnly.emplace(path);
        }
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        frmEdit& e = Fixture::open();
        shown(e.lblMoji, 0).Caption = QStringLiteral("kept");
        e.booDrawChange = true;
        const int before = ui()->count();
        ui()->answerMsgBox(vb::vbYes);
        QVERIFY(!e.unload());
        QCOMPARE(ui()->boxes[before].prompt, kQuestion);
        QVERIFY(ui()->boxes[before + 1].prompt.contains(cause));
        QCOMPARE(ui()->last().prompt, QStringLiteral("図面を保存できませんでした。保存されている図面は、前回保存した内容のままです。") + advice);
        QCOMPARE(platform::Instance<frmEdit>::pointer(), &e);
        QVERIFY(e.booDrawChange);
        QCOMPARE(e.lblMoji(0).Caption, QStringLiteral("kept"));
        ui()->answerMsgBox(vb::vbNo);
        QVERIFY(e.unload());
        QCOMPARE(labelRows(), 0);
    }

    void missingPictureFoundElsewhereIsStoredAtOnce()
    {
        m_id = m_fx->storeDrawing(QStringLiteral("F-2"), m_fx->dir.path(), QStringLiteral("moved.bmp"));
        GE_booDbUpdate = false;
        ui()->answerMsgBox(vb::vbYes);
        ModalScript script;
        script.push([](Form& form) {
            QCOMPARE(form.caption(), QStringLiteral("画像検索"));
            picker(form).OKButton->setValue(true);
        });
        script.push([](Form& form) {
            browser(form).stsBar->Panels(2).setText(QStringLiteral("new.bmp"));
            browser(form).cmdOK->setValue(true);
        });
        frmEdit& e = Fixture::open();
        QVERIFY2(script.allUsed(), qPrintable(script.unexpected.join(u',')));
        QCOMPARE(e.pictMap->picture()->size(), QSize(120, 90));
        QCOMPARE(GE_tpPrint.strFileName, QStringLiteral("new.bmp"));
        QCOMPARE(GE_tpPrint.strPath, m_pictures);
        QVERIFY(GE_booDbUpdate);
        // Written into the stored record at once, inside the open transaction.
        auto rs = GE_objConnection->openRecordset(
            QStringLiteral("SELECT strPath, strFileName FROM tPrint WHERE Print_Id = %1").arg(m_id));
        QCOMPARE(rs[QStringLiteral("strFileName")].toString(), QStringLiteral("new.bmp"));
        QCOMPARE(rs[QStringLiteral("strPath")].toString(), m_pictures);
    }

    void importReplacesThePictureAndClearsTheObjects()
    {
        frmEdit& e = openStored();
        fillObjects(e);
        e.mnuDispEandR_Click(2);  // 150 %
        ModalScript script;
        script.push([this](Form& form) {
            QCOMPARE(form.caption(), QStringLiteral("画像取り込み"));
            QCOMPARE(picker(form).lblComment->Caption(),
                     QStringLiteral("画像ファイルが存在するフォルダを、ダブルクリックしてください。"));
            QCOMPARE(picker(form).stsBar->Panels(1).Text(), m_pictures);
            picker(form).OKButton->setValue(true);
        });
        script.push([](Form& form) {
            QVERIFY(browser(form).lblMesage->Caption().endsWith(QStringLiteral("右クリックで画像を拡大表示します。")));
            browser(form).stsBar->Panels(2).setText(QStringLiteral("new.bmp"));
            browser(form).cmdOK->setValue(true);
        });
        ui()->answerMsgBox(vb::vbYes);
        e.mnuFileNewPrj->choose();
        QVERIFY(script.allUsed());
        // Asked first, kind by kind.
        QCOMPARE(ui()->count(), 1);
        QCOMPARE(ui()->last().prompt,
                 QStringLiteral("画像を取り込むと、この図面の次のオブジェクトがすべて消去されます。\r\n\r\n"
                                "距離・寸法：1\r\n面積：1\r\n経路：1\r\n引き出し線：1\r\n文字：1\r\n位置情報：1\r\n\r\n"
                                "（図形は残ります。）画像を取り込みますか？"));
        QCOMPARE(ui()->last().title, QStringLiteral("画像取り込み"));
        QCOMPARE(ui()->last().style, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2);

        QCOMPARE(e.pictMap->picture()->size(), QSize(120, 90));
        QCOMPARE(GE_tpPrint.strFileName, QStringLiteral("new.bmp"));
        QCOMPARE(GE_tpPrint.strPath, m_pictures);
        QCOMPARE(GE_tpPrint.strNo, QStringLiteral("F-1"));
        QCOMPARE(GE_tpPrint.Print_Id, m_id);
        QCOMPARE(GE_strPict_Folda, m_pictures);
        QCOMPARE(e.stsBar->Panels(1).Text(), m_pictures);
        QVERIFY(emptied(e.lblKyori) && emptied(e.lineDsSave) && emptied(e.lineHojoSave) && emptied(e.shpSnpo));
        QVERIFY(emptied(e.lblMensekiS) && emptied(e.lblKeiroS) && emptied(e.linePS));
        QVERIFY(emptied(e.lblMoji) && emptied(e.lblKeiIdoS) && emptied(e.lineHikidashi));
        QCOMPARE(e.intMojiNo, qint16(0));
        QCOMPARE(e.intKeiIdoNo, qint16(0));
        QCOMPARE(e.shpShape.UBound(), 1);  // user shapes stay
        QVERIFY(e.shpShape(1).Visible);
        QCOMPARE(GE_tpHatching.size(), 1);
        QCOMPARE(GE_tpHatching[0].Tag, QString());
        QVERIFY(QDir(GE_strTempPath).entryList({QStringLiteral("*.bin")}, QDir::Files).isEmpty());
        QCOMPARE(GE_sngZoom, 1.0f);
        QCOMPARE(e.sngZoomPrev, 1.0f);
        QVERIFY(e.mnuFileSavePrj->Enabled() && e.mnuFileSaveCsv->Enabled());
        QCOMPARE(e.stsTip->Panels(1).Text(), QStringLiteral("メニュー「ﾂｰﾙ(T)」→「ｵﾌﾟｼｮﾝ(O)」を選択してください。"));
        QVERIFY(e.booDrawChange);
    }

    void importThatBringsNoPictureChangesNothing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("folder cancelled") << 0;
        QTest::newRow("thumbnails closed") << 1;
        QTest::newRow("unreadable picture") << 2;
        QTest::newRow("question answered no") << 3;
        QTest::newRow("jpeg cut short") << 4;
        QTest::newRow("bmp cut short") << 5;
        QTest::newRow("text named .gif") << 6;
    }

    void importThatBringsNoPictureChangesNothing()
    {
        QFETCH(int, how);
        frmEdit& e = openStored();
        fillObjects(e);
        const platform::SharedImage picture = e.pictMap->picture();
        GE_strMapImage = QStringLiteral("new.bmp");  // an earlier choice must not be taken
        ModalScript script;
        if (how == 0) {
            script.push([](Form& form) { picker(form).CancelButton->setValue(true); });
        } else {
            script.push([](Form& form) { picker(form).OKButton->setValue(true); });
            script.push([how](Form& form) {
                if (how == 1) {
                    browser(form).cmdCloase->setValue(true);
                    return;
                }
                const char* names[] = {"", "", "broken.bmp", "new.bmp", "cut.jpg", "cut.bmp", "note.gif"};
                const QString name = QString::fromLatin1(names[how]);
                frmThumbnail& thumbnails = browser(form);
                if (how >= 4) {
                    // The thumbnails as the user sees them: a double click on
                    // a picture that is refused says so, and the picker stays
                    // for another choice.
                    thumbnails.activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(&thumbnails));
                    for (platform::PictureBox* cell : thumbnails.imgPictureS) {
                        if (cell->toolTip() == name) {
                            QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(5, 5));
                            QTest::mouseDClick(cell, Qt::LeftButton, {}, QPoint(5, 5));
                        }
                    }
                } else {
                    thumbnails.stsBar->Panels(2).setText(name);
                    thumbnails.cmdOK->setValue(true);
                }
                if (how == 3)
                    return;
                QVERIFY(thumbnails.isVisible() && GE_booThumbnail);
                QCOMPARE(GE_strMapImage, QString());
                thumbnails.cmdCloase->setValue(true);
            });
        }
        if (how == 3)
            ui()->answerMsgBox(vb::vbNo);
        e.mnuFileNewPrj_Click();
        QVERIFY(script.allUsed());
        // The picture's own load error, the question, or the refusal.
        QCOMPARE(ui()->count(), how >= 2 ? 1 : 0);
        if (how == 6) {
            QVERIFY2(ui()->last().prompt.startsWith(QStringLiteral("画像ファイル note.gif を読み込めません。（")), qPrintable(ui()->last().kind + ui()->last().prompt));
            QCOMPARE(ui()->last().title, QStringLiteral("画像ファイル"));
        }
        if (how == 4 || how == 5) {
            const QString file = m_pictures + (how == 4 ? QStringLiteral("/cut.jpg") : QStringLiteral("/cut.bmp"));
            QCOMPARE(ui()->last().prompt, cutShortBox(file, QStringLiteral("画像の一部が欠けているため、取り込みません。")));
            QCOMPARE(ui()->last().title, QStringLiteral("画像取り込み"));
            QCOMPARE(ui()->last().style, vb::vbExclamation);
        }
        QCOMPARE(e.pictMap->picture(), picture);
        QCOMPARE(GE_tpPrint.strFileName, QStringLiteral("map.bmp"));
        QCOMPARE(e.stsBar->Panels(1).Text(), m_fx->dir.path());  // the picture's folder still
        QVERIFY(e.lblMoji(1).Visible && e.lblKyori(0).Visible && e.lineHikidashi(1).Visible);
        QCOMPARE(GE_tpHatching.size(), 2);
        QVERIFY(!e.booDrawChange);
    }

    // A drawing with nothing the import would clear is not asked about;
    // measuring lines left without their labels are still work to lose.
    void importIntoADrawingWithoutObjectsAsksNothing()
    {
        frmEdit& e = openStored();
        shown(e.shpShape, 0);
        ModalScript script;
        for (int run = 0; run < 2; ++run) {
            script.push([](Form& form) { picker(form).OKButton->setValue(true); });
            script.push([](Form& form) {
                browser(form).stsBar->Panels(2).setText(QStringLiteral("new.bmp"));
                browser(form).cmdOK->setValue(true);
            });
        }
        e.mnuFileNewPrj_Click();
        QCOMPARE(ui()->count(), 0);
        QCOMPARE(e.pictMap->picture()->size(), QSize(120, 90));
        QVERIFY(e.shpShape(0).Visible);

        shown(e.lineDsSave, 0);
        ui()->answerMsgBox(vb::vbNo);
        e.mnuFileNewPrj_Click();
        QVERIFY(script.allUsed());
        QVERIFY(ui()->last().prompt.contains(QStringLiteral("\r\n\r\n計測線：1\r\n\r\n")));
        QVERIFY(e.lineDsSave(0).Visible);
    }

    // The work stays in view over a picture that is now damaged; the user
    // is told which file it is and not to measure on what it lacks.
    void storedDrawingWithACutShortPictureOpensWithAWarning()
    {
        const QString path = m_fx->dir.filePath(QStringLiteral("map.bmp"));
        QVERIFY(cutShort(path, testsupport::fileBytes(path).chopped(4000)));
        frmEdit& e = openStored();
        QCOMPARE(ui()->count(), 1);
        QCOMPARE(ui()->last().prompt,
                 cutShortBox(path, QStringLiteral("欠けた部分は画像として表示されません。その部分では計測しないでください。")));
        QCOMPARE(ui()->last().title, QStringLiteral("画像ファイルの破損"));
        QCOMPARE(ui()->last().style, vb::vbExclamation);
        QCOMPARE(e.pictMap->picture()->size(), QSize(200, 150));
        QVERIFY(e.mnuFileNewPrj->Enabled());
    }

    void importWhileThumbnailsAreOpenDoesNothing()
    {
        frmEdit& e = openStored();
        GE_booThumbnail = true;
        ModalScript script;
        e.mnuFileNewPrj_Click();
        GE_booThumbnail = false;
        QVERIFY(script.shown.isEmpty());
    }
};

QTEST_MAIN(TestFrmEditFile)
#include "tst_frmedit_file.moc"
