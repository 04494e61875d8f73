// The printer device: its document begins at the first drawing and a page
// break acts at the next one; a killed document leaves no file, one cut
// short or empty leaves the old file, a whole one goes through links; a
// sheet takes pictures and lines as they are, not at the device's
// resolution; papers the device lacks are refused; settings it can't apply
// are kept as set.

#include "platform/printer.h"
#include "platform/vberror.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

class TestPrinterDevice : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_pdf;

private slots:
    void init()
    {
        m_pdf = m_dir.filePath(QStringLiteral("p.pdf"));
        QFile::remove(m_pdf);
        platform::TestPrinter t;
        t.name = QStringLiteral("Plotter-A");
        t.papers = {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3)};
        t.outputFile = m_pdf;
        Printers::addTestPrinter(t);
    }

    void cleanup() { Printers::clearTestPrinters(); }

    void documentBeginsAtTheFirstDrawing()
    {
        Printer& p = CurrentPrinter();
        p.setScaleMode(vbMillimeters);
        // The device's 2245 x 3274 pixels: Qt keeps the sheet and its
        // margins in whole points (539 x 786 pt inside 10 mm margins).
        QCOMPARE(p.ScaleX(p.ScaleWidth(), vbMillimeters, vbPixels), 2245.0);
        QCOMPARE(p.ScaleY(p.ScaleHeight(), vbMillimeters, vbPixels), 3274.0);
        p.NewPage();
        p.EndDoc();
        QVERIFY(!QFile::exists(m_pdf));  // nothing drawn, no document

        p.Line(0, 0, 10, 10);
        p.NewPage();
        p.DrawMode = vbNop;  // nothing on paper
        p.Line(0, 0, 10, 10);
        p.DrawMode = vbCopyPen;
        p.NewPage();
        p.beginPage();  // a sheet whose drawing was all left out
        p.NewPage();
        p.EndDoc();  // no blank sheet for the last break
        QCOMPARE(p.sheets().size(), size_t(3));  // a break with nothing drawn is a blank sheet
        QCOMPARE(p.sheets()[0].size(), size_t(1));
        QVERIFY(p.sheets()[1].empty() && p.sheets()[2].empty());
        QVERIFY(QFile::exists(m_pdf));

        QFile::remove(m_pdf);
        p.Line(0, 0, 10, 10);
        QVERIFY(p.documentOpen());
        p.KillDoc();
        QVERIFY(!p.documentOpen() && !QFile::exists(m_pdf));
    }

    // A PDF goes through the user's link to the file the link ends at;
    // another user's link is refused, saying so. One that is not whole (cut
    // short by the file-size limit, as by a full disk, or empty) raises and
    // leaves the old file as it was and nothing beside it.
    void pdfReplacesTheOldFileOnlyWhole_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<unsigned>("linkBy");
        QTest::newRow("whole") << -1LL << true << 0u;
        QTest::newRow("cut short") << 4096LL << false << 0u;
        QTest::newRow("empty") << 0LL << false << 0u;
        QTest::newRow("another user's link") << -1LL << false << testsupport::Nobody;
    }
    void pdfReplacesTheOldFileOnlyWhole()
    {
        QFETCH(qint64, limit);
        QFETCH(bool, whole);
        QFETCH(unsigned, linkBy);
        const QString old = m_dir.filePath(QStringLiteral("old.pdf"));
        const QString link = m_dir.filePath(QStringLiteral("link.pdf"));
        const QByteArray before = "%PDF-1.4 the earlier print\n" + QByteArray(20000, 'x') + "\n%%EOF\n";
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        QVERIFY(QFile::exists(link) || QFile::link(QStringLiteral("old.pdf"), link));
        QVERIFY(::lchown(QFile::encodeName(link).constData(), linkBy, linkBy) == 0);
        // 2 when the end raised, plus 1 when it left the document open, plus
        // 4 when another user's link was not named.
        QCOMPARE(testsupport::withFileSizeLimit(limit, [&] {
                     Printer& p = CurrentPrinter();
                     p.setOutputFile(link);
                     const vb::Error error = testsupport::raisedError([&] {
                         p.Print(QStringLiteral("境界 50.00 m"));
                         p.Line(0, 0, 1000, 1000);
                         p.EndDoc();
                     });
                     const bool named = error.description().startsWith(link + QStringLiteral(" は、ほかのユーザー"));
                     return 2 * (error.number() != 0) + p.documentOpen() + 4 * (linkBy != 0 && !named);
                 }),
                 whole ? 0 : 2);
        const QByteArray after = testsupport::fileBytes(old);
        QVERIFY(whole ? after.startsWith("%PDF") && after.trimmed().endsWith("%%EOF") && after != before
                      : after == before);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("link.pdf"), QStringLiteral("old.pdf")}));
    }

    // At 1200 dpi the sheet takes the picture's part with the picture's own
    // pixels (a source between pixels widened to whole ones) and lines and
    // figures as strokes: nothing at the device's resolution, so the file
    // stays small.
    void paperTakesThePicturesPixelsAndStrokes()
    {
        Printer& p = CurrentPrinter();
        p.setPrintQuality(1200);
        p.setScaleMode(vbMillimeters);
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        p.PaintPicture(SharedImage(new QImage(picture)), 10, 10, 160, 120, 0.4, 0.4, 39.2, 29.2);
        p.DrawStyle = 2;
        p.Line(0, 0, 190, 277);
        p.DrawStyle = 0;
        p.DrawWidth = 8;
        p.Circle(95, 138, 60);
        p.EndDoc();
        QCOMPARE(testsupport::pdfImageSizes(m_pdf), QList<QSize>{QSize(40, 30)});
        QVERIFY2(QFile(m_pdf).size() < 8192, qPrintable(QString::number(QFile(m_pdf).size())));
    }

    // A dash keeps the length it has on the screen (18 pixels at 96 dpi,
    // 4.76 mm) at any printer's resolution, within one pixel of the coarser.
    void dashesKeepTheirScreenLength()
    {
        for (const int dpi : {1200, 300}) {
            Printer& p = CurrentPrinter();
            p.setPrintQuality(dpi);
            p.setScaleMode(vbMillimeters);
            p.DrawWidth = 1;
            p.DrawStyle = 1;
            p.Line(0, 50, 100, 50);
            p.EndDoc();
            // The line's row rastered at 1200 dpi: the first dark run.
            const int top = qRound(55 / 25.4 * 1200);  // the line lies 60 mm down the sheet
            const QImage band = testsupport::pdfRaster(m_pdf, 1200, QRect(0, top, 2400, 500));
            QVERIFY(!band.isNull());
            const QList<QPoint> dark = testsupport::slantsOf(band, [](QRgb c) { return qGray(c) <= 128; }).pixels;
            qsizetype run = dark.isEmpty() ? 0 : 1;
            while (run < dark.size() && dark[run] == dark[0] + QPoint(run, 0))
                ++run;
            const double dash = run * 25.4 / 1200;
            QVERIFY2(qAbs(dash - 18 * 25.4 / 96) <= 25.4 / 300, qPrintable(QString::number(dash)));
        }
    }

    void paperAndKeptSettings()
    {
        Printer& p = CurrentPrinter();
        p.setPaperSize(8);
        p.setOrientation(2);
        QCOMPARE(qRound(p.Width() * 100), 2381102);  // 420 mm in twips
        QVERIFY_THROWS_EXCEPTION(vb::Error, p.setPaperSize(5));  // legal: not offered
        QVERIFY_THROWS_EXCEPTION(vb::Error, p.setPaperSize(256));  // no user size
        QCOMPARE(p.PaperSize(), 8);
        QCOMPARE(p.PaperBin(), 7);  // the device's own tray, automatic, in the stored numbering
        p.setZoom(70);
        p.setPrintQuality(-2);
        p.setPaperBin(12);
        p.setDuplex(3);
        QVERIFY(p.Zoom() == 70 && p.PrintQuality() == -2 && p.PaperBin() == 12 && p.Duplex() == 3);
        p.setPrintQuality(600);
        QCOMPARE(p.dpiX(), 600.0);
        p.select(QStringLiteral("Plotter-A"));
        QVERIFY(p.Zoom() == 100 && p.PaperSize() == 9);
        // A tray of the device's own, as a stored setting names it.
        platform::TestPrinter forms;
        forms.name = QStringLiteral("Forms"), forms.tray = QPrinter::FormSource;
        Printers::addTestPrinter(forms);
        p.select(forms.name);
        QCOMPARE(p.PaperBin(), 15);
    }
};

QTEST_MAIN(TestPrinterDevice)
#include "tst_printer.moc"
