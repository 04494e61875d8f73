// Printing a drawing from the editor on test PDF printers (300 dpi, 10 mm
// margins: A4 prints about 190 x 277 mm, the device's 2245 x 3274 pixels,
// as Qt keeps the sheet and its margins in whole points): the fitted and the tiled print, the page
// range, the renderer's pens, labels and shapes, failures, and the editor's
// printer commands. Geometry is read from each sheet's recorded commands;
// a few checks read the PDF back with pdfinfo, pdfimages and pdftoppm.

#include "tests/editor/editorfixture.h"

#include "measure/hatchcache.h"
#include "output/dlgPrinter.h"
#include "output/mdlPrinter.h"
#include "output/printlayout.h"
#include "platform/printer.h"
#include "platform/printqueue.h"
#include "tests/support/testsupport.h"

#include "db/mdlSQL_objects.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>

using namespace editortest;
using platform::CurrentPrinter;
using platform::DrawCommand;
using PrintDialogAnswer = platform::ScriptedUserInterface::PrintDialogAnswer;

namespace {

constexpr double PxPerMm = 300 / 25.4;
// The printable width and height of the test printers' A4, in millimetres.
constexpr double PW = 2245 / PxPerMm, PH = 3274 / PxPerMm;

// Print dialog answers: confirmed as it opens, or with a paper picked.
const PrintDialogAnswer asOpened = [](QPrinter&, QString&) {};
PrintDialogAnswer pick(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation)
{
    return [=](QPrinter& device, QString&) {
        device.setPageSize(QPageSize(paper));
        device.setPageOrientation(orientation);
    };
}

// A PDF file picked as the printer, then `then` done.
PrintDialogAnswer toPdf(const QString& path, const PrintDialogAnswer& then)
{
    return [=](QPrinter& device, QString& name) {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(path);
        then(device, name);
    };
}

std::vector<DrawCommand> ofKind(const std::vector<DrawCommand>& sheet, DrawCommand::Kind kind)
{
    std::vector<DrawCommand> found;
    for (const DrawCommand& c : sheet)
        if (c.kind == kind)
            found.push_back(c);
    return found;
}

// Drawn in black, not in the test picture's red, green or blue.
bool dark(QColor c) { return std::max({c.red(), c.green(), c.blue()}) < 80; }

// One page of the PDF as pdftoppm rasters it at 300 dpi without smoothing.
QImage rasterPage(const QString& path, int page)
{
    return testsupport::pdfRaster(path, 300, {}, page);
}

// The extent across of what is drawn in black on a rastered page, in
// millimetres (the test picture is red, green and blue).
double inkWidth(const QImage& page)
{
    int left = page.width(), right = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (dark(page.pixelColor(x, y)))
                left = std::min(left, x), right = std::max(right, x);
    return right < left ? 0 : (right - left + 1) / PxPerMm;
}

// How far the test picture's red half reaches on a rastered page, in
// millimetres: from its left edge to the green, 10 mm below its top.
double redWidth(const QImage& page)
{
    const auto red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    const auto green = [](QColor c) { return c.green() > 200 && c.red() < 60 && c.blue() < 60; };
    const auto next = [&](int x, int y, auto is) {  // the first such pixel from x on along row y
        while (x < page.width() && !is(page.pixelColor(x, y)))
            ++x;
        return x;
    };
    int top = 0;
    while (top < page.height() && next(0, top, red) == page.width())
        ++top;
    if (top == page.height())
        return 0;
    const int row = top + qRound(10 * PxPerMm), left = next(0, row, red);
    return (next(left, row, green) - left) / PxPerMm;
}

// The runs of pixels that `is` picks along a row (step (1, 0)) or a column
// (step (0, 1)) of a raster from `from` on: their starts and lengths.
struct Run {
    int start = 0, length = 0;
};
std::vector<Run> runs(const QImage& image, QPoint from, QPoint step, const std::function<bool(QColor)>& is)
{
    std::vector<Run> found;
    int i = 0;
    for (QPoint at = from; image.rect().contains(at); at += step, ++i) {
        if (!is(image.pixelColor(at)))
            continue;
        if (found.empty() || found.back().start + found.back().length != i)
            found.push_back({i, 0});
        ++found.back().length;
    }
    return found;
}

// pdfinfo's page count and the first page's size in points.
QString pdfinfo(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The label's box (its yellow background) and the ink of its text within
// it, in a picture of the map: red, green and blue, so both stand apart.
struct LabelInk {
    QRect box, text;
};
LabelInk labelInk(const QImage& image)
{
    const auto yellow = [](QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() < 60; };
    LabelInk found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (yellow(image.pixelColor(x, y)))
                found.box |= QRect(x, y, 1, 1);
    for (int y = found.box.top(); y <= found.box.bottom(); ++y)
        for (int x = found.box.left(); x <= found.box.right(); ++x)
            if (image.pixelColor(x, y).green() < 230)
                found.text |= QRect(x, y, 1, 1);
    return found;
}

// Run as a child by outputsKeepTheirLabelsAtAnyScreenScale, on a screen
// scaled as its environment says (NEMU_SCALED_OUTPUT names the folder): a
// drawing with a stored distance label shown at 50 % is exported as a
// bitmap and printed on tiles into that folder.
int runScaledOutputs(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString folder = qEnvironmentVariable("NEMU_SCALED_OUTPUT");
    editortest::Session session;
    if (!session.begin())
        return 3;
    platform::TestPrinter a;
    a.name = QStringLiteral("Plotter-A"), a.papers = {QPageSize(QPageSize::A4)};
    a.outputFile = folder + QStringLiteral("/print.pdf");
    platform::Printers::addTestPrinter(a);
    writePicture(session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(400, 300));
    if (session.fx->storeDrawing(QStringLiteral("S-1"), session.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
        return 4;
    frmEdit& e = Fixture::open();
    // Where a drawing stored on another screen puts it.
    platform::LabelElement& label = e.lblKyori(0);
    label.FontName = QStringLiteral("ＭＳ Ｐゴシック"), label.FontSize = 9;
    label.Caption = QStringLiteral(" 149.86 m "), label.Move(40, 30);
    label.BackStyle = 1, label.BackColor = 0x00FFFF, label.BorderStyle = 0, label.Visible = true;
    e.lblKyori.Load(1);
    e.mnuDispEandR_Click(6);  // 50 %
    e.subSave_Bitmap(folder + QStringLiteral("/export.bmp"));
    dlgPrinter& d = platform::Instance<dlgPrinter>::get();
    d.optHouhou(1).setValue(true);
    (*session.quiet)->answerPrinter(asOpened);
    d.cmdPrint_Click();
    d.unload();
    e.booDrawChange = e.booPrtChange = false;
    session.end();
    platform::Printers::clearTestPrinters();
    return 0;
}

}  // namespace

class TestPrinting : public QObject {
    Q_OBJECT

    editortest::Session m_session;
    QString m_pdf;

    frmEdit& openWith(QSize pixels)
    {
        writePicture(m_session.fx->dir.path(), QStringLiteral("map.bmp"), pixels);
        m_session.fx->storeDrawing(QStringLiteral("P-1"), m_session.fx->dir.path(), QStringLiteral("map.bmp"));
        return Fixture::open();
    }

    dlgPrinter& dialog(int method, bool picture = true)
    {
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        d.optHouhou(method).setValue(true);
        d.chkPictPrt->setValue(picture ? 1 : 0);
        return d;
    }

    // One print with the print dialog accepted as it opens (or changed), on
    // a dialog that may put a queue's default paper on the device itself.
    void print(dlgPrinter& d, PrintDialogAnswer change = {}, std::optional<QPageSize> dialogPaper = std::nullopt)
    {
        (*m_session.quiet)->answerPrinter(change ? change : asOpened, dialogPaper);
        d.cmdPrint_Click();
    }

    const std::vector<std::vector<DrawCommand>>& sheets() { return CurrentPrinter().sheets(); }

    platform::LineElement& line(frmEdit& e, float x1, float y1, float x2, float y2)
    {
        platform::LineElement& l = e.lineHikidashi(0);
        l.X1 = x1, l.Y1 = y1, l.X2 = x2, l.Y2 = y2;
        l.Visible = true;
        return l;
    }

private slots:
    void init()
    {
        QVERIFY(m_session.begin());
        m_pdf = m_session.fx->dir.filePath(QStringLiteral("out.pdf"));
        platform::TestPrinter a;
        a.name = QStringLiteral("Plotter-A"), a.papers = {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3)};
        a.customPaper = true, a.outputFile = m_pdf;
        platform::Printers::addTestPrinter(a);
        GE_tpDevMode = typDEVMODE{};
        GE_tpDevNames = typDEVNAMES{};
        GE_sngZoom = 1.0f;
    }

    void cleanup()
    {
        CurrentPrinter().beforeDraw = nullptr;
        platform::printqueue::setStateSource({});
        platform::printqueue::setSubmissionSource({});
        if (dlgPrinter* d = platform::Instance<dlgPrinter>::pointer())
            d->unload();
        QVERIFY((*m_session.quiet)->allAnswered());
        // The editor closes without saving what a test drew.
        if (frmEdit* e = platform::Instance<frmEdit>::pointer())
            e->booDrawChange = e->booPrtChange = false;
        m_session.end();
        QVERIFY(!platform::Instance<frmEdit>::exists());
        platform::Printers::clearTestPrinters();
    }

    void fittedPrintIsOneSheetAtAnyZoom()
    {
        frmEdit& e = openWith(QSize(1920, 960));  // 508 x 254 mm
        line(e, 50, 50, 150, 50);
        for (const float zoom : {1.0f, 2.0f}) {
            e.mnuDispEandR_Click(zoom == 1.0f ? 4 : 0);
            if (zoom != 1.0f)
                line(e, 100, 100, 300, 100);  // the same line at 200 %
            QFile::remove(m_pdf);
            print(dialog(0));
            QCOMPARE(sheets().size(), size_t(1));
            const auto segments = ofKind(sheets()[0], DrawCommand::Segment);
            QCOMPARE(segments.size(), size_t(1));
            // 50 x 190.08 / 508 = 18.71 mm from the printable area's edge.
            const auto at = [](double px, double mm) { return qAbs(px / PxPerMm - mm * PW / 508) < 0.005; };
            QVERIFY(at(segments[0].p1.x(), 50) && at(segments[0].p2.x(), 150) && at(segments[0].p1.y(), 50));
            const auto pictures = ofKind(sheets()[0], DrawCommand::Picture);
            QCOMPARE(pictures.size(), size_t(1));
            QCOMPARE((pictures[0].rect.size() / PxPerMm).toSize(), QSize(190, 95));
            QVERIFY(pdfinfo(m_pdf).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        }
    }

    void tiledPrintFollowsTheFramesAtTheDisplayedScale()
    {
        frmEdit& e = openWith(QSize(1920, 960));
        line(e, 50, 50, 150, 50);
        print(dialog(1));
        QCOMPARE(sheets().size(), size_t(3));  // X = 0, 190, 380
        const auto first = ofKind(sheets()[0], DrawCommand::Segment);
        QCOMPARE(first.size(), size_t(1));
        QCOMPARE(qRound((first[0].p2.x() - first[0].p1.x()) / PxPerMm * 10), 1000);
        QVERIFY(ofKind(sheets()[1], DrawCommand::Segment).empty());
        const auto third = ofKind(sheets()[2], DrawCommand::Picture);
        QCOMPARE(third.size(), size_t(1));
        QCOMPARE((third[0].rect.size() / PxPerMm).toSize(), QSize(128, 254));  // blank beyond the picture
        // On paper: the picture's right half (green) up to 128 mm, white beyond.
        const QImage sheet = rasterPage(m_pdf, 3);
        QVERIFY(!sheet.isNull());
        const int y = qRound((10 + 100) * PxPerMm);
        const QColor inside = sheet.pixelColor(qRound((10 + 120) * PxPerMm), y);
        QVERIFY(inside.green() > 240 && inside.red() < 16 && inside.blue() < 16);
        QCOMPARE(sheet.pixelColor(qRound((10 + 140) * PxPerMm), y), QColor(Qt::white));
    }

    void tiledPrintOfAnA0Plan()
    {
        frmEdit& e = openWith(QSize(3179, 4494));  // 841.1 x 1189.0 mm
        line(e, 200, 280, 210, 280);
        dlgPrinter& d = dialog(1, false);
        QCOMPARE(d.intPage[1], qint16(25));
        print(d);
        QCOMPARE(sheets().size(), size_t(25));
        const auto seventh = ofKind(sheets()[6], DrawCommand::Segment);
        QCOMPARE(seventh.size(), size_t(1));  // page 7's corner is (190, 277)
        QCOMPARE(qRound(seventh[0].p1.x() / PxPerMm), 10);
        QCOMPARE(qRound(seventh[0].p1.y() / PxPerMm), 3);
        const QString info = pdfinfo(m_pdf);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+25\\n"))), qPrintable(info));
        // Qt's writer gives the sheet in whole points.
        QVERIFY2(info.contains(QStringLiteral("595 x 842 pts")), qPrintable(info));

        // Landscape chosen in the dialog: the frames follow before the print.
        print(d, [](QPrinter& device, QString&) { device.setPageOrientation(QPageLayout::Landscape); });
        QCOMPARE(sheets().size(), size_t(28));
        QCOMPARE(e.lblPageR.UBound(), 28);
        QCOMPARE(d.txtPage(1).Text(), QStringLiteral("28"));
        QVERIFY(e.booPrtChange);
    }

    void pageRangeAndLeftOutPages()
    {
        frmEdit& e = openWith(QSize(1077, 1570));  // four pages
        QCOMPARE(e.lblPageR.UBound(), 4);
        e.lblPageR_Click(3);
        dlgPrinter& d = dialog(0);
        QVERIFY(!d.txtPage(0).Enabled() && !d.txtPage(1).Enabled());
        dialog(1);
        QVERIFY(d.txtPage(0).Enabled() && d.txtPage(1).Enabled());
        QCOMPARE((*m_session.quiet)->count(), 0);
        print(d);
        QCOMPARE(sheets().size(), size_t(3));  // 1, 2, 4 and no blank after
        QVERIFY(pdfinfo(m_pdf).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));

        QFile::remove(m_pdf);
        d.txtPage(0).setText(QStringLiteral("3"));
        int enter = 13;
        d.txtPage_KeyPress(0, enter);
        QCOMPARE(enter, 0);
        QVERIFY(d.intPage[0] == 3 && d.intPage[1] == 3 && d.txtPage(1).Text() == QStringLiteral("3"));
        // No sheet in the range (page 3 is left out): told, nothing printed.
        print(d);
        QVERIFY(!QFile::exists(m_pdf));
        QCOMPARE((*m_session.quiet)->count(), 1);
        QCOMPARE((*m_session.quiet)->last().prompt,
                 QStringLiteral("印刷頁 3 ～ 3 には、印刷する頁がありません。\r\n"
                                "印刷頁の範囲と、印刷しない頁の指定を確認してください。"));
        QCOMPARE((*m_session.quiet)->last().title, QStringLiteral("印刷"));

        // Beyond the 16-bit range, or not a number: the box shows its number again.
        for (const QString& text : {QStringLiteral("99999"), QStringLiteral("abc")}) {
            d.txtPage(1).setText(text);
            d.txtPage_LostFocus(1);
            QCOMPARE(d.txtPage(1).Text(), QStringLiteral("3"));
            QCOMPARE(d.intPage[1], qint16(3));
        }
        // Leaving the first box, as Enter does, sets the last page too.
        d.txtPage(0).setText(QStringLiteral("2"));
        d.txtPage_LostFocus(0);
        QVERIFY(d.intPage[0] == 2 && d.intPage[1] == 2 && d.txtPage(1).Text() == QStringLiteral("2"));
        // A range typed backwards is the same range: 4 to 2 prints pages 2 and 4.
        d.txtPage(0).setText(QStringLiteral("4"));
        d.txtPage_KeyPress(0, enter = 13);
        d.txtPage(1).setText(QStringLiteral("2"));
        d.txtPage_KeyPress(1, enter = 13);
        print(d);
        QCOMPARE(sheets().size(), size_t(2));
        QVERIFY(pdfinfo(m_pdf).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
        QCOMPARE((*m_session.quiet)->count(), 1);
        QFile::remove(m_pdf);
        d.txtPage(0).setText(QStringLiteral("7"));
        d.txtPage_KeyPress(0, enter = 13);
        d.txtPage(1).setText(QStringLiteral("5"));
        d.txtPage_KeyPress(1, enter = 13);
        print(d);
        QVERIFY(!QFile::exists(m_pdf));
        QVERIFY((*m_session.quiet)->last().prompt.startsWith(QStringLiteral("印刷頁 7 ～ 5 には、")));
    }

    // A page left out by a click on its number stays out of the first
    // print after the drawing is opened, though the print window lays the
    // frames again on the printable area the queue gives now; a mark that
    // names no page of the new frames is cleared, and the user told, before
    // anything prints: a print that met it prints nothing.
    void leftOutPageStaysOutOfTheFirstPrint_data()
    {
        QTest::addColumn<QSizeF>("kept");  // the printable area in the drawing's row; none: the queue's
        QTest::addColumn<int>("paper");    // picked in the first print's dialog; -1 none
        QTest::addColumn<bool>("told");
        QTest::addColumn<QList<int>>("printed");  // pages of the first and second print (0: no file)
        QTest::addColumn<int>("frames");
        QTest::newRow("the queue's own, read again") << QSizeF() << -1 << false << QList<int>{5, 5} << 6;
        QTest::newRow("as an earlier version kept it") << QSizeF(190, 277) << -1 << false << QList<int>{5, 5} << 6;
        QTest::newRow("half the sheet") << QSizeF(95, 138.5) << -1 << true << QList<int>{6, 6} << 6;
        QTest::newRow("A3 picked at the print") << QSizeF() << int(QPageSize::A3) << true << QList<int>{0, 4} << 4;
    }

    void leftOutPageStaysOutOfTheFirstPrint()
    {
        QFETCH(QSizeF, kept);
        QFETCH(int, paper);
        QFETCH(bool, told);
        QFETCH(QList<int>, printed);
        QFETCH(int, frames);
        Fixture& fx = *m_session.fx;
        writePicture(fx.dir.path(), QStringLiteral("map.bmp"), QSize(1000, 800));  // 3 x 2 sheets at 200 %
        const qint32 id = fx.storeDrawing(QStringLiteral("P-1"), fx.dir.path(), QStringLiteral("map.bmp"));
        typPrinter row;
        mdlPrinter::subGet_PrinterRec(row, typDEVMODE{});
        if (!kept.isEmpty())
            row.sngScaleWidth = float(kept.width()), row.sngScaleHeight = float(kept.height());
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(id, row), qint16(0));
        frmEdit& e = Fixture::open();
        e.mnuDispEandR_Click(0);
        const int frame = platform::PictureBox::frameWidthPixels(e.pictMap->BorderStyle());
        const QPointF two = e.lblPageR(2).deviceRect().center() + QPointF(frame, frame);
        QTest::mouseClick(e.pictMap, Qt::LeftButton, {}, two.toPoint());
        QCOMPARE(e.shpPrintWakuR(2).BackStyle.get(), 1);
        auto& ui = *m_session.quiet;
        const QString chosen = m_session.fx->dir.filePath(QStringLiteral("tiles.pdf"));
        for (int round = 0; round < 2; ++round) {
            QFile::remove(chosen);
            const int boxes = ui->count();
            platform::ModalScript script;
            script.push([&](platform::Form& form) {  // the toolbar's print window, as the user works it
                auto& d = static_cast<dlgPrinter&>(form);
                QTest::mouseClick(d.optHouhou(1).radioButton(), Qt::LeftButton);
                ui->answerPrinter(toPdf(chosen, round == 0 && paper >= 0
                                                    ? pick(QPageSize::PageSizeId(paper), QPageLayout::Landscape)
                                                    : asOpened));
                QTest::mouseClick(d.cmdPrint->button(), Qt::LeftButton);
                d.unload();
            });
            e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("print")));
            QVERIFY2(script.allUsed(), qPrintable(script.unexpected.join(u',')));
            const QRegularExpression pages(QStringLiteral("Pages:\\s+%1\\n").arg(printed[round]));
            QVERIFY2(printed[round] ? pdfinfo(chosen).contains(pages) : !QFile::exists(chosen),
                     qPrintable(pdfinfo(chosen)));
            QVERIFY(e.lblPageR.UBound() == frames && e.shpPrintWakuR(2).BackStyle.get() == (told ? 0 : 1));
            QCOMPARE(ui->count() - boxes, told && round == 0 ? 1 : 0);
        }
        const auto box = std::find_if(ui->boxes.cbegin(), ui->boxes.cend(),
                                      [](const auto& b) { return b.kind == QLatin1String("MsgBox"); });
        if (told)
            QCOMPARE(box->title + u':' + box->prompt,
                     QStringLiteral("用紙サイズ:用紙の印刷できる範囲が変わったため、用紙の枠（黄色の枠）を並べ直しました。\r\n"
                                    "印刷しない頁にした枠のうち 1 枚は、同じ場所に枠が無くなったため、"
                                    "印刷しない指定を外しました。\r\n印刷しない頁を確かめてから、印刷してください。"));
    }

    void rendererPensLabelsAndShapes()
    {
        frmEdit& e = openWith(QSize(1920, 960));
        // Dimension lines of widths 1 and 3 with their markers.
        e.shpSnpo(0).setWidth(2);
        e.lineDsSave.Load(1);
        e.lineDsSave.Load(2);
        for (int i = 0; i < 2; ++i) {
            platform::LineElement& l = e.lineDsSave(i);
            l.X1 = 20, l.Y1 = 20 + 10 * i, l.X2 = 60, l.Y2 = 20 + 10 * i;
            l.BorderWidth = 1 + 2 * i;
            l.BorderColor = 0x0000FF * (i + 1);
            l.Visible = true;
        }
        // A wide oval with a border of 3.
        e.shpShape.Load(1);
        platform::ShapeElement& oval = e.shpShape(0);
        oval.Move(100, 100, 40, 20);
        oval.Shape = 2, oval.BorderWidth = 3, oval.BackStyle = 1, oval.BackColor = 0x00FFFF;
        oval.BorderColor = 0xFF0000, oval.FillStyle = 0, oval.FillColor = 0x00FF00, oval.Visible = true;
        // A square in a box taller than wide, see-through.
        e.shpShape.Load(2);
        platform::ShapeElement& square = e.shpShape(1);
        square.Move(160, 100, 20, 40);
        square.Shape = 1, square.BorderWidth = 1, square.BackStyle = 0, square.BorderColor = 0x808000;
        square.Visible = true;
        // A 14-pt result label with a comment; the hidden default text label.
        e.lblKyori.Load(1);
        platform::LabelElement& label = e.lblKyori(0);
        label.Move(30, 12);
        label.FontSize = 14, label.Caption = QStringLiteral("50.00 m"), label.ToolTipText = QStringLiteral("境界");
        label.BackStyle = 0, label.BorderStyle = 1, label.Appearance = 1, label.Visible = true;
        e.lblKeiIdoS(0).Caption = QStringLiteral("位置1");
        e.lblKeiIdoS(0).Visible = true;
        GE_booPrtCmt = true;
        print(dialog(1, false));
        GE_booPrtCmt = false;
        QCOMPARE(sheets().size(), size_t(3));
        const auto& sheet = sheets()[0];
        const auto segments = ofKind(sheet, DrawCommand::Segment);
        QCOMPARE(segments.size(), size_t(10));  // and the label's sunken frame
        QCOMPARE(segments[0].penWidth, 1.0);
        QCOMPARE(segments[1].penWidth, 3.0);
        for (size_t i = 2; i < segments.size(); ++i)
            QCOMPARE(segments[i].penWidth, 1.0);  // as thin as on the screen
        const auto ellipses = ofKind(sheet, DrawCommand::Ellipse);
        QCOMPARE(ellipses.size(), size_t(7));  // the oval's background and its border twice
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(ellipses[size_t(i)].fillStyle, 0);
            QCOMPARE(ellipses[size_t(i)].fillColor, ellipses[size_t(i)].color);
        }
        QCOMPARE(ellipses[4].color, 0x00FFFF);
        const DrawCommand& border = ellipses[6];
        QVERIFY(border.color == 0xFF0000 && border.fillColor == 0x00FF00 && border.fillStyle == 0);
        QCOMPARE(border.penWidth, 3.0);
        QCOMPARE((border.rect.size() / PxPerMm).toSize(), QSize(40, 20));
        // The square in the middle of its box.
        QList<QRect> squares;
        for (const DrawCommand& c : ofKind(sheet, DrawCommand::Box))
            if (c.color == 0x808000)
                squares << QRectF((c.rect.topLeft() - border.rect.topLeft()) / PxPerMm, c.rect.size() / PxPerMm).toRect();
        QCOMPARE(squares, QList<QRect>{QRect(60, 10, 20, 20)});
        const auto texts = ofKind(sheet, DrawCommand::Text);
        QCOMPARE(texts.size(), size_t(2));  // caption and comment; no position, no "文字列"
        QCOMPARE(texts[1].text, QStringLiteral("境界"));
        QCOMPARE(qRound(texts[1].rect.top() / PxPerMm * 10000), 169389);
        for (const auto& s : sheets())
            for (const DrawCommand& c : ofKind(s, DrawCommand::Text))
                QVERIFY(c.text != QStringLiteral("文字列") && c.text != QStringLiteral("位置1"));
        // Every sheet's markers take their line's colour, also after a shape.
        QVERIFY(ofKind(sheets()[1], DrawCommand::Ellipse).empty());
    }

    // What is exported and printed does not follow the screen's scaling. On
    // a desktop whose fonts are fully hinted, Qt gives up hinting on a
    // scaled screen: unless the program fixes it, a label's text and box
    // come out narrower at 150 % than at 100 %.
    void outputsKeepTheirLabelsAtAnyScreenScale()
    {
        QFile hinted(m_session.fx->dir.filePath(QStringLiteral("fonts.conf")));
        QVERIFY(hinted.open(QIODevice::WriteOnly));
        hinted.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                     "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
                     "<match target=\"font\"><edit name=\"hinting\" mode=\"assign\"><bool>true</bool></edit>"
                     "<edit name=\"hintstyle\" mode=\"assign\"><const>hintfull</const></edit></match>\n"
                     "</fontconfig>\n");
        hinted.close();
        QList<LabelInk> exported, printed;
        for (const QString& scale : {QStringLiteral("1"), QStringLiteral("1.5")}) {
            const QString folder = m_session.fx->dir.filePath(QStringLiteral("scale-") + scale);
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(testsupport::runSelf({{QStringLiteral("NEMU_SCALED_OUTPUT"), folder},
                                          {QStringLiteral("QT_SCALE_FACTOR"), scale},
                                          {QStringLiteral("FONTCONFIG_FILE"), hinted.fileName()}}));
            const QImage bitmap(folder + QStringLiteral("/export.bmp"));
            const QImage sheet = rasterPage(folder + QStringLiteral("/print.pdf"), 1);
            QVERIFY(!bitmap.isNull() && !sheet.isNull());
            exported.append(labelInk(bitmap));
            printed.append(labelInk(sheet));
        }
        QVERIFY(!exported[0].text.isEmpty() && !printed[0].text.isEmpty());
        QCOMPARE(exported[1].box, exported[0].box);
        QCOMPARE(exported[1].text, exported[0].text);
        QCOMPARE(printed[1].box, printed[0].box);
        QCOMPARE(printed[1].text, printed[0].text);
    }

    // The status bar names the paper a print went on, also where the
    // frames stay as they were. A tiled print leaves the printer at its last
    // tile; a new drawing's printer set-up and its fitted print start from
    // the sheet's corner again, so the picture lands on the paper.
    void fittedPrintInANewDrawingAfterATiledPrint()
    {
        frmEdit& stored = openWith(QSize(1077, 1570));  // four pages
        QCOMPARE(stored.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A4"));  // named though no dialog named it
        print(dialog(1));
        QCOMPARE(sheets().size(), size_t(4));
        QCOMPARE(stored.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A4"));
        platform::Instance<dlgPrinter>::get().unload();
        stored.booDrawChange = stored.booPrtChange = false;
        Fixture::closeEditor();
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        e.subPictDraw(writePicture(m_session.fx->dir.path(), QStringLiteral("new.bmp"), QSize(1920, 960)));
        QFile::remove(m_pdf);
        print(dialog(0));
        QCOMPARE(sheets().size(), size_t(1));
        const double red = redWidth(rasterPage(m_pdf, 1));
        QVERIFY2(qAbs(red - 254 * PW / 508) < 0.5, qPrintable(QString::number(red)));
        e.booDrawChange = false;
    }

    // A label across a sheet join prints its part of the text on each
    // sheet as well as its box: across the vertical join of sheets 1 and 3,
    // and across the horizontal one of sheets 1 and 2.
    void labelAcrossAJoinPrintsOnBothSheets()
    {
        frmEdit& e = openWith(QSize(1077, 1570));  // four pages
        const double pw = GE_tpPrinter.sngScaleWidth, ph = GE_tpPrinter.sngScaleHeight;
        const QRectF boxes[] = {QRectF(pw - 20, 100, 40, 14), QRectF(50, ph - 5, 60, 14)};
        e.lblKyori.Load(1);
        e.lblKyori.Load(2);
        for (int i = 0; i < 2; ++i) {
            platform::LabelElement& label = e.lblKyori(i);
            label.Move(float(boxes[i].left()), float(boxes[i].top()));
            label.setWidth(float(boxes[i].width()));
            label.setHeight(float(boxes[i].height()));
            label.FontSize = 28, label.Caption = QStringLiteral("8888888888"), label.ForeColor = 0;
            label.BackStyle = 1, label.BackColor = 0xFFFFFF, label.BorderStyle = 0, label.Visible = true;
        }
        print(dialog(1, false));
        QCOMPARE(sheets().size(), size_t(4));
        const QPointF corners[] = {{0, 0}, {0, ph}, {pw, 0}, {pw, ph}};
        const int sheetsOf[2][2] = {{1, 3}, {1, 2}};
        for (int i = 0; i < 2; ++i)
            for (const int n : sheetsOf[i]) {
                const QImage page = rasterPage(m_pdf, n);
                const QRectF tile(corners[n - 1], QSizeF(pw, ph));
                // The box's part on the sheet, a millimetre in from its edges.
                const QRectF part = boxes[i].intersected(tile).adjusted(1, 1, -1, -1).translated(
                    QPointF(10, 10) - tile.topLeft());
                int ink = 0;
                for (int y = qRound(part.top() * PxPerMm); y < qRound(part.bottom() * PxPerMm); ++y)
                    for (int x = qRound(part.left() * PxPerMm); x < qRound(part.right() * PxPerMm); ++x)
                        ink += qGray(page.pixel(x, y)) < 128;
                QVERIFY2(ink > 100, qPrintable(QStringLiteral("label %1, sheet %2: %3").arg(i).arg(n).arg(ink)));
            }
    }

    // Hatching from the area's cache file at the zoom; an area without a
    // record is passed by, not an error, and the last area prints its own.
    void hatchingPrintsItsSegments()
    {
        frmEdit& e = openWith(QSize(1920, 960));
        GE_strTempPath = m_session.fx->dir.path();
        e.mnuDispEandR_Click(0);  // 200 %
        e.lblMensekiS.Load(1);
        e.lblMensekiS.Load(2);
        e.lblMensekiS(0).Tag = QStringLiteral("M_200101010101");
        e.lblMensekiS(1).Tag = QStringLiteral("M_200101010102");
        typHatching record;
        record.iStyle = 1, record.iUbound = 1, record.BorderWidth = 2, record.BorderColor = 0x00FF00;
        record.DrawMode = platform::vbCopyPen;
        mdlFileAccess::subPut_Bin(e.lblMensekiS(0).Tag, record, {{10, 20, 10, 10}, {10, 20, 30, 30}});
        GE_tpHatching = {record};
        print(dialog(0, false));
        const auto segments = ofKind(sheets()[0], DrawCommand::Segment);
        QCOMPARE(segments.size(), size_t(2));
        QCOMPARE(segments[1].color, 0x00FF00);
        const double f = PW / 1016;  // the map at 200 %
        QCOMPARE(qRound(segments[1].p2.y() / PxPerMm * 100), qRound(30 * 2 * f * 100));
        record.BorderColor = 0xFF0000;
        mdlFileAccess::subPut_Bin(e.lblMensekiS(1).Tag, record, {{40, 50, 10, 10}, {40, 50, 30, 30}});
        GE_tpHatching.append(record);
        print(dialog(0, false));
        const auto both = ofKind(sheets()[0], DrawCommand::Segment);
        QCOMPARE(both.size(), size_t(4));
        QCOMPARE(both[3].color, 0xFF0000);
        GE_tpHatching.clear();
        GE_strTempPath.clear();
    }

    // On a 1200 dpi sheet a hatch pattern keeps its screen spacing (8 pixels,
    // 2.12 mm) and a wide pen its screen thickness: a shape's border of 5
    // (1.32 mm), a leader line of 3 (0.79 mm) and an area's hatching of 2
    // (0.53 mm, its lines 5 mm apart as drawn), each within a device pixel.
    void hatchingAndWidePensKeepTheirScreenSize()
    {
        platform::Printers::clearTestPrinters();
        frmEdit& e = openWith(QSize(400, 400));  // 105.8 mm square: one sheet
        GE_strTempPath = m_session.fx->dir.path();
        e.shpShape.Load(1);
        platform::ShapeElement& box = e.shpShape(0);
        box.Move(10, 10, 60, 40);
        box.Shape = 0, box.BorderWidth = 5, box.BorderColor = 0, box.BackStyle = 1, box.BackColor = 0x00FFFF;
        box.FillStyle = 4, box.FillColor = 0xFF0000, box.Visible = true;  // falling diagonals in blue on yellow
        platform::LineElement& leader = line(e, 10, 65, 70, 65);
        leader.BorderWidth = 3, leader.BorderColor = 0;
        e.lblMensekiS.Load(1);
        e.lblMensekiS(0).Tag = QStringLiteral("M_200101010101");
        e.lblMensekiS(0).Visible = false;
        typHatching record;
        record.iStyle = 1, record.iUbound = 2, record.BorderWidth = 2, record.BorderColor = 0x0000FF;
        record.DrawMode = platform::vbCopyPen;
        mdlFileAccess::subPut_Bin(e.lblMensekiS(0).Tag, record, {{10, 70, 80, 80}, {10, 70, 85, 85}, {10, 70, 90, 90}});
        GE_tpHatching = {record};
        const QString chosen = m_session.fx->dir.filePath(QStringLiteral("hatch.pdf"));
        print(dialog(1, false), toPdf(chosen, asOpened));
        GE_tpHatching.clear();
        GE_strTempPath.clear();
        QCOMPARE(CurrentPrinter().dpiX(), 1200.0);
        constexpr double px = 1200 / 25.4;  // device pixels to the millimetre
        constexpr double screenPixel = 1200 / 96.0;
        // The printable area's corner on the sheet.
        const double margin = (CurrentPrinter().Width() / 56.7 - GE_tpPrinter.sngScaleWidth) / 2;
        const QPoint corner(qRound(margin * px), qRound(margin * px));
        const QRect crop(corner + QPoint(qRound(5 * px), qRound(5 * px)), QSize(qRound(70 * px), qRound(90 * px)));
        const QImage sheet = testsupport::pdfRaster(chosen, 1200, crop);
        QVERIFY(!sheet.isNull());
        const auto at = [&](double x, double y) { return QPoint(qRound((x - 5) * px), qRound((y - 5) * px)); };
        const auto within = [](double measured, double expected) { return qAbs(measured - expected) <= 1; };
        const auto blue = [](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; };
        const auto red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
        QString seen;

        // Across the box 20 mm down: the border, then the hatch lines.
        const auto border = runs(sheet, at(5, 30), QPoint(1, 0), dark);
        QVERIFY(!border.empty());
        seen += QStringLiteral("border %1 px; ").arg(border[0].length);
        QVERIFY2(within(border[0].length, 5 * screenPixel), qPrintable(seen));
        const auto hatch = runs(sheet, at(15, 30), QPoint(1, 0), blue);
        QVERIFY2(hatch.size() >= 15, qPrintable(QString::number(hatch.size())));
        for (size_t i = 2; i + 1 < hatch.size(); ++i) {
            seen += QStringLiteral("%1 ").arg(hatch[i].start - hatch[i - 1].start);
            QVERIFY2(within(hatch[i].start - hatch[i - 1].start, 8 * screenPixel), qPrintable(seen));
        }
        // Down through the leader line and the area's hatching.
        const auto leaderRun = runs(sheet, at(40, 55), QPoint(0, 1), dark);
        QCOMPARE(leaderRun.size(), size_t(1));
        QVERIFY2(within(leaderRun[0].length, 3 * screenPixel), qPrintable(QString::number(leaderRun[0].length)));
        const auto area = runs(sheet, at(40, 75), QPoint(0, 1), red);
        QCOMPARE(area.size(), size_t(3));
        for (size_t i = 0; i < 3; ++i) {
            QVERIFY2(within(area[i].length, 2 * screenPixel), qPrintable(QString::number(area[i].length)));
            if (i > 0)
                QVERIFY(within(area[i].start - area[i - 1].start, 5 * px));
        }
    }

    // The printer chosen in the print dialog is saved with the drawing and
    // the dialog opens there again; a user-defined paper survives too. A
    // queue's default paper that the dialog puts on the device by itself
    // changes nothing; the user's own pick of it does.
    void settingsTravelWithTheDrawing_data()
    {
        QTest::addColumn<QPageSize>("paper");
        QTest::addColumn<int>("code");
        QTest::newRow("A3") << QPageSize(QPageSize::A3) << 8;
        QTest::newRow("user") << QPageSize(QSizeF(200, 300), QPageSize::Millimeter, QString(), QPageSize::ExactMatch)
                              << 256;
    }

    void settingsTravelWithTheDrawing()
    {
        QFETCH(QPageSize, paper);
        QFETCH(int, code);
        frmEdit& e = openWith(QSize(1920, 960));
        auto& ui = *m_session.quiet;
        print(dialog(0), [paper](QPrinter& device, QString& name) {
            name = QStringLiteral("plotter-a");
            device.setPageSize(paper);
            device.setPageOrientation(QPageLayout::Landscape);
        });
        QVERIFY(e.booPrtChange);
        platform::Instance<dlgPrinter>::get().unload();
        ui->answerMsgBox(vb::vbYes);
        e.mnuFileSavePrj_Click();
        typPrinter row;
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(GE_tpPrint.Print_Id, row), qint16(0));
        QCOMPARE(row.strDeviceName, QStringLiteral("Plotter-A"));
        QVERIFY(row.intPaperSize == code && row.intOrientation == 2 && row.intScaleMode == 6);
        if (code == 8) {
            // The printable area in the device's whole pixels (about 400 x 277 mm).
            QCOMPARE(QSize(qRound(row.sngScaleWidth * PxPerMm), qRound(row.sngScaleHeight * PxPerMm)),
                     QSize(4729, 3274));
            QCOMPARE(row.sngWidth, 23811.02f);
            QCOMPARE(row.sngHeight, 16837.7949f);
        }

        e.booDrawChange = e.booPrtChange = false;
        Fixture::closeEditor();
        GE_tpPrinter = typPrinter{};
        CurrentPrinter().select(QStringLiteral("Plotter-A"));  // back to A4 portrait
        frmEdit& reopened = Fixture::open();
        const int boxes = ui->count();
        QSizeF opened;
        QPageLayout::Orientation orientation{};
        const QPageSize queueDefault(QPageSize::A4);
        const auto look = [&](QPrinter& device, QString& name) {
            QCOMPARE(name, QStringLiteral("Plotter-A"));
            opened = device.pageLayout().pageSize().size(QPageSize::Millimeter);
            orientation = device.pageLayout().orientation();
        };
        print(dialog(0), look, queueDefault);
        QVERIFY2(ui->count() == boxes, qPrintable(ui->last().prompt));  // no paper box
        QCOMPARE(opened.toSize(), paper.size(QPageSize::Millimeter).toSize());
        QCOMPARE(orientation, QPageLayout::Landscape);
        QCOMPARE(CurrentPrinter().PaperSize(), code);
        QVERIFY(!reopened.booPrtChange);
        print(dialog(0), [&](QPrinter& device, QString&) { device.setPageSize(queueDefault); }, queueDefault);
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(9));
        QVERIFY(reopened.booPrtChange);
    }

    // The user's way with no print queue: Qt's print dialog leaves its
    // device set to a PDF file, and that file is what prints, on the paper
    // chosen, titled with the drawing's name, at the print's scale.
    void printToThePdfFileChosenInTheDialog_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("sheets");  // pdfinfo's lines
        QTest::newRow("fitted") << 0 << int(QPageSize::A4) << QStringLiteral("Pages:\\s+1\\n.*595 x 842 pts");
        QTest::newRow("tiled") << 1 << int(QPageSize::A3) << QStringLiteral("Pages:\\s+2\\n.*1191 x 842 pts");
    }

    void printToThePdfFileChosenInTheDialog()
    {
        QFETCH(int, method);
        QFETCH(int, paper);
        QFETCH(QString, sheets);
        platform::Printers::clearTestPrinters();
        frmEdit& e = openWith(QSize(1920, 960));  // 508 x 254 mm
        line(e, 50, 50, 150, 50).BorderColor = 0;  // black over the picture
        const QString chosen = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        dlgPrinter& d = dialog(method);
        const auto orientation = method == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
        print(d, toPdf(chosen, pick(QPageSize::PageSizeId(paper), orientation)));
        QCOMPARE((*m_session.quiet)->last().kind, QStringLiteral("Printer"));
        const QString info = pdfinfo(chosen);
        for (const QString& pattern : {sheets, QStringLiteral("Title:\\s+試験図面\\n")})
            QVERIFY2(info.contains(QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)),
                     qPrintable(info));
        // The 1200 dpi sheet takes the picture with its own pixels: whole
        // when fitted, one tile's columns on each tiled sheet.
        QCOMPARE(CurrentPrinter().dpiX(), 1200.0);
        const QList<QSize> images = testsupport::pdfImageSizes(chosen);
        QCOMPARE(images.size(), method == 1 ? 2 : 1);
        int columns = 0;
        for (const QSize& image : images) {
            QCOMPARE(image.height(), 960);
            columns += image.width();
        }
        QVERIFY2(columns == 1920 || (method == 1 && columns == 1921), qPrintable(QString::number(columns)));
        // The 100 mm line and the picture's 254 mm red half: at the
        // displayed scale on a tile, fitted to the printable width otherwise.
        const double scale = method == 1 ? 1 : GE_tpPrinter.sngScaleWidth / 508;
        const QImage sheet = rasterPage(chosen, 1);
        for (const auto& [measured, expected] : {std::pair(inkWidth(sheet), 100 * scale),
                                                 std::pair(redWidth(sheet), 254 * scale)})
            QVERIFY2(qAbs(measured - expected) < 0.5,
                     qPrintable(QStringLiteral("%1 mm, not %2").arg(measured).arg(expected)));

        // Neither a file nor a print queue: said so, nothing printed.
        if (platform::Printers::names().isEmpty()) {
            QFile::remove(chosen);
            print(d);
            QCOMPARE((*m_session.quiet)->last().prompt,
                     QStringLiteral("印刷できるプリンタがありません。\r\n"
                                    "印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定してください。"));
            QVERIFY(!QFile::exists(chosen));
        }
    }

    // Fitted on Qt's own A4 as the dialog hands it back (595 pt, a little
    // under 210 mm): the picture keeps every column, whole, and ends where
    // the lines end.
    void fittedA4HoldsEveryColumn()
    {
        platform::Printers::clearTestPrinters();
        frmEdit& e = openWith(QSize(4000, 200));
        const float middle = float(e.pictMap->ScaleHeight() / 2);
        platform::LineElement& across = line(e, 0, middle, float(e.pictMap->ScaleWidth()), middle);
        across.BorderColor = 0;
        across.BorderWidth = 1;
        const QString chosen = m_session.fx->dir.filePath(QStringLiteral("fitted.pdf"));
        print(dialog(0), toPdf(chosen, [](QPrinter& p, QString&) { p.setPageSize(QPageSize(QPageSize::A4)); }));
        QCOMPARE(testsupport::pdfImageSizes(chosen), QList<QSize>{QSize(4000, 200)});
        // Near the sheet's right edge at 1200 dpi: the last green pixel a
        // little above the line, and the line's last pixel.
        const QImage edge = testsupport::pdfRaster(chosen, 1200, QRect(9400, 0, 517, 900));
        QVERIFY(!edge.isNull());
        int lineRow = -1, lineEnd = -1;
        for (int y = 0; y < edge.height(); ++y)
            for (int x = 0; x < edge.width(); ++x)
                if (dark(edge.pixelColor(x, y)) && x > lineEnd)
                    lineRow = y, lineEnd = x;
        QVERIFY(lineRow > 40);
        int greenEnd = -1;
        for (int x = 0; x < edge.width(); ++x)
            if (const QColor c = edge.pixelColor(x, lineRow - 40); c.green() > 200 && c.red() < 60)
                greenEnd = x;
        QVERIFY2(qAbs(greenEnd - lineEnd) <= 1, qPrintable(QStringLiteral("%1 %2").arg(greenEnd).arg(lineEnd)));
    }

    // A print that fails part-way, in either method, ends its document
    // unprinted: the PDF of the print before stays, and one box tells.
    void failedPrintLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("sheetsBefore");  // sheets drawn whole before the failure
        QTest::addColumn<int>("call");          // the drawing call of the next sheet that fails
        QTest::addColumn<QString>("where");     // the procedure the box names
        QTest::newRow("fitted") << 0 << 0 << 2 << QStringLiteral("cmdPrint_Click");
        QTest::newRow("tiled") << 1 << 1 << 1 << QStringLiteral("subPrintS");
    }

    void failedPrintLeavesTheOldFile()
    {
        QFETCH(int, method);
        QFETCH(int, sheetsBefore);
        QFETCH(int, call);
        QFETCH(QString, where);
        frmEdit& e = openWith(QSize(1920, 960));
        line(e, 50, 50, 150, 50);
        dlgPrinter& d = dialog(method);
        print(d);
        const QByteArray before = testsupport::fileBytes(m_pdf);
        QVERIFY(before.startsWith("%PDF"));
        const qsizetype perSheet = qsizetype(sheets()[0].size());
        qsizetype calls = 0;
        CurrentPrinter().beforeDraw = [&calls, failAt = perSheet * sheetsBefore + call] {
            if (++calls == failAt)
                vb::raise(vb::errOverflow);
        };
        const int boxes = (*m_session.quiet)->count();
        print(d);
        QVERIFY(testsupport::fileBytes(m_pdf) == before);
        QVERIFY(!CurrentPrinter().documentOpen());
        QCOMPARE((*m_session.quiet)->count(), boxes + 1);
        QCOMPARE((*m_session.quiet)->last().title, QStringLiteral("ｴﾗｰ"));
        QVERIFY((*m_session.quiet)->last().prompt.startsWith(
            QStringLiteral("dlgPrinter:%1():ｴﾗｰ番号 6 ｴﾗｰが発生しました。").arg(where)));
    }

    // Without the system's /proc (some containers and chroots) no print can
    // be written, to a queue or to a PDF file: the box says why, and the
    // file printed before stays. Tried in a child with /proc covered (it
    // reaches no print scheduler: the printer thread stays the parent's).
    void printWithoutProcSaysWhy()
    {
        frmEdit& e = openWith(QSize(400, 300));
        line(e, 50, 50, 150, 50);
        dlgPrinter& d = dialog(0);
        const QString chosen = m_session.fx->dir.filePath(QStringLiteral("chosen.pdf"));
        print(d, toPdf(chosen, asOpened));
        const QByteArray before = testsupport::fileBytes(chosen);
        const int result = testsupport::inChild([&] {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
                return 3;
            print(d, toPdf(chosen, asOpened));
            const bool told = (*m_session.quiet)->last().prompt
                              == QStringLiteral("dlgPrinter:cmdPrint_Click():ｴﾗｰ番号 482 ｴﾗｰが発生しました。\r\n"
                                                "このシステムでは /proc がマウントされていないため、印刷するファイルを受け渡せません。"
                                                "印刷するには、システムの管理者に /proc をマウントするよう依頼してください。");
            return told && testsupport::fileBytes(chosen) == before ? 0 : 1;
        });
        if (result == 3)
            QSKIP("no mount namespace of its own here");
        QCOMPARE(result, 0);
        QVERIFY(before.startsWith("%PDF"));
    }

    // A stored stretch beyond any calibration's range prints as the map
    // shows it, at the range's end. The map fits the 190 x 277 mm page by
    // its width or, stretched far, by its height.
    void fittedPrintWithoutPictureOrWithAspect_data()
    {
        QTest::addColumn<float>("stored");
        QTest::addColumn<double>("shown");
        QTest::addColumn<double>("f");
        QTest::newRow("1.5") << 1.5f << 1.5 << PW / 508;
        QTest::newRow("stored 2.5e6") << 2.5e6f << 10.0 << PH / 2540;
        QTest::newRow("stored NaN: none") << float(qQNaN()) << 1.0 << PW / 508;
    }

    void fittedPrintWithoutPictureOrWithAspect()
    {
        QFETCH(float, stored);
        QFETCH(double, shown);
        QFETCH(double, f);
        frmEdit& e = openWith(QSize(1920, 960));
        line(e, 50, 50, 150, 50);
        GE_sngPictAdj = stored;
        e.sZoom(1.0f);
        print(dialog(0));
        GE_sngPictAdj = 1.0f;
        const auto pictures = ofKind(sheets()[0], DrawCommand::Picture);
        QCOMPARE(pictures.size(), size_t(1));
        // The map is 508 x 254 mm stretched: the picture as it shows there.
        QCOMPARE(e.pictMap->ScaleHeight(), 254 * shown);
        QCOMPARE(qRound(pictures[0].rect.width() / PxPerMm * 10), qRound(508 * f * 10));
        QCOMPARE(qRound(pictures[0].rect.height() / PxPerMm * 10), qRound(254 * shown * f * 10));
        const auto segments = ofKind(sheets()[0], DrawCommand::Segment);
        QCOMPARE(qRound(segments[0].p1.x() / PxPerMm * 100), qRound(50 * f * 100));
    }

    // A drawing whose picture is missing still prints its objects to the
    // map's extent.
    void fittedPrintWithoutPicture()
    {
        m_session.fx->storeDrawing(QStringLiteral("P-2"), m_session.fx->dir.path(), QStringLiteral("gone.bmp"));
        (*m_session.quiet)->answerMsgBox(vb::vbNo);
        frmEdit& e = Fixture::open();
        QVERIFY(!e.pictMap->hasPicture());
        line(e, 50, 50, 150, 50);
        print(dialog(0));
        QCOMPARE(sheets().size(), size_t(1));
        QVERIFY(ofKind(sheets()[0], DrawCommand::Picture).empty());
        const double f = PrintLayout::fncFit_Factor(PW, PH, e.pictMap->ScaleWidth(), e.pictMap->ScaleHeight());
        QVERIFY(f > 0);
        const auto segments = ofKind(sheets()[0], DrawCommand::Segment);
        QCOMPARE(qRound(segments[0].p1.x() / PxPerMm * 100), qRound(50 * f * 100));
        QCOMPARE(qRound((segments[0].p2.x() - segments[0].p1.x()) / PxPerMm * 100), qRound(100 * f * 100));
    }

    // A queue that takes no jobs, or is stopped (paused, still taking jobs
    // that would wait there), is told by name as it is and nothing prints;
    // one the scheduler can't tell of (none running) prints.
    void refusingQueuePrintsNothing()
    {
        using platform::printqueue::State;
        openWith(QSize(400, 300));
        auto& ui = *m_session.quiet;
        std::optional<State> given;
        QString asked;
        platform::printqueue::setStateSource([&](const QString& queue) {
            asked = queue;
            return given;
        });
        for (const bool stopped : {false, true}) {
            given = State{stopped, stopped, QString()};
            ui->answerMsgBox(vb::vbOK);
            print(dialog(0));
            QCOMPARE(asked, QStringLiteral("Plotter-A"));
            QCOMPARE(ui->last().prompt, QStringLiteral("プリンタ「Plotter-A」は現在、%1。\r\n"
                                                       "プリンタの状態を確認してから、もう一度印刷してください。")
                                            .arg(stopped ? QStringLiteral("停止しています")
                                                         : QStringLiteral("印刷を受け付けていません")));
            QCOMPARE(ui->last().title, QStringLiteral("印刷"));
            QVERIFY(sheets().empty() && !QFile::exists(m_pdf));
        }
        given = std::nullopt;
        print(dialog(0));
        QVERIFY(QFile::exists(m_pdf));

        // A job the queue refuses once it was sent (it stopped taking jobs
        // in between) fails the print with the scheduler's words, in either
        // method; one it takes is no failure.
        given = State{};
        platform::printqueue::Status status{0x0506, QStringLiteral("Printer not accepting jobs.")};
        platform::printqueue::setSubmissionSource([&] { return status; });
        for (const auto& [method, where] : {std::pair(0, "cmdPrint_Click"), std::pair(1, "subPrintS")}) {
            const int boxes = ui->count();
            print(dialog(method));
            QCOMPARE(ui->count(), boxes + 1);
            QCOMPARE(ui->last().prompt,
                     QStringLiteral("dlgPrinter:%1():ｴﾗｰ番号 482 ｴﾗｰが発生しました。\r\n"
                                    "プリンタ「Plotter-A」が印刷を受け付けませんでした。（Printer not accepting jobs.）")
                         .arg(QLatin1String(where)));
            QVERIFY(!CurrentPrinter().documentOpen());
        }
        status = {0, QString()};
        const int boxes = ui->count();
        print(dialog(0));
        QCOMPARE(ui->count(), boxes);
        platform::printqueue::setSubmissionSource({});
        platform::printqueue::setStateSource({});
    }

    // The set-up opens on the open drawing's own paper, not on the last
    // dialog's, and confirmed as it opens changes nothing: in drawing B (A4
    // in its row) after A was printed on A3, and in B reopened after a
    // change to A3 was not kept at the close.
    void printerSetUpOpensOnTheDrawingsOwnPaper()
    {
        auto& ui = *m_session.quiet;
        Fixture& fx = *m_session.fx;
        writePicture(fx.dir.path(), QStringLiteral("map.bmp"), QSize(1920, 960));
        typPrinter a4;
        mdlPrinter::subGet_PrinterRec(a4, typDEVMODE{});
        a4.sngScaleWidth = 190, a4.sngScaleHeight = 277;  // the printable size as an earlier version kept it
        const qint32 b = fx.storeDrawing(QStringLiteral("P-2"), fx.dir.path(), QStringLiteral("map.bmp"));
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(b, a4), qint16(0));
        fx.storeDrawing(QStringLiteral("P-1"), fx.dir.path(), QStringLiteral("map.bmp"));
        frmEdit& first = Fixture::open();
        print(dialog(0, false), pick(QPageSize::A3, QPageLayout::Landscape));
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(8));
        platform::Instance<dlgPrinter>::get().unload();
        first.booDrawChange = first.booPrtChange = false;
        Fixture::closeEditor();
        QSizeF opened;
        const auto look = [&](QPrinter& device, QString&) {
            opened = device.pageLayout().fullRectPoints().size();
        };
        for (int round = 0; round < 2; ++round) {
            GE_tpPrint = typPrint{};
            GE_tpPrint.strNo = QStringLiteral("P-2");
            GE_tpPrint.Print_Id = b;
            frmEdit& e = Fixture::open();
            QCOMPARE(GE_tpPrinter.intPaperSize, qint16(9));
            ui->answerPrinter(look, QPageSize(QPageSize::A3));
            e.mnuSetPrinter_Click();
            QCOMPARE(opened.toSize(), QSize(595, 842));  // A4 portrait
            QVERIFY(GE_tpPrinter.intPaperSize == 9 && GE_tpPrinter.intOrientation == 1);
            QVERIFY(!e.booPrtChange);
            QCOMPARE(e.shpPrintWakuR(1).Width(), float(PW));
            ui->answerPrinter(pick(QPageSize::A3, QPageLayout::Landscape));
            e.mnuSetPrinter_Click();
            QVERIFY(e.booPrtChange);
            e.booDrawChange = false;
            ui->answerMsgBox(vb::vbNo);
            Fixture::closeEditor();
            QCOMPARE(ui->last().prompt, QStringLiteral("プリンタの設定を保存しますか？"));
        }
    }

    void printerSetUpRebuildsTheFramesAtTheZoom()
    {
        frmEdit& e = openWith(QSize(1920, 960));
        e.mnuDispEandR_Click(6);  // 50 %
        auto& ui = *m_session.quiet;
        // The driver's defaults: the question's answer, then the dialog's.
        const auto defaults = [&](int yesNo, auto... answer) {
            ui->answerMsgBox(yesNo);
            if constexpr (sizeof...(answer) > 0)
                ui->answerPrinter(answer...);
            e.mnuSetPrinterD_Click();
        };
        ui->answerPrinter(std::nullopt);
        e.mnuSetPrinter_Click();
        QVERIFY(!e.booPrtChange);
        ui->answerPrinter(pick(QPageSize::A3, QPageLayout::Landscape));
        e.mnuSetPrinter_Click();
        QVERIFY(e.booPrtChange);
        // A set-up cancelled afterwards undoes nothing: the change is still to be saved.
        ui->answerPrinter(std::nullopt);
        e.mnuSetPrinter_Click();
        QVERIFY(e.booPrtChange);
        // Confirmed as it opens on a queue whose default is A4: still A3.
        ui->answerPrinter(asOpened, QPageSize(QPageSize::A4));
        e.mnuSetPrinter_Click();
        QCOMPARE(GE_sngZoom, 0.5f);
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(8));
        QCOMPARE(e.shpPrintWakuR(1).Width(), GE_tpPrinter.sngScaleWidth);
        QVERIFY(!e.mnuDispEandR(6).Checked());

        // The driver's defaults: No changes nothing; an unknown system is told.
        e.booDrawChange = false;
        defaults(vb::vbNo);
        QVERIFY(!e.booDrawChange);
        const qint32 id = GE_lngPlatformId;
        GE_lngPlatformId = 3;
        defaults(vb::vbYes);
        GE_lngPlatformId = id;
        QCOMPARE(ui->last().prompt, QStringLiteral("OSが特定できない為、印刷設定を行うことが出来ません。"));
        QVERIFY(!e.booDrawChange);
        GE_lngPlatformId = 2;
        defaults(vb::vbYes, std::nullopt);
        QVERIFY(!e.booDrawChange);
        // Opened on the printer as it is: confirmed as it opens, it keeps
        // the paper and orientation.
        defaults(vb::vbYes, asOpened, QPageSize(QPageSize::A4));
        QVERIFY(GE_tpPrinter.intPaperSize == 8 && GE_tpPrinter.intOrientation == 2);
        e.booDrawChange = false;
        defaults(vb::vbYes, pick(QPageSize::A4, QPageLayout::Portrait));
        GE_lngPlatformId = id;
        QVERIFY(e.booDrawChange);
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(9));
        QCOMPARE(e.lblPageR.UBound(), 2);  // 254 x 127 mm at 50 %
    }
};

int main(int argc, char** argv)
{
    return testsupport::mainWithChild<TestPrinting>(argc, argv, "NEMU_SCALED_OUTPUT", runScaledOutputs);
}
#include "tst_printing.moc"
