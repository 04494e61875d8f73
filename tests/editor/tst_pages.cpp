// The printed pages over the map: the 100 % and the real page grids at
// opening, at a zoom, after a new layout and a newly brought-in picture, the
// menu toggle, the left-out mark, and a layout that can't be made.

#include "tests/editor/editorfixture.h"

#include "library/dlgBrowesForFolder.h"
#include "library/frmThumbnail.h"

#include <QDir>

#include <cmath>
#include <QtTest>

using namespace editortest;
using platform::ModalScript;

class TestPages : public QObject {
    Q_OBJECT
    editortest::Session m_session;
    QSizeF m_map;  // the stored drawing's map at 100 %

    // The largest sheet size at most extent / ratio: a whole ratio stays whole
    // (or above) in single precision.
    static float sheetFor(double extent, double ratio)
    {
        float f = float(extent / ratio);
        while (double(f) > extent / ratio)
            f = std::nextafter(f, 0.0f);
        return f;
    }

    // The stored drawing, opened with a printable area of its map's width /
    // across and height / down.
    frmEdit& openDrawing(double across, double down)
    {
        Fixture& fx = *m_session.fx;
        writePicture(fx.dir.path(), QStringLiteral("map.bmp"), QSize(484, 244));
        const qint32 id = fx.storeDrawing(QStringLiteral("P-1"), fx.dir.path(), QStringLiteral("map.bmp"));
        m_map = {Fixture::open().pictMap->ScaleWidth(), Fixture::open().pictMap->ScaleHeight()};
        Fixture::closeEditor();
        typPrinter printer;
        printer.strFormName = QStringLiteral("A4");
        printer.sngScaleWidth = float(m_map.width() / across);
        printer.sngScaleHeight = float(m_map.height() / down);
        if (mdlSQL::fncSQL_InsertPrinter(id, printer) != 0)
            qFatal("no printer stored");
        GE_tpPrint.Print_Id = id;
        return Fixture::open();
    }

    // Page k's number is on the map: shown, with its text and a size to paint it in.
    static bool numbered(const platform::LabelElement& label, int k)
    {
        return label.Visible && label.Caption.get() == QString::number(k) && label.Width() > 0 && label.Height() > 0;
    }

    // Both grids laid with so many pages, all shown and numbered.
    static bool shown(const frmEdit& e, int pages, int pagesR)
    {
        bool ok = e.shpPrintWaku.UBound() == pages && e.lblPage.UBound() == pages
            && e.shpPrintWakuR.UBound() == pagesR && e.lblPageR.UBound() == pagesR;
        for (int k = 1; ok && k <= std::max(pages, pagesR); ++k) {
            ok = (k > pages || (e.shpPrintWaku(k).Visible && numbered(e.lblPage(k), k)))
                && (k > pagesR || (e.shpPrintWakuR(k).Visible && numbered(e.lblPageR(k), k)));
        }
        return ok;
    }

private slots:
    void init() { QVERIFY(m_session.begin()); }
    void cleanup() { m_session.end(); }

    void openingShowsBothGrids()
    {
        frmEdit& e = openDrawing(2.4, 1.3);
        QVERIFY(shown(e, 6, 6) && e.mnuPaperSize->Checked());
        const float w = GE_tpPrinter.sngScaleWidth, h = GE_tpPrinter.sngScaleHeight;
        for (auto* frames : {&e.shpPrintWaku, &e.shpPrintWakuR}) {
            QVERIFY((*frames)(4).Left == w && (*frames)(4).Top == h);
            QVERIFY((*frames)(5).Left == 2 * w && (*frames)(5).Top == 0);
            QVERIFY((*frames)(5).Width() == w && (*frames)(5).Height() == h);
        }
        QVERIFY(e.lblPage(4).Left == w && e.lblPage(4).Top == h + 4.0f && e.lblPage(1).Top == 4.0f);
        QVERIFY(e.lblPageR(4).Left == w && e.lblPageR(4).Top == h);
        QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A4"));

        // Half the width, the full height: the extra pages of whole ratios.
        GE_tpPrinter.sngScaleWidth = sheetFor(m_map.width(), 2);
        GE_tpPrinter.sngScaleHeight = sheetFor(m_map.height(), 1);
        e.subSetup_Page();
        QCOMPARE(e.shpPrintWaku.UBound(), 6);
        // Fewer pages: the frames and labels above are gone.
        GE_tpPrinter.sngScaleWidth = float(m_map.width() / 1.4);
        GE_tpPrinter.sngScaleHeight = float(m_map.height() / 0.8);
        e.subSetup_Page();
        QVERIFY(e.shpPrintWaku.UBound() == 2 && e.lblPage.UBound() == 2);
        QCOMPARE((*m_session.quiet)->boxes.size(), 0);
    }

    void pagesFollowTheZoom()
    {
        frmEdit& e = openDrawing(2.4, 1.3);
        const float w = GE_tpPrinter.sngScaleWidth, h = GE_tpPrinter.sngScaleHeight;
        e.shpPrintWakuR(1).BackStyle = 1;  // left out of the tiled print
        e.shpPrintWakuR(3).BackStyle = 1;
        e.mnuDispEandR_Click(0);  // 200 %
        QVERIFY(shown(e, 6, 15));
        QVERIFY(e.shpPrintWaku(4).Width() == 2 * w && e.shpPrintWaku(4).Left == 2 * w && e.shpPrintWaku(4).Top == 2 * h);
        QCOMPARE(e.shpPrintWaku(4).Height(), 2 * h);
        QVERIFY(e.shpPrintWakuR(15).Width() == w && e.shpPrintWakuR(15).Left == 4 * w);
        QCOMPARE(e.shpPrintWakuR(1).BackStyle.get(), 1);
        for (int k = 2; k <= 15; ++k)
            QCOMPARE(e.shpPrintWakuR(k).BackStyle.get(), 0);

        // The menu's tick says the pages are shown; it hides and shows both sets.
        QVERIFY(e.mnuPaperSize->Checked());
        e.mnuPaperSize->choose();
        QVERIFY(!e.mnuPaperSize->Checked() && !e.shpPrintWaku(1).Visible && !e.lblPage(6).Visible);
        QVERIFY(!e.shpPrintWakuR(1).Visible && !e.lblPageR(15).Visible);
        e.mnuPaperSize->choose();
        QVERIFY(e.mnuPaperSize->Checked() && shown(e, 6, 15));
    }

    void layoutThatCantBeMade()
    {
        frmEdit& e = openDrawing(2.4, 1.3);
        const float left = e.shpPrintWaku(6).Left;
        for (const float sheet : {0.0f, 0.001f}) {
            GE_tpPrinter.sngScaleWidth = sheet;
            GE_tpPrinter.sngScaleHeight = sheet;
            e.subSetup_Page();
            e.subSetup_PageR();
            QVERIFY(e.shpPrintWaku.UBound() == 6 && e.shpPrintWaku(6).Left == left && e.lblPageR.UBound() == 6);
        }
        const auto& boxes = (*m_session.quiet)->boxes;
        QCOMPARE(boxes.size(), 4);
        QCOMPARE(boxes[0].prompt, QStringLiteral("subSetup_Page()\r") + vb::Error(vb::errDivisionByZero).description());
        QCOMPARE(boxes[0].title, QStringLiteral("印刷ページ設定時エラー"));
        QCOMPARE(boxes[3].prompt, QStringLiteral("subSetup_PageR()\r") + vb::Error(vb::errOverflow).description());
        QCOMPARE(boxes[3].title, QStringLiteral("印刷実ページを設定時エラー"));
    }

    void newPictureBringsItsPages()
    {
        // A new drawing, then a picture smaller than a sheet.
        const QString pictures = m_session.fx->dir.filePath(QStringLiteral("pictures"));
        QDir().mkpath(pictures);
        writePicture(pictures, QStringLiteral("small.bmp"), QSize(120, 90));
        GE_strPict_Folda = pictures;
        GE_strTempPath = m_session.fx->dir.filePath(QStringLiteral("TEMP"));
        QDir().mkpath(GE_strTempPath);
        GE_booThumbnail = false;
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        GE_tpPrinter.sngScaleWidth = 190;
        GE_tpPrinter.sngScaleHeight = 277;
        e.subSetup_Page();
        e.subSetup_PageR();
        QVERIFY(e.shpPrintWaku.UBound() > 1);  // the empty map is larger than a sheet
        ModalScript script;
        script.push([](platform::Form& form) { static_cast<dlgBrowesForFolder&>(form).OKButton->setValue(true); });
        script.push([](platform::Form& form) {
            auto& browser = static_cast<frmThumbnail&>(form);
            browser.stsBar->Panels(2).setText(QStringLiteral("small.bmp"));
            browser.cmdOK->setValue(true);
        });
        e.mnuFileNewPrj_Click();
        QVERIFY(script.allUsed());
        QCOMPARE(e.pictMap->picture()->size(), QSize(120, 90));
        QVERIFY(e.mnuFileSaveAsImg->Enabled());  // the picture can be saved as a bitmap now
        QVERIFY(shown(e, 1, 1));
        e.booDrawChange = false;
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
