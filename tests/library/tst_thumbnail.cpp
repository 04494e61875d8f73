// The thumbnail browser: the layout from the system metrics, the cells in
// rows with their scrolling, the EXIF thumbnail cache, the preview, and
// files that are no pictures.

#include "app/globals.h"
#include "library/frmThumbnail.h"
#include "platform/application.h"
#include "platform/ui.h"
#include "tests/library/exif_corpus/exif_samples.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

constexpr double kPixelsPerMm = 96.0 / 25.4;
constexpr double kCellW = 55 / kPixelsPerMm + 1;  // cell and gap, millimetres
constexpr double kCellH = 40 / kPixelsPerMm + 1;

QByteArray jpegBytes(const QSize& size, Qt::GlobalColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// A 1 x 1 red GIF, written by hand (Qt writes no GIF).
QByteArray tinyGif()
{
    return QByteArray::fromHex("474946383961010001008000" "00FF0000000000" "2C000000000100010000" "02024401003B");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeBmp(const QString& path, Qt::GlobalColor color)
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(color);
    QVERIFY(image.save(path, "BMP"));
}

bool looksLike(const PictureBox* box, Qt::GlobalColor color)
{
    if (!box->hasPicture())
        return false;
    const QImage& image = *box->picture();
    const QColor got = image.pixelColor(image.width() / 2, image.height() / 2);
    const QColor want(color);
    return qAbs(got.red() - want.red()) < 60 && qAbs(got.green() - want.green()) < 60
        && qAbs(got.blue() - want.blue()) < 60;
}

}  // namespace

class TestThumbnail : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_temp;

    QString folder(const QString& name) const { return m_dir.filePath(name); }

    frmThumbnail& open(const QString& path)
    {
        GE_strFolder = path;
        frmThumbnail& browser = Instance<frmThumbnail>::get();
        browser.showForm(vbModeless);
        browser.activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(&browser)); }();
        return browser;
    }

    void close()
    {
        if (frmThumbnail* browser = Instance<frmThumbnail>::pointer())
            browser->cmdCloase->setValue(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Client size for a canvas of `canvasWidth` x `paneHeight - 5` pixels.
    static QSize clientFor(int canvasWidth, int paneHeight)
    {
        return QSize(canvasWidth + 5 + metricPixels(Metric::VScrollWidth) + 105,
                     paneHeight + metricPixels(Metric::HScrollHeight) + metricPixels(Metric::MenuHeight) + 45);
    }

    QStringList thumbnailFiles() const
    {
        return QDir(m_temp).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_temp = folder(QStringLiteral("TEMP"));
        QVERIFY(QDir().mkpath(m_temp));
        // Pictures of every kind, both letter cases, and files that don't belong.
        QVERIFY(QDir().mkpath(folder(QStringLiteral("mixed"))));
        const QString mixed = folder(QStringLiteral("mixed")) + QLatin1Char('/');
        writeBmp(mixed + QStringLiteral("a.bmp"), Qt::green);
        writeBmp(mixed + QStringLiteral("B.BMP"), Qt::green);
        writeFile(mixed + QStringLiteral("c.jpg"), jpegBytes(QSize(80, 60), Qt::blue));
        writeFile(mixed + QStringLiteral("D.JPG"), jpegBytes(QSize(80, 60), Qt::blue));
        writeFile(mixed + QStringLiteral("e.gif"), tinyGif());
        writeFile(mixed + QStringLiteral("F.GIF"), tinyGif());
        writeFile(mixed + QStringLiteral("g.Jpg"), jpegBytes(QSize(80, 60), Qt::blue));
        for (const char* other : {"x.png", "y.jpeg", "z.txt", "h.gif.txt"})
            writeFile(mixed + QLatin1String(other), "not a picture");
        QVERIFY(!QImage::fromData(tinyGif()).isNull());
    }

    void init() { GE_strTempPath = m_temp; }

    void cleanup()
    {
        close();
        QVERIFY(!Instance<frmThumbnail>::exists());
        QVERIFY(!GE_booThumbnail);
    }

    void layoutFromTheSystemMetrics()
    {
        ScopedScriptedUi ui;
        frmThumbnail& browser = open(folder(QStringLiteral("mixed")));
        QVERIFY(GE_booThumbnail);
        QVERIFY(isTopMost(&browser));
        QCOMPARE(browser.caption(), app::title());
        const int frameW = metricPixels(Metric::FrameWidth);
        const int frameH = metricPixels(Metric::FrameHeight);
        QCOMPARE(browser.width() + 2 * frameW, 627);  // 9405 x 7050 twips outside
        QCOMPARE(browser.height() + metricPixels(Metric::CaptionHeight) + 2 * frameH, 470);

        const int w = browser.width();
        const int paneW = w - metricPixels(Metric::VScrollWidth) - 105;
        const int paneH = browser.height() - metricPixels(Metric::HScrollHeight) - metricPixels(Metric::MenuHeight) - 45;
        QCOMPARE(browser.pictWindow->geometry(), QRect(0, 0, paneW, paneH));
        QCOMPARE(browser.pictMap->size(), QSize(paneW - 5, paneH - 5));
        QCOMPARE(browser.fileList->geometry(), QRect(paneW + metricPixels(Metric::VScrollWidth), 0, 105, paneH));
        QCOMPARE(browser.lblMesage->geometry(), QRect(0, paneH, w, 33));
        QCOMPARE(browser.cmdCloase->geometry(), QRect(w - 65, paneH + 33, 65, 25));
        QCOMPARE(browser.cmdOK->geometry(), QRect(w - 130, paneH + 33, 65, 25));
        QCOMPARE(browser.cmdCloase->Caption(), QStringLiteral("Cancel"));
        QVERIFY(!browser.vscY->Visible() && !browser.hscX->Visible());  // seven cells fit

        browser.resize(40, 30);  // below the least size
        QTRY_COMPARE(browser.width() + 2 * frameW, 160);
        QCOMPARE(browser.height() + metricPixels(Metric::CaptionHeight) + 2 * frameH, 120);
        QCOMPARE(ui->count(), 0);
    }

    void cellsWrapAndScroll_data()
    {
        QTest::addColumn<int>("canvasWidth");
        QTest::addColumn<int>("perRow");
        QTest::newRow("one a row") << 120 << 1;
        QTest::newRow("three a row") << 200 << 3;
        QTest::newRow("five a row") << 300 << 5;
    }
    void cellsWrapAndScroll()
    {
        QFETCH(int, canvasWidth);
        QFETCH(int, perRow);
        ScopedScriptedUi ui;
        frmThumbnail& browser = open(folder(QStringLiteral("mixed")));
        const int paneH = 60;
        browser.resize(clientFor(canvasWidth, paneH));
        QTRY_COMPARE(browser.pictMap->width(), canvasWidth);

        const QStringList names = {"a.bmp", "B.BMP", "c.jpg", "D.JPG", "e.gif", "F.GIF", "g.Jpg"};
        QCOMPARE(browser.fileList->ListCount(), names.size());
        QCOMPARE(browser.imgPictureS.size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            const PictureBox* cell = browser.imgPictureS[i];
            QCOMPARE(browser.fileList->List(i), names[i]);
            QCOMPARE(cell->toolTip(), names[i]);
            QVERIFY(cell->isVisible());
            QCOMPARE(cell->size(), QSize(55, 40));
            QCOMPARE(cell->picture()->size(), QSize(55, 40));  // decoded at the size shown
            QVERIFY2(qAbs(cell->Left() - (1 + (i % perRow) * kCellW)) < 0.3, qPrintable(names[i]));
            QVERIFY2(qAbs(cell->Top() - (1 + (i / perRow) * kCellH)) < 0.3, qPrintable(names[i]));
        }
        QVERIFY(looksLike(browser.imgPictureS[4], Qt::red));  // the GIF

        // The canvas reaches the last row's bottom; the bar scrolls exactly that far.
        const int rows = (int(names.size()) + perRow - 1) / perRow;
        QVERIFY(qAbs(browser.pictMap->height() - (1 + rows * kCellH) * kPixelsPerMm) <= 1);
        QVERIFY(browser.vscY->Visible());
        QCOMPARE(browser.vscY->Max(), browser.pictMap->height() - paneH + 4);
        browser.vscY->setValue(browser.vscY->Max());
        QCOMPARE(browser.pictMap->Top(), -browser.vscY->Max());
        const PictureBox* last = browser.imgPictureS.last();
        const int lastBottom = last->mapTo(browser.pictWindow, QPoint(0, last->height())).y();
        QVERIFY(lastBottom <= paneH - 2 && lastBottom > paneH - 2 - 40);  // inside the pane's frame

        // The current cell (the first, after loading) is framed 1 mm around.
        QCOMPARE(browser.stsBar->Panels(2).Text(), names[0]);
        QVERIFY(browser.shapCur->Visible);
        QVERIFY(qAbs(browser.shapCur->Left - (browser.imgPictureS[0]->Left() - 1)) < 0.01);
        QVERIFY(qAbs(browser.shapCur->Width() - (browser.imgPictureS[0]->Width() + 2)) < 0.01);
        QCOMPARE(ui->count(), 0);
    }

    void exifThumbnailsAreCachedPerPicture()
    {
        ScopedScriptedUi ui;
        for (const QString& name : thumbnailFiles())
            QFile::remove(QDir(m_temp).filePath(name));
        const QString a = folder(QStringLiteral("cameraA"));
        const QString b = folder(QStringLiteral("cameraB"));
        QVERIFY(QDir().mkpath(a) && QDir().mkpath(b));
        const QByteArray photo = jpegBytes(QSize(320, 240), Qt::blue);
        const QByteArray redThumbnail = jpegBytes(QSize(40, 30), Qt::red);
        writeFile(a + QStringLiteral("/photo.jpg"), exifsamples::withExif(photo, redThumbnail));
        writeFile(a + QStringLiteral("/plain.jpg"), jpegBytes(QSize(320, 240), Qt::magenta));
        writeFile(b + QStringLiteral("/photo.jpg"), exifsamples::withExif(photo, jpegBytes(QSize(40, 30), Qt::green), true));

        frmThumbnail* browser = &open(a);
        QVERIFY(looksLike(browser->imgPictureS[0], Qt::red));  // the camera's thumbnail
        QVERIFY(looksLike(browser->imgPictureS[1], Qt::magenta));
        const QString cacheA = frmThumbnail::thumbnailCachePath(a + QStringLiteral("/photo.jpg"));
        QVERIFY(cacheA.endsWith(QStringLiteral(".jpg")));
        QCOMPARE(thumbnailFiles(), QStringList{QFileInfo(cacheA).fileName()});
        QCOMPARE(testsupport::fileBytes(cacheA), redThumbnail);
        close();

        // The same name in another folder gets its own thumbnail.
        browser = &open(b);
        QVERIFY(looksLike(browser->imgPictureS[0], Qt::green));
        QCOMPARE(thumbnailFiles().size(), 2);
        close();

        // A second opening takes the cached file; one that doesn't decode gives way to the picture.
        writeFile(cacheA, jpegBytes(QSize(40, 30), Qt::yellow));
        browser = &open(a);
        QVERIFY(looksLike(browser->imgPictureS[0], Qt::yellow));
        close();
        writeFile(cacheA, "\xFF\xD8 broken");
        browser = &open(a);
        QVERIFY(looksLike(browser->imgPictureS[0], Qt::blue));
        close();

        // A picture changed since has a cache entry of its own.
        QFile file(a + QStringLiteral("/photo.jpg"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(frmThumbnail::thumbnailCachePath(a + QStringLiteral("/photo.jpg")) != cacheA);
        QCOMPARE(ui->count(), 0);
    }

    // A file that doesn't decode keeps an empty framed cell and can't be
    // chosen; the pictures after it are loaded and can.
    void undecodableFilesAreSkipped()
    {
        ScopedScriptedUi ui;
        const QString broken = folder(QStringLiteral("broken"));
        QVERIFY(QDir().mkpath(broken));
        const QByteArray good = jpegBytes(QSize(80, 60), Qt::blue);
        writeBmp(broken + QStringLiteral("/a.bmp"), Qt::green);
        writeFile(broken + QStringLiteral("/b.jpg"), good.left(good.indexOf("\xFF\xDA")));  // cut before its image data
        writeFile(broken + QStringLiteral("/c.jpg"), "not a picture at all");
        writeFile(broken + QStringLiteral("/d.jpg"), good);
        writeFile(broken + QStringLiteral("/e.gif"), "a text file named as a picture");

        frmThumbnail* browser = &open(broken);
        QCOMPARE(ui->count(), 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(browser->pgsBar->isHidden() && browser->pgsBar->Min() == 0);
        QCOMPARE(browser->imgPictureS.size(), 5);
        const QStringList names = {"a.bmp", "b.jpg", "c.jpg", "d.jpg", "e.gif"};
        for (int i = 0; i < 5; ++i) {
            const PictureBox* cell = browser->imgPictureS[i];
            const bool decodes = i == 0 || i == 3;
            QCOMPARE(cell->toolTip(), names[i]);
            QVERIFY(cell->isVisible());
            QCOMPARE(cell->hasPicture(), decodes);
            QCOMPARE(cell->BorderStyle(), decodes ? 0 : 1);
        }
        QVERIFY(looksLike(browser->imgPictureS[0], Qt::green));
        QVERIFY(looksLike(browser->imgPictureS[3], Qt::blue));

        browser->fileList->setListIndex(3);
        browser->cmdOK->setValue(true);
        QCOMPARE(GE_strMapImage, QStringLiteral("d.jpg"));

        // Choosing one of them tells the user which and why; the choice goes on.
        for (const int index : {1, 2, 4}) {
            browser = &open(broken);
            QTest::mouseClick(browser->imgPictureS[index], Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(browser->stsBar->Panels(2).Text(), names[index]);
            const int shown = ui->count();
            QTest::mouseDClick(browser->imgPictureS[index], Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(ui->count(), shown + 1);
            const QString prompt = ui->last().prompt;
            QVERIFY2(prompt.startsWith(QStringLiteral("画像ファイル %1 を読み込めません。（").arg(names[index])),
                     qPrintable(prompt));
            QVERIFY(prompt.endsWith(QStringLiteral("）\r\n別の画像ファイルを選んでください。")));
            QCOMPARE(ui->last().title, QStringLiteral("画像ファイル"));
            QCOMPARE(ui->last().style, vb::vbExclamation);
            QVERIFY(browser->isVisible() && GE_booThumbnail);
            QCOMPARE(GE_strMapImage, QString());
            browser->cmdCloase->setValue(true);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(ui->count(), 3);
    }

    void thePreviewShowsTheWholePicture()
    {
        ScopedScriptedUi ui;
        const QString large = folder(QStringLiteral("large"));
        QVERIFY(QDir().mkpath(large));
        writeFile(large + QStringLiteral("/big.jpg"),
                  exifsamples::withExif(jpegBytes(QSize(1600, 1200), Qt::blue), jpegBytes(QSize(40, 30), Qt::red)));
        writeBmp(large + QStringLiteral("/small.bmp"), Qt::green);

        frmThumbnail& browser = open(large);
        QVERIFY(looksLike(browser.imgPictureS[0], Qt::red));
        browser.fileList->setListIndex(1);
        QTest::mouseClick(browser.imgPictureS[0], Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(!browser.imgSelect->isHidden());
        QVERIFY(browser.pictWindow->isHidden());
        QCOMPARE(browser.imgSelect->geometry(), QRect(QPoint(0, 0), browser.pictMap->size()));
        QCOMPARE(browser.imgSelect->picture()->size(), browser.imgSelect->size());
        QVERIFY(looksLike(browser.imgSelect, Qt::blue));  // the file, not its thumbnail
        QCOMPARE(browser.imgSelect->toolTip(), QStringLiteral("クリックで元に戻ります"));
        QCOMPARE(browser.stsBar->Panels(2).Text(), QStringLiteral("big.jpg"));  // the clicked cell's, not the list's
        QCOMPARE(ui->count(), 0);

        browser.fileList->setListIndex(1);  // moving through the list shows the other thumbnails
        QVERIFY(looksLike(browser.imgSelect, Qt::green));
        QCOMPARE(browser.stsBar->Panels(2).Text(), QStringLiteral("small.bmp"));

        QTest::mouseClick(browser.imgSelect, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(browser.imgSelect->isHidden());
        QVERIFY(!browser.pictWindow->isHidden());
        browser.fileList->setListIndex(1);
        QVERIFY(qAbs(browser.shapCur->Top - (browser.imgPictureS[1]->Top() - 1)) < 0.01);
        QVERIFY(qAbs(browser.shapCur->Left - (browser.imgPictureS[1]->Left() - 1)) < 0.01);
        browser.cmdOK->setValue(true);
        QCOMPARE(GE_strMapImage, QStringLiteral("small.bmp"));
    }

    void nothingToChooseGivesNoName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("no pictures, OK") << QStringLiteral("nopictures") << false;
        QTest::newRow("folder gone, close box") << QStringLiteral("gone") << true;
    }
    void nothingToChooseGivesNoName()
    {
        QFETCH(QString, path);
        QFETCH(bool, closeBox);
        ScopedScriptedUi ui;
        QDir().mkpath(folder(QStringLiteral("nopictures")));
        writeFile(folder(QStringLiteral("nopictures/readme.txt")), "text");
        GE_strMapImage = QStringLiteral("earlier.jpg");
        frmThumbnail& browser = open(folder(path));
        QCOMPARE(GE_strMapImage, QString());
        QCOMPARE(browser.fileList->ListCount(), 0);
        QVERIFY(browser.imgPictureS[0]->isHidden());
        QVERIFY(!browser.shapCur->Visible);
        QCOMPARE(browser.stsBar->Panels(2).Text(), QString());
        if (closeBox)
            browser.close();
        else
            browser.cmdOK->setValue(true);
        QCOMPARE(GE_strMapImage, QString());
        QVERIFY(!GE_booThumbnail);
        QCOMPARE(ui->count(), 0);
    }
};

QTEST_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
