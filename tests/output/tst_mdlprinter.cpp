// The printer settings: the device blocks built from a record and from the
// printer, applied to the printer and read back, around the set-up dialog.

#include "app/globals.h"
#include "output/mdlPrinter.h"
#include "platform/printer.h"
#include "platform/ui.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using platform::CurrentPrinter;
using platform::ScopedScriptedUi;

namespace {

// A record's device blocks, built and applied to the printer.
void apply(const typPrinter& r)
{
    mdlPrinter::subSet_DevModeRec(r, GE_tpDevMode);
    mdlPrinter::subSet_DevNamesRec(r, GE_tpDevNames);
    mdlPrinter::subSet_Printer(GE_tpDevMode, GE_tpDevNames);
}

}  // namespace

class TestMdlPrinter : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        platform::TestPrinter a{.name = QStringLiteral("Plotter-A"),
                                .papers = {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3)},
                                .customPaper = true,
                                .driver = QStringLiteral("Test Driver 14"),
                                .port = QStringLiteral("LPT1:"),
                                .outputFile = m_dir.filePath(QStringLiteral("a.pdf"))};
        platform::Printers::addTestPrinter(a);
        a.name = QStringLiteral("Plotter-B"), a.papers = {QPageSize(QPageSize::A4)}, a.customPaper = false;
        platform::Printers::addTestPrinter(a);
        GE_tpDevMode = typDEVMODE{};
        GE_tpDevNames = typDEVNAMES{};
    }

    void cleanup() { platform::Printers::clearTestPrinters(); }

    void deviceNamesCountBytesOfTheCodePage_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QList<int>>("offsets");
        QTest::newRow("ascii") << "Test Driver 14" << "Plotter-A" << QList<int>{8, 23, 33};
        QTest::newRow("double-byte") << "日本語" << "P" << QList<int>{8, 15, 17};
    }

    void deviceNamesCountBytesOfTheCodePage()
    {
        QFETCH(QString, driver);
        QFETCH(QString, device);
        QFETCH(QList<int>, offsets);
        typPrinter r;
        r.strDriverName = driver, r.strDeviceName = device, r.strPort = QStringLiteral("LPT1:");
        typDEVNAMES names;
        mdlPrinter::subSet_DevNamesRec(r, names);
        QCOMPARE((QList<int>{names.wDriverOffset, names.wDeviceOffset, names.wOutputOffset}), offsets);
        QCOMPARE(mdlPrinter::fncDevNames_Part(names, names.wDeviceOffset), device);
        QCOMPARE(mdlPrinter::fncDevNames_Part(names, names.wDriverOffset), driver);
        QCOMPARE(mdlPrinter::fncDevNames_Part(names, names.wOutputOffset), QStringLiteral("LPT1:"));
    }

    void deviceModeFromARecord()
    {
        typPrinter r;
        r.strDeviceName = QStringLiteral("Plotter-A"), r.intPaperSize = 8, r.intOrientation = 2, r.intZoom = 75;
        typDEVMODE dm;
        dm.dmPaperWidth = 5;
        mdlPrinter::subSet_DevModeRec(r, dm);
        QCOMPARE(dm.dmSize, qint16(124));
        QCOMPARE(dm.dmDeviceName.size(), 32);
        QVERIFY(dm.dmFields & 0x2);
        QVERIFY(!(dm.dmFields & 0x4) && !(dm.dmFields & 0x8));
        QVERIFY(dm.dmPaperWidth == 0 && dm.dmPaperLength == 0);
        QVERIFY(dm.dmScale == 75 && dm.dmOrientation == 2 && (dm.dmFields & 0x10));
    }

    void settingsAreAppliedAndReadBack()
    {
        // Plotter-A (in any case), A3, landscape, as a dialog chose them; -3
        // is a draft quality code the device can't apply.
        typPrinter r;
        r.strDeviceName = QStringLiteral("plotter-a"), r.intPaperSize = 8, r.intOrientation = 2;
        r.intColorMode = 2, r.intDuplex = 3, r.intZoom = 80, r.intPrintQuality = -3, r.intPaperBin = 9;
        ScopedScriptedUi ui;
        apply(r);
        QCOMPARE(ui->boxes.size(), 0);
        typPrinter back;
        mdlPrinter::subGet_PrinterRec(back, GE_tpDevMode);
        QCOMPARE(back.strDeviceName, QStringLiteral("Plotter-A"));
        QCOMPARE(back.strDriverName, QStringLiteral("Test Driver 14"));
        QVERIFY(back.intPaperSize == 8 && back.intOrientation == 2 && back.intScaleMode == 6);
        // The device's printable pixels at 300 dpi (about 400 x 277 mm).
        QCOMPARE(QSize(qRound(back.sngScaleWidth / 25.4 * 300), qRound(back.sngScaleHeight / 25.4 * 300)),
                 QSize(4729, 3274));
        QCOMPARE(back.sngWidth, 23811.02f);
        QCOMPARE(back.sngHeight, 16837.7949f);
        QCOMPARE(back.sngPaperWidth, back.sngWidth * 100);
        // What the device can't express stays as set.
        QVERIFY(back.intZoom == 80 && back.intPrintQuality == -3 && back.intPaperBin == 9 && back.intDuplex == 3);
    }

    void unknownPrinterStaysAndRefusedPaperIsTold()
    {
        ScopedScriptedUi ui;
        typPrinter r;
        r.strDeviceName = QStringLiteral("Gone"), r.intPaperSize = 9, r.intOrientation = 1;
        apply(r);
        QCOMPARE(ui->boxes.size(), 0);
        QCOMPARE(CurrentPrinter().DeviceName(), QStringLiteral("Plotter-A"));

        r.strDeviceName = QStringLiteral("Plotter-B");
        r.intPaperSize = 8;
        apply(r);
        QCOMPARE(ui->boxes.size(), 1);
        QCOMPARE(ui->last().prompt, QStringLiteral("指定された用紙サイズが不正です"));
        QCOMPARE(ui->last().title, QStringLiteral("プリンタの設定"));
        QCOMPARE(CurrentPrinter().DeviceName(), QStringLiteral("Plotter-B"));
        QCOMPARE(CurrentPrinter().PaperSize(), 9);
    }

    // A user-defined paper comes back from its stored row (the stored paper
    // width and length are beyond the block's fields); A0 has no paper code
    // and is wider than a 16-bit count of hundredths of a millimetre.
    void userPaperSurvivesTheRecord_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("200 x 300 mm") << 200 << 300;
        QTest::newRow("A0") << 841 << 1189;
    }

    void userPaperSurvivesTheRecord()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        ScopedScriptedUi ui;
        platform::Printer& p = CurrentPrinter();
        p.setPaperSize(256);
        p.setWidth(width * 1440 / 25.4);
        p.setHeight(height * 1440 / 25.4);
        p.setOrientation(2);
        typPrinter stored;
        mdlPrinter::subGet_PrinterRec(stored, GE_tpDevMode);
        QCOMPARE(stored.intPaperSize, qint16(256));
        QVERIFY(stored.sngPaperWidth > 32767);
        p.select(QStringLiteral("Plotter-B"));
        mdlPrinter::subSet_DevModeRec(stored, GE_tpDevMode);
        mdlPrinter::subSet_DevNamesRec(stored, GE_tpDevNames);
        QCOMPARE(GE_tpDevMode.dmPaperWidth, width * 100);
        QCOMPARE(GE_tpDevMode.dmPaperLength, height * 100);
        // The set-up opens on it and, confirmed, keeps it: nothing to save.
        GE_tpPrinter = stored;
        ui->answerPrinter([](QPrinter&, QString&) {});
        QVERIFY(!mdlPrinter::fncSetUp_Printer(nullptr));
        QCOMPARE(ui->boxes.size(), 1);  // the dialog, no paper box
        QCOMPARE(ui->boxes[0].style, 1);
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(256));
        QCOMPARE(qRound(GE_tpPrinter.sngWidth), qRound(height * 1440 / 25.4));
        QCOMPARE(qRound(GE_tpPrinter.sngHeight), qRound(width * 1440 / 25.4));
        QCOMPARE(GE_tpPrinter.intOrientation, qint16(2));
    }

    void setUpDialogAcceptedOrCancelled()
    {
        typPrinter r;
        mdlPrinter::subGet_PrinterRec(r, GE_tpDevMode);
        r.intZoom = 90;
        r.intDuplex = 3;
        r.intPrintQuality = -3;  // a quality no device resolution stands for
        GE_tpPrinter = r;
        ScopedScriptedUi ui;
        ui->answerPrinter(std::nullopt);
        QVERIFY(!mdlPrinter::fncSetUp_Printer(nullptr));
        QCOMPARE(GE_tpDevMode.dmSize, qint16(0));
        QCOMPARE(GE_tpPrinter.intZoom, qint16(90));
        QCOMPARE(CurrentPrinter().PaperSize(), 9);

        ui->answerPrinter([](QPrinter& device, QString& name) {
            name = QStringLiteral("Plotter-A");
            device.setPageSize(QPageSize(QPageSize::A3));
        });
        QVERIFY(mdlPrinter::fncSetUp_Printer(nullptr));
        QVERIFY(ui->allAnswered());
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(8));
        QCOMPARE(GE_tpPrinter.strFormName, QStringLiteral("A3"));
        // What the dialog can't show, or the user left as it was, survives it.
        QVERIFY(GE_tpPrinter.intZoom == 90 && GE_tpPrinter.intDuplex == 3 && GE_tpPrinter.intPrintQuality == -3);
    }
};

QTEST_MAIN(TestMdlPrinter)
#include "tst_mdlprinter.moc"
