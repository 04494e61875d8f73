// The folder pickers as their openers use them: the special-folder list,
// the folder browser, the drive-and-folder dialog, OK without a folder, and
// the editor's picture search going on to the thumbnail browser.

#include "app/globals.h"
#include "library/dlgBrowesForFolder.h"
#include "library/dlgFolder.h"
#include "library/frmThumbnail.h"
#include "platform/ui.h"

#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;
using vb::vbCrLf;

namespace {

const QString kSearchCaption = QStringLiteral("画像検索");
const QString kSearchComment = QStringLiteral("画像ファイルが存在するフォルダを、ダブルクリックしてください。");
const QString kNoFolderText = QStringLiteral("フォルダをダブル・クリックして選択したください。");
const QString kNoFolderTitle = QStringLiteral("フォルダ未設定");

// The editor's search for a missing picture: the folder picker, then the
// thumbnail browser on the folder chosen.
void searchPicture()
{
    dlgBrowesForFolder& picker = Instance<dlgBrowesForFolder>::get();
    picker.setCaption(kSearchCaption);
    picker.lblComment->setCaption(kSearchComment);
    picker.stsBar->Panels(1).setText(GE_strPict_Folda);
    GE_strInDrive = GE_strPict_Drive;
    GE_strInFolder = GE_strPict_Folda;
    picker.showForm(vbModal);
    if (!GE_booDlgOK)
        return;
    GE_strPict_Drive = GE_strDrive;
    GE_strPict_Folda = GE_strFolder;
    frmThumbnail& browser = Instance<frmThumbnail>::get();
    browser.lblMesage->setCaption(QStringLiteral("画像又は、ファイル名をクリックして「ＯＫ」を押すか、")
                                  + QStringLiteral("ダブルクリックしてください。") + vbCrLf
                                  + QStringLiteral("右クリックで画像を拡大表示します。"));
    browser.showForm(vbModal);
}

// The previous-version import: no folder in the status bar.
void openForOldPicture()
{
    dlgBrowesForFolder& picker = Instance<dlgBrowesForFolder>::get();
    picker.setCaption(QStringLiteral("旧ねむのき・画像フォルダ選択"));
    picker.lblComment->setCaption(QStringLiteral("画像が収録されているフォルダを選択してください。"));
    GE_strInDrive.clear();
    GE_strInFolder = GE_strDB_Folda_Path;
    picker.showForm(vbModal);
}

// A double-click on a row of a list, as the user makes it.
void doubleClickRow(ListControl* list, const QString& rowText)
{
    QListWidget* widget = list->listWidget();
    for (int row = 0; row < widget->count(); ++row) {
        if (widget->item(row)->text().trimmed() == rowText) {
            widget->setCurrentRow(row);
            emit widget->itemDoubleClicked(widget->item(row));
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no row ") + rowText));
}

dlgBrowesForFolder& picker(Form& form)
{
    return static_cast<dlgBrowesForFolder&>(form);
}

}  // namespace

class TestPickers : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_pictures;  // a folder with three pictures
    QString m_temp;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_pictures = m_dir.filePath(QStringLiteral("photos"));
        m_temp = m_dir.filePath(QStringLiteral("TEMP"));
        QVERIFY(QDir().mkpath(m_pictures));
        QVERIFY(QDir().mkpath(m_temp));
        for (const char* name : {"a.bmp", "b.JPG", "c.jpg"}) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            QVERIFY(image.save(QDir(m_pictures).filePath(QLatin1String(name)), name[0] == 'a' ? "BMP" : "JPG"));
        }
    }

    void init()
    {
        GE_strTempPath = m_temp;
        GE_strPict_Drive.clear();
        GE_strPict_Folda.clear();
        GE_strFolder = QStringLiteral("stale");
        GE_strDrive = QStringLiteral("stale");
        GE_strMapImage = QStringLiteral("stale");
        GE_booDlgOK = true;
    }

    void cleanup()
    {
        for (Form* form : Form::loadedForms())
            form->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Instance<dlgBrowesForFolder>::exists());
        QVERIFY(!Instance<dlgFolder>::exists());
    }

    void openingFillsTheListAndClearsTheResults()
    {
        dlgBrowesForFolder& dlg = Instance<dlgBrowesForFolder>::get();
        const QStringList entries = {
            QStringLiteral("デスクトップ　　　 　  ssfDESKTOP = &H0"),
            QStringLiteral("マイコンピュータ       ssfDRIVES = &H11"),
            QStringLiteral("マイドキュメント　　   ssfPERSONAL = &H5"),
            QStringLiteral("お気に入り　　　　　   ssfFAVORITES = &H6"),
            QStringLiteral("ﾃﾞｽｸﾄｯﾌﾟﾌｫﾙﾀﾞ        ssfDESKTOPDIRECTORY = &H10"),
            QStringLiteral("マイネットワーク         ssfNETWORK = &H12"),
            QStringLiteral("マイピクチャー         ssfMYPICTURES = &H27"),
            QStringLiteral("カレント・フォルダ    ssfPROFILE = &HFF"),
        };
        QCOMPARE(dlg.listPath->ListCount(), entries.size());
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(dlg.listPath->List(i), entries[i]);
        QCOMPARE(dlg.lblNote->Caption(),
                 QStringLiteral("カレントフォルダを選択する時は、\r\nリストを選択せずに「ＯＫ」ボタンをクリックします。\r\n\r\n"
                                "カレントフォルダ付近を検索する時は、\r\n←リスト中の「カレント・フォルダ」をダブルクリックします。"));
        QCOMPARE(dlg.caption(), QStringLiteral("フォルダ選択"));
        QCOMPARE(dlg.Label1->Caption(), QStringLiteral("↓カレント・フォルダ"));
        QCOMPARE(dlg.CancelButton->Caption(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(dlg.stsBar->Panels(1).Text(), QString());
        QVERIFY(GE_strFolder.isEmpty() && GE_strDrive.isEmpty() && !GE_booDlgOK && !dlg.booOK);
    }

    // The editor's picture search, all the way: "カレント・フォルダ", a folder
    // opened in the directory list, then a picture chosen among the thumbnails.
    void pictureSearchReturnsTheFileAndFolder()
    {
        ScopedScriptedUi ui;
        GE_strPict_Folda = m_dir.path();  // last time's folder: the pictures lie one below
        ModalScript script;
        script.push([](Form& form) {
            picker(form).listPath->setListIndex(7);
            doubleClickRow(picker(form).listPath, picker(form).listPath->List(7).trimmed());
        });
        script.push([this](Form& form) {
            auto& folder = static_cast<dlgFolder&>(form);
            QCOMPARE(folder.caption(), kSearchCaption);
            QCOMPARE(folder.lblComment->Caption(), kSearchComment);
            QCOMPARE(folder.dirBox->Path(), m_dir.path());
            QCOMPARE(folder.stsBar->Panels(1).Text(), m_dir.path());
            doubleClickRow(folder.dirBox, QStringLiteral("photos"));
            QCOMPARE(folder.stsBar->Panels(1).Text(), m_pictures);
            folder.OKButton->setValue(true);
        });
        script.push([](Form& form) {
            auto& browser = static_cast<frmThumbnail&>(form);
            QVERIFY(GE_booThumbnail);
            QVERIFY(QTest::qWaitForWindowActive(&browser));
            QTRY_COMPARE(browser.fileList->ListCount(), 3);
            QCOMPARE(browser.stsBar->Panels(1).Text(), QStringLiteral("photos"));
            QCOMPARE(browser.stsBar->Panels(2).Text(), QStringLiteral("a.bmp"));  // the first one is current
            PictureBox* cell = browser.imgPictureS[1];
            QVERIFY(cell->isVisible() && cell->hasPicture());
            QTest::mouseMove(cell, QPoint(10, 10));
            QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(10, 10));
            QCOMPARE(browser.stsBar->Panels(2).Text(), QStringLiteral("b.JPG"));
            browser.cmdOK->setValue(true);
        });
        searchPicture();
        QVERIFY2(script.allUsed(), qPrintable(script.unexpected.join(QLatin1Char(','))));
        QCOMPARE(script.shown, (QStringList{"dlgBrowesForFolder", "dlgFolder", "frmThumbnail"}));
        QVERIFY(GE_booDlgOK);
        QCOMPARE(GE_strFolder, m_pictures);
        QCOMPARE(GE_strPict_Folda, m_pictures);
        QVERIFY(!GE_strDrive.isEmpty());
        QCOMPARE(GE_strDrive, GE_strInDrive);  // no usable start drive: where the list started
        QCOMPARE(GE_strMapImage, QStringLiteral("b.JPG"));
        QVERIFY(!GE_booThumbnail);
        QCOMPARE(ui->count(), 0);
    }

    void okTakesTheOpenersFolderUnchecked_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("existing") << m_pictures;
        QTest::newRow("gone since") << m_dir.filePath(QStringLiteral("gone"));
    }
    void okTakesTheOpenersFolderUnchecked()
    {
        QFETCH(QString, folder);
        ScopedScriptedUi ui;
        GE_strPict_Folda = folder;
        ModalScript script;
        script.push([](Form& form) { picker(form).OKButton->setValue(true); });
        script.push([](Form& form) { static_cast<frmThumbnail&>(form).cmdCloase->setValue(true); });
        searchPicture();
        QVERIFY(script.allUsed());
        QVERIFY(GE_booDlgOK);
        QCOMPARE(GE_strFolder, folder);
        QCOMPARE(GE_strDrive, QString());
        QCOMPARE(GE_strMapImage, QString());  // the browser was cancelled
        QCOMPARE(ui->count(), 0);             // a folder that is gone lists nothing, without a message
    }

    void okWithoutAFolderWarnsAndStaysOpen()
    {
        ScopedScriptedUi ui;
        ModalScript script;
        script.push([&ui](Form& form) {
            picker(form).OKButton->setValue(true);
            QCOMPARE(ui->count(), 1);
            QCOMPARE(ui->last().prompt, kNoFolderText);
            QCOMPARE(ui->last().title, kNoFolderTitle);
            QCOMPARE(ui->last().style, int(vb::vbExclamation + vb::vbOKOnly));
            QVERIFY(form.isLoaded());
            picker(form).CancelButton->setValue(true);
        });
        openForOldPicture();
        QVERIFY(script.allUsed());
        QVERIFY(!GE_booDlgOK);
        QCOMPARE(GE_strFolder, QString());
    }

    // The user's own folders where they exist (named as the desktop's
    // user-dirs.dirs names them), else the home folder.
    void folderBrowserRootedAtTheSpecialFolder_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("root");  // the home folder: the user has none of the folders
        const QString home = QDir::homePath();
        QTest::newRow("no entry selected: the desktop") << -1 << m_dir.filePath(QStringLiteral("机上"));
        QTest::newRow("desktop") << 0 << m_dir.filePath(QStringLiteral("机上"));
        QTest::newRow("my computer: the file system") << 1 << QStringLiteral("/");
        QTest::newRow("documents") << 2 << m_dir.filePath(QStringLiteral("文書"));
        QTest::newRow("pictures") << 6 << m_dir.filePath(QStringLiteral("写真"));
        QTest::newRow("pictures, none") << 6 << home;
    }
    void folderBrowserRootedAtTheSpecialFolder()
    {
        QFETCH(int, row);
        QFETCH(QString, root);
        QTemporaryDir config;
        QFile dirs(config.filePath(QStringLiteral("user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        for (const char* folder : {"DESKTOP=机上", "DOCUMENTS=文書", "PICTURES=写真"}) {
            const QStringList entry = QString::fromUtf8(folder).split(u'=');
            const QString place = m_dir.filePath(entry[1]);
            dirs.write(QStringLiteral("XDG_%1_DIR=\"%2\"\n").arg(entry[0], place).toUtf8());
            QVERIFY(root == QDir::homePath() || QDir().mkpath(place));
        }
        dirs.close();
        const QByteArray configWas = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const auto restore = qScopeGuard([&] {
            configWas.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", configWas);
            for (const char* folder : {"机上", "文書", "写真"})
                QDir(m_dir.filePath(QString::fromUtf8(folder))).removeRecursively();
        });
        ScopedScriptedUi ui;
        ui->answerFolder(m_pictures);
        ModalScript script;
        script.push([row](Form& form) {
            picker(form).listPath->setListIndex(row);
            picker(form).listPath_DblClick();
        });
        script.push([](Form& form) { static_cast<frmThumbnail&>(form).cmdCloase->setValue(true); });
        searchPicture();
        QVERIFY(script.allUsed());
        QCOMPARE(ui->count(QStringLiteral("Folder")), 1);
        QCOMPARE(ui->last().title, QStringLiteral("フォルダ選択"));
        QCOMPARE(ui->last().prompt, root);
        QVERIFY(GE_booDlgOK);
        QCOMPARE(GE_strFolder, m_pictures);
        QCOMPARE(GE_strDrive, QString());  // only the drive-and-folder dialog fills it
        QCOMPARE(script.shown, (QStringList{"dlgBrowesForFolder", "frmThumbnail"}));
    }

    void aBrowserThatGivesNoFolderLeavesThePickerOpen()
    {
        ScopedScriptedUi ui;
        ui->answerFolder(std::nullopt);                             // cancelled
        ui->answerFolder(m_dir.filePath(QStringLiteral("nowhere")));  // not a folder of the file system
        GE_strPict_Folda = m_pictures;
        ModalScript script;
        script.push([this, &ui](Form& form) {
            dlgBrowesForFolder& dlg = picker(form);
            dlg.listPath->setListIndex(6);
            dlg.listPath_DblClick();
            QCOMPARE(dlg.stsBar->Panels(1).Text(), m_pictures);  // unchanged
            dlg.listPath_DblClick();
            QCOMPARE(dlg.stsBar->Panels(1).Text(), QString());  // the opener's folder is gone from it
            QVERIFY(dlg.isLoaded() && !dlg.booOK);
            dlg.OKButton->setValue(true);
            QCOMPARE(ui->last().title, kNoFolderTitle);
            dlg.CancelButton->setValue(true);
        });
        searchPicture();
        QVERIFY(script.allUsed());
        QVERIFY(!GE_booDlgOK);
        QCOMPARE(GE_strFolder, QString());
        QVERIFY(!Instance<frmThumbnail>::exists());
    }

    void cancelInTheFolderDialogReturnsToThePicker()
    {
        ScopedScriptedUi ui;
        GE_strPict_Folda = m_pictures;
        ModalScript script;
        script.push([this](Form& form) {
            dlgBrowesForFolder& dlg = picker(form);
            dlg.listPath->setListIndex(7);
            dlg.listPath_DblClick();
            QVERIFY(dlg.isLoaded());
            QCOMPARE(dlg.stsBar->Panels(1).Text(), m_pictures);
            dlg.CancelButton->setValue(true);
        });
        script.push([](Form& form) { static_cast<dlgFolder&>(form).CancelButton->setValue(true); });
        searchPicture();
        QVERIFY(script.allUsed());
        QVERIFY(!GE_booDlgOK);
        QCOMPARE(GE_strFolder, QString());
    }

    void unusableStartPointsAreReplacedByWhereTheListsStart()
    {
        ScopedScriptedUi ui;
        GE_strPict_Drive = QStringLiteral("/no such volume [X]");
        GE_strPict_Folda = m_dir.filePath(QStringLiteral("gone"));
        // The directory list starts in the working folder.
        const QString working = QDir::currentPath();
        QDir::setCurrent(m_pictures);
        const auto back = qScopeGuard([&working] { QDir::setCurrent(working); });
        ModalScript script;
        QString startPath;
        QString startDrive;
        script.push([](Form& form) {
            picker(form).listPath->setListIndex(7);
            picker(form).listPath_DblClick();
        });
        script.push([&](Form& form) {
            auto& folder = static_cast<dlgFolder&>(form);
            startPath = folder.dirBox->Path();
            startDrive = folder.drvBox->Drive();
            folder.OKButton->setValue(true);
        });
        script.push([](Form& form) { static_cast<frmThumbnail&>(form).cmdCloase->setValue(true); });
        searchPicture();
        QVERIFY(script.allUsed());
        QCOMPARE(GE_strInDrive, startDrive);
        QCOMPARE(GE_strInFolder, startPath);
        QCOMPARE(startPath, m_pictures);
        QVERIFY(GE_booDlgOK);
        QCOMPARE(GE_strFolder, startPath);
        QCOMPARE(GE_strDrive, startDrive);
        QCOMPARE(ui->count(), 0);
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
