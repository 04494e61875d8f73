// Saving and loading a drawing's objects through the editor: a drawing of
// every kind of object saved, committed, reopened and compared property by
// property; hidden elements, dense arrays and spares; the hatching records'
// pairing with the area labels; the printer settings; a save that fails part
// way and a database closed without keeping anything.

#include "tests/editor/editorfixture.h"
#include "tests/interaction/mapmouse.h"

#include "db/mdlSQL_objects.h"
#include "measure/hatchcache.h"
#include "measure/readouts.h"
#include "measure/resulttag.h"
#include "output/mdlPrinter.h"
#include "platform/printer.h"
#include "platform/vbruntime.h"

#include <QDir>
#include <QPainter>
#include <QPageSize>
#include <QtTest>

#include <array>
#include <climits>

using namespace editortest;
using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ScopedScriptedUi;
using platform::ShapeElement;
using Props = QVariantList;

namespace {

// What a stored single gives back: its 7 significant digits.
float single(float v) { return QString::number(double(v), 'g', 7).toFloat(); }

// Every stored property; texts trimmed as stored (font names are not).
Props props(const LabelElement& l)
{
    return {vb::Trim(l.Caption), vb::Trim(l.ToolTipText), vb::Trim(l.Tag), l.Alignment.get(), l.Appearance.get(),
            single(l.Left), single(l.Top), l.FontSize.get(), l.FontBold.get(), l.FontItalic.get(), l.FontName.get(),
            l.FontUnderline.get(), l.FontStrikethrough.get(), l.ForeColor.get(), l.BackColor.get(),
            l.BackStyle.get(), l.BorderStyle.get()};
}
Props props(const LineElement& l)
{
    return {vb::Trim(l.Tag), single(l.X1), single(l.Y1), single(l.X2), single(l.Y2), l.BorderColor.get(),
            l.BorderStyle.get(), l.BorderWidth.get(), l.DrawMode.get()};
}
Props props(const ShapeElement& s)
{
    return {vb::Trim(s.Tag), single(s.Left), single(s.Top), single(s.Width()), single(s.Height()),
            s.BackColor.get(), s.BackStyle.get(), s.BorderColor.get(), s.BorderStyle.get(), s.BorderWidth.get(),
            s.FillColor.get(), s.FillStyle.get(), s.Shape.get(), s.DrawMode.get()};
}

template <class T>
QList<Props> shown(const ElementArray<T>& a)
{
    QList<Props> out;
    for (int k = 0; k <= a.UBound(); ++k) {
        if (a.exists(k) && a(k).Visible)
            out << props(a(k));
    }
    return out;
}

using Snapshot = QList<QList<Props>>;
Snapshot snapshot(const frmEdit& e)
{
    return {shown(e.lblKyori),     shown(e.lblKeiroS),     shown(e.lblMensekiS),  shown(e.lblMoji),
            shown(e.lblKeiIdoS),   shown(e.lineHikidashi), shown(e.lineHojoSave), shown(e.lineDsSave),
            shown(e.linePS),       shown(e.shpShape),      shown(e.shpSnpo)};
}

// After a load: elements 0..n-1 shown, then the hidden spare where the array keeps one.
template <class T>
bool dense(const ElementArray<T>& a, int n, bool spare)
{
    for (int k = 0; k < n; ++k) {
        if (!a.exists(k) || !a(k).Visible)
            return false;
    }
    return spare ? a.UBound() == n && !a(n).Visible : a.UBound() == n - 1;
}

template <class T>
T& at(ElementArray<T>& a, int k, bool visible = true)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Visible = visible;
    return a(k);
}

// Each property its own value per seed, so that no two are mixed up unseen.
void fill(LabelElement& l, int s, const QString& caption, const QString& tag)
{
    l.Caption = caption;
    l.ToolTipText = QStringLiteral("注記 %1").arg(s);
    l.Tag = tag;
    l.Alignment = s % 3;
    l.Appearance = s % 2;
    l.Left = 10.5f + float(s) * 3.3f;
    l.Top = s == 10 ? 1.5e-7f : 20.25f + float(s) * 1.7f;
    l.FontSize = 9 + (s % 3) * 0.75;
    l.FontBold = s % 2 == 0;
    l.FontItalic = s % 3 == 0;
    l.FontName = s % 2 ? QStringLiteral(" ＭＳ ゴシック") : QStringLiteral("Arial");
    l.FontUnderline = s % 2 == 1;
    l.FontStrikethrough = s % 4 == 0;
    l.ForeColor = 0x0000FF + s;
    l.BackColor = 0xE1FFFF - s;
    l.BackStyle = s % 2;
    l.BorderStyle = (s + 1) % 2;
}

void fill(LineElement& l, int s, std::array<float, 4> ends, const QString& tag)
{
    l.X1 = ends[0];
    l.Y1 = ends[1];
    l.X2 = ends[2];
    l.Y2 = ends[3];
    l.Tag = tag;
    l.BorderColor = 0x00FF00 + s;
    l.BorderStyle = s % 7;
    l.BorderWidth = 1 + s % 3;
    l.DrawMode = s % 2 ? 7 : 13;
}

void fill(ShapeElement& e, int s, const QString& tag)
{
    e.Move(5.125f * float(s), 7.75f + float(s), 1.5f + float(s), 2.0f + float(s));
    e.Tag = tag;
    e.Shape = s % 6;
    e.BackColor = 0x101010 * (s % 8);
    e.BackStyle = s % 2;
    e.BorderColor = 0xFF0000 - s;
    e.BorderStyle = 1 + s % 5;
    e.BorderWidth = 1 + s % 4;
    e.FillColor = 0x00FFFF - s;
    e.FillStyle = s % 8;
    e.DrawMode = s % 2 ? 7 : 13;
}

typHatching hatching(qint16 style, qint16 pitch, qint16 tilt, qint32 color, const QString& key)
{
    typHatching h;
    h.iStyle = style;
    h.iPitch = pitch;
    h.iTilt = tilt;
    h.BorderColor = color;
    h.BorderStyle = 2;
    h.BorderWidth = 2;
    h.DrawMode = 7;
    h.Tag = key;
    return h;
}

const QString kArea1 = QStringLiteral("123:456.5_200102030405");
const QString kArea2 = QStringLiteral("020:77_200102030406");
const QString kRoute = QStringLiteral("021:30.25_200102030407");

// A drawing holding every kind of object, with hidden elements between
// visible ones, and its printer settings.
void fillDrawing(frmEdit& e)
{
    for (int i = 0; i < 2; ++i) {  // two distances and the spares
        const QString id = QStringLiteral("20010203010%1").arg(i);
        fill(at(e.lblKyori, i), i, QStringLiteral(" %1.25 m ").arg(i + 1), QStringLiteral("021:1.25_") + id);
        fill(at(e.lineDsSave, i), i, {1, 2.0f + float(i), 30, 123456789.0f}, id);
        for (int j = 2 * i; j <= 2 * i + 1; ++j) {
            fill(at(e.lineHojoSave, j), j, {float(j), 0, float(j), -15.5f}, QStringLiteral("h_") + id);
            fill(at(e.shpSnpo, j), j, id);
        }
    }
    // The markers sit centred on their dimension line's ends, where every
    // re-layout (the load's included) puts them.
    for (int j = 0; j <= 3; ++j) {
        const LineElement& d = e.lineDsSave(j / 2);
        ShapeElement& m = e.shpSnpo(j);
        m.Left = (j % 2 ? d.X2 : d.X1) - m.Width() / 2;
        m.Top = (j % 2 ? d.Y2 : d.Y1) - m.Height() / 2;
    }
    e.lblKyori(1).ToolTipText = QString();  // no column: must not come back as element 0's
    e.lblKyori(1).Tag = QString();
    at(e.lblKyori, 2, false), at(e.lineDsSave, 2, false), at(e.lineHojoSave, 4, false), at(e.shpSnpo, 4, false);

    fill(at(e.lblMensekiS, 0), 3, QStringLiteral("456.5 m2 "), kArea1);
    fill(at(e.lblMensekiS, 1, false), 4, QStringLiteral("hidden"), QStringLiteral("020:1_200102030499"));
    fill(at(e.lblMensekiS, 2), 5, QStringLiteral("77 m2"), kArea2);
    at(e.lblMensekiS, 3, false);
    fill(at(e.lblKeiroS, 0), 6, QStringLiteral("30.25 m"), kRoute);
    at(e.lblKeiroS, 1, false);
    const std::pair<QString, QList<std::array<float, 4>>> sides[] = {
        {kArea1, {{10, 10, 60, 10}, {60, 10, 35, 50}, {35, 50, 10, 10}}},
        {kArea2, {{100, 100, 140, 100}, {140, 100, 140, 140}, {140, 140, 100, 140}, {100, 140, 100, 100}}},
        {kRoute, {{0, 200, 20, 210}, {20, 210, 50, 205}}}};
    int k = 0;
    for (const auto& [tag, ends] : sides) {
        for (const auto& side : ends)
            fill(at(e.linePS, k), k, side, tag), ++k;
    }
    at(e.linePS, k, false);
    GE_tpHatching = {hatching(1, 3, 30, 0x0000FF, ResultTag::fncTag_Key(kArea1)),
                     hatching(3, 5, 60, 0x00FF00, QStringLiteral("200102030499")),
                     hatching(0, 6, 15, 0xFF00FF, ResultTag::fncTag_Key(kArea2)), typHatching()};

    fill(at(e.lblMoji, 0), 7, QStringLiteral("It's \"here\", 1,2"), QString());
    fill(at(e.lblMoji, 1, false), 8, QStringLiteral("hidden"), QString());
    fill(at(e.lblMoji, 2), 9, QStringLiteral("一行目\r\n二行目, 'かっこ'"), QStringLiteral("t'ag"));
    e.lblMoji(2).ToolTipText = QStringLiteral("a,b\r\nc'd");
    fill(at(e.lblKeiIdoS, 0), 10, QStringLiteral("135-00-00.0000 E"), QStringLiteral("486000,126000"));
    fill(at(e.lineHikidashi, 0), 11, {5, 5, 25.123456f, 35.987654f}, QString());
    fill(at(e.lineHikidashi, 1, false), 12, {1, 1, 2, 2}, QString());
    fill(at(e.lineHikidashi, 2), 13, {7, 8, 9, 10}, QStringLiteral("lead"));
    at(e.lineHikidashi, 3, false);
    fill(at(e.shpShape, 0), 14, QString());
    fill(at(e.shpShape, 1), 15, QStringLiteral("box"));
    at(e.shpShape, 2, false);

    GE_tpPrinter = typPrinter{};
    GE_tpPrinter.strDeviceName = QStringLiteral("  測量室プリンタ ");
    GE_tpPrinter.strFormName = QStringLiteral("A3");
    GE_tpPrinter.intPaperSize = 8;
    GE_tpPrinter.intOrientation = 2;
    GE_tpPrinter.intDuplex = 3;
    GE_tpPrinter.intZoom = 90;
    GE_tpPrinter.sngScaleWidth = 400.5f;
    GE_tpPrinter.sngScaleHeight = 277.25f;
    GE_tpPrinter.sngWidth = 23811;
}

// A label as the map paints it over a grey ground: the columns of its white
// box and of its text's ink, in device pixels.
struct Seen {
    int boxLeft = INT_MAX, boxRight = INT_MIN, inkLeft = INT_MAX, inkRight = INT_MIN;
    double inkMiddle() const { return (inkLeft + inkRight + 1) / 2.0; }
};
Seen seen(const LabelElement& label)
{
    const QRect area = label.deviceRect().toAlignedRect().adjusted(-8, -8, 8, 8);
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    label.paint(painter);
    painter.end();
    Seen s;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (grey == 255)
                s.boxLeft = std::min(s.boxLeft, area.x() + x), s.boxRight = std::max(s.boxRight, area.x() + x);
            else if (grey < 100)
                s.inkLeft = std::min(s.inkLeft, area.x() + x), s.inkRight = std::max(s.inkRight, area.x() + x);
        }
    }
    return s;
}

// The middle of a dimension line on the map, in device pixels.
double middleX(const frmEdit& e, const LineElement& line)
{
    return (e.pictMap->toDevice(line.X1, line.Y1).x() + e.pictMap->toDevice(line.X2, line.Y2).x()) / 2;
}

bool samePrinter(const typPrinter& a, const typPrinter& b)
{
    return a.strDeviceName == b.strDeviceName && a.strFormName == b.strFormName && a.strPort == b.strPort
        && a.intPaperSize == b.intPaperSize && a.intOrientation == b.intOrientation && a.intDuplex == b.intDuplex
        && a.intZoom == b.intZoom && a.sngScaleWidth == b.sngScaleWidth && a.sngWidth == b.sngWidth;
}

}  // namespace

class TestPersistence : public QObject {
    Q_OBJECT

    std::unique_ptr<ScopedScriptedUi> m_quiet;
    std::unique_ptr<Fixture> m_fx;
    QString m_db;
    qint32 m_id = 0;

    ScopedScriptedUi& ui() { return *m_quiet; }

    frmEdit& openDrawing(const QString& number)
    {
        GE_tpPrint = typPrint{};
        GE_tpPrint.strNo = number;
        GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(number);
        return Fixture::open();
    }

    static void closeEditorQuietly()
    {
        if (frmEdit* e = platform::Instance<frmEdit>::pointer())
            e->booDrawChange = e->booPrtChange = false;
        Fixture::closeEditor();
    }

    // Closes the editor and the database (keeping what was written on "はい"),
    // then reopens both on the stored drawing.
    frmEdit& reopen(int answer = vb::vbYes)
    {
        closeEditorQuietly();
        if (GE_booDbUpdate)
            ui()->answerMsgBox(answer);
        mdlDB::fncDbClose();
        if (mdlDB::fncDbOpen(m_db) != 0)
            qFatal("the database did not reopen");
        return openDrawing(QStringLiteral("P-1"));
    }

    void save(frmEdit& e)
    {
        ui()->answerMsgBox(vb::vbYes);
        e.mnuFileSavePrj_Click();
    }

    static int rows(const QString& table, qint32 id)
    {
        auto rs = GE_objConnection->openRecordset(
            QStringLiteral("SELECT COUNT(*) AS n FROM %1 WHERE Print_Id = %2").arg(table).arg(id));
        return rs[QStringLiteral("n")].toInt32();
    }

private slots:
    void init()
    {
        m_quiet = std::make_unique<ScopedScriptedUi>();
        m_fx = std::make_unique<Fixture>();
        QVERIFY(m_fx->openDatabase());
        m_db = m_fx->dir.filePath(QStringLiteral("test.mdb"));
        writePicture(m_fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        m_id = m_fx->storeDrawing(QStringLiteral("P-1"), m_fx->dir.path(), QStringLiteral("map.bmp"));
        QVERIFY(m_id > 0);
        GE_tpSystem.System_Id = CurrentSystemId;
        GE_strTempPath = m_fx->dir.filePath(QStringLiteral("TEMP"));
        QDir().mkpath(GE_strTempPath);
    }

    void cleanup()
    {
        closeEditorQuietly();
        Fixture::closeDatabase();
        m_fx.reset();
        QVERIFY2(ui()->unexpected.isEmpty(), qPrintable(ui()->unexpected.join(QLatin1Char('|'))));
        m_quiet.reset();
    }

    void everyObjectSurvivesSaveCommitAndReopen()
    {
        // Set not viewable in the library: a save over it keeps it so.
        GE_objConnection->execute(QStringLiteral("UPDATE tPrint SET booVisible = False WHERE Print_Id = %1").arg(m_id));
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        fillDrawing(e);
        const Snapshot before = snapshot(e);
        typPrinter printer = GE_tpPrinter;
        printer.strDeviceName = vb::Trim(printer.strDeviceName);
        e.booDrawChange = e.booPrtChange = true;
        save(e);
        QVERIFY(!e.booDrawChange && !e.booPrtChange);
        QCOMPARE(ui()->count(), 1);  // the question only

        frmEdit& r = reopen();
        QVERIFY(!GE_tpPrint.booVisible);
        QCOMPARE(snapshot(r), before);
        QVERIFY(dense(r.lblKyori, 2, true) && dense(r.lblMensekiS, 2, true) && dense(r.lblKeiroS, 1, true));
        QVERIFY(dense(r.lblMoji, 2, false) && dense(r.lblKeiIdoS, 1, false) && dense(r.lineHikidashi, 2, true));
        QVERIFY(dense(r.lineHojoSave, 4, true) && dense(r.lineDsSave, 2, true) && dense(r.linePS, 9, true));
        QVERIFY(dense(r.shpShape, 2, true) && dense(r.shpSnpo, 4, true));
        QCOMPARE(r.lblKyori(1).ToolTipText.get(), QString());
        QCOMPARE(r.lblMoji(1).Caption.get(), QStringLiteral("一行目\r\n二行目, 'かっこ'"));
        QVERIFY(samePrinter(GE_tpPrinter, printer));

        // Hatching: the shown areas' records in label order, then the spare.
        QCOMPARE(GE_tpHatching.size(), 3);
        const typHatching& h0 = GE_tpHatching[0];
        QCOMPARE(h0.Tag, ResultTag::fncTag_Key(kArea1));
        QVERIFY(h0.iStyle == 1 && h0.iPitch == 3 && h0.iTilt == 30 && h0.BorderColor == 0xFF);
        QVERIFY(h0.BorderStyle == 2 && h0.BorderWidth == 2 && h0.DrawMode == 7);
        QList<typHatchLine> segments;
        QVERIFY(mdlFileAccess::fncGet_Bin(kArea1, h0, segments));
        QVERIFY(!segments.isEmpty());
        QCOMPARE(segments.size(), h0.iUbound + 1);
        const typHatching& h1 = GE_tpHatching[1];
        QCOMPARE(h1.Tag, ResultTag::fncTag_Key(kArea2));
        QVERIFY(h1.iStyle == 0 && h1.BorderColor == 0xFF00FF);
        QVERIFY(!mdlFileAccess::fncGet_Bin(kArea2, h1, segments));
        QVERIFY(GE_tpHatching[2].Tag.isEmpty() && GE_tpHatching[2].iStyle == 0);
        QVERIFY(r.lineMenseki.UBound() == 0 && !r.lineMenseki(0).Visible);
    }

    // A distance label made on the map has the same box after a save and a
    // reopen: its text in the middle of the dimension line, with room on
    // both sides.
    void distanceLabelKeepsItsBoxThroughAReopen()
    {
        GE_strUnitDistance[2] = QStringLiteral("m ");  // as Init.ini names metres
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        e.subHojo_Start(e.lineHojo, 20, 30);
        e.subHojo_Layout(e.lineHojo, 20, 30, 80, 30, 15);
        e.lblDistance.Caption = measure::fncLength_Caption(60);
        e.lblDistance.Tag = ResultTag::fncMake_ResultTag(GE_intUnitDIndex, GE_intDPointD, 60, ResultTag::fncNew_ResultTag());
        e.subPut_DistanceObject();
        const Seen fresh = seen(e.lblKyori(0));
        const double middle = middleX(e, e.lineDsSave(0));
        QVERIFY2(qAbs(fresh.inkMiddle() - middle) <= 1, qPrintable(QString::number(fresh.inkMiddle() - middle)));
        QVERIFY(fresh.inkLeft - fresh.boxLeft >= 4 && fresh.boxRight - fresh.inkRight >= 4);
        e.booDrawChange = true;
        save(e);

        frmEdit& r = reopen();
        const Seen again = seen(r.lblKyori(0));
        QCOMPARE(again.boxLeft, fresh.boxLeft);
        QCOMPARE(again.boxRight, fresh.boxRight);
        QVERIFY2(qAbs(again.inkMiddle() - middle) <= 1, qPrintable(QString::number(again.inkMiddle() - middle)));
    }

    // A route label made after an area label it overlaps stays on top after
    // a reopen (the load makes routes before areas), and a position label
    // gets back the closing blank the file trims.
    void overlappingLabelsKeepTheirStackingThroughAReopen()
    {
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        fill(at(e.lblKeiroS, 0), 1, QStringLiteral("5 m "), QStringLiteral("021:5_200102030401"));
        fill(at(e.lblMensekiS, 0), 2, QStringLiteral("6 m2 "), QStringLiteral("020:6_200102030402"));
        fill(at(e.lblMensekiS, 1), 3, QStringLiteral("77.00 m2 "), QStringLiteral("020:77_200102030403"));
        fill(at(e.lblKeiroS, 1), 4, QStringLiteral("30.25 m "), QStringLiteral("021:30.25_200102030404"));
        e.lblKeiroS(1).Left = e.lblMensekiS(1).Left, e.lblKeiroS(1).Top = e.lblMensekiS(1).Top;
        fill(at(e.lblKeiIdoS, 0), 5, QStringLiteral("135-00-00.0000 E "), QStringLiteral("486000,126000"));
        const auto onTop = [](frmEdit& f) {
            const QRectF both = f.lblKeiroS(1).deviceRect() & f.lblMensekiS(1).deviceRect();
            return both.isEmpty() ? nullptr : f.pictMap->labelAt(both.center());
        };
        QCOMPARE(onTop(e), &e.lblKeiroS(1));
        e.booDrawChange = true;
        save(e);

        frmEdit& r = reopen();
        QCOMPARE(onTop(r), &r.lblKeiroS(1));
        QCOMPARE(r.lblKeiIdoS(0).Caption.get(), QStringLiteral("135-00-00.0000 E "));
    }

    // The first of two shapes deleted from its menu: the second, now first,
    // keeps every property of its own through a save and a reopen.
    void laterShapeKeepsItsOwnLookWhenAnEarlierOneGoes()
    {
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        fill(at(e.shpShape, 0), 1, QString());
        fill(at(e.shpShape, 1), 2, QString());
        at(e.shpShape, 2, false);
        const QList<Props> later{props(e.shpShape(1))};
        mapmouse::tool(e, 8);
        const QPointF c(e.shpShape(0).Left + e.shpShape(0).Width() / 2, e.shpShape(0).Top + e.shpShape(0).Height() / 2);
        platform::PopupScript popups;
        popups.choose(*e.popShapeClr);
        mapmouse::mouse(e, mapmouse::Press, float(c.x()), float(c.y()), Qt::RightButton);
        mapmouse::mouse(e, mapmouse::Release, float(c.x()), float(c.y()), Qt::RightButton);
        QVERIFY(popups.allUsed());
        QCOMPARE(shown(e.shpShape), later);
        save(e);
        QCOMPARE(shown(reopen().shpShape), later);
    }

    // Every area label gets exactly one record: a stored row where there is
    // one, the default where it is missing; a row naming no label is dropped.
    void hatchingRecordsPairWithTheAreaLabels()
    {
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        fillDrawing(e);
        save(e);
        mdlSQL::subSQL_HatchingDeleteAll(m_id);
        for (const qint16 index : {0, 7, -2})
            QCOMPARE(mdlSQL::fncSQL_InsertHatching(m_id, hatching(2, 4, 45, 1, QStringLiteral("x")), index), qint16(0));
        GE_tpHatching = QList<typHatching>(9, hatching(5, 1, 1, 1, QStringLiteral("stale")));
        reopen();
        QCOMPARE(GE_tpHatching.size(), 3);
        QCOMPARE(GE_tpHatching[0].iStyle, qint16(2));
        QCOMPARE(GE_tpHatching[0].Tag, ResultTag::fncTag_Key(kArea1));
        const typHatching& missing = GE_tpHatching[1];
        QCOMPARE(missing.Tag, ResultTag::fncTag_Key(kArea2));
        QVERIFY(missing.iStyle == 0 && missing.BorderColor == 65535 && missing.BorderWidth == 1);
        QVERIFY(missing.DrawMode == 13 && missing.iPitch == 4 && missing.iTilt == 45);
        QCOMPARE(GE_tpHatching[2].Tag, QString());

        // A drawing without areas inherits nothing.
        closeEditorQuietly();
        GE_tpHatching = QList<typHatching>(4, hatching(5, 1, 1, 1, QStringLiteral("stale")));
        QVERIFY(m_fx->storeDrawing(QStringLiteral("P-2"), m_fx->dir.path(), QStringLiteral("map.bmp")) > 0);
        Fixture::open();
        QCOMPARE(GE_tpHatching.size(), 1);
        QCOMPARE(GE_tpHatching[0].Tag, QString());
    }

    void savingWhileZoomedStoresUnzoomedValues()
    {
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        fillDrawing(e);
        const Snapshot before = snapshot(e);
        e.mnuDispEandR_Click(0);  // 200 %
        save(e);
        QCOMPARE(GE_sngZoom, 2.0f);
        QCOMPARE(snapshot(reopen()), before);
    }

    void closingWithNoKeepsNothing()
    {
        closeEditorQuietly();
        frmEdit& e = openDrawing(QStringLiteral("N-1"));
        fillDrawing(e);
        save(e);
        const qint32 id = GE_tpPrint.Print_Id;
        QVERIFY(id > 0);
        QCOMPARE(rows(QStringLiteral("tLabel"), id), 8);
        reopen(vb::vbNo);
        QCOMPARE(mdlSQL::fncSQL_GetPrintID(QStringLiteral("N-1")), 0);
        for (const char* table : {"tLabel", "tLine", "tShape", "tHatching", "tPrinter"})
            QCOMPARE(rows(QString::fromLatin1(table), id), 0);
    }

    // The number decides: a drawing held with id 0 updates the row its
    // number names, and its objects go under that row's id.
    void saveUpdatesTheRowItsNumberFinds()
    {
        closeEditorQuietly();
        GE_tpPrint = typPrint{};
        GE_tpPrint.strNo = QStringLiteral("P-1");
        GE_tpPrint.strName = QStringLiteral("改名");
        frmEdit& e = Fixture::open();
        fill(at(e.lblMoji, 0), 1, QStringLiteral("one"), QString());
        save(e);
        QCOMPARE(GE_tpPrint.Print_Id, m_id);
        auto rs = GE_objConnection->openRecordset(QStringLiteral("SELECT strName FROM tPrint WHERE strNo = 'P-1'"));
        QCOMPARE(rs[QStringLiteral("strName")].toString(), QStringLiteral("改名"));
        rs.moveNext();
        QVERIFY(rs.eof());
        QCOMPARE(rows(QStringLiteral("tLabel"), m_id), 1);
        QCOMPARE(rows(QStringLiteral("tPrinter"), m_id), 1);
    }

    void failedSaveLeavesThePreviousCopy_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("label delete") << "BEFORE DELETE ON tLabel";
        QTest::newRow("line delete") << "BEFORE DELETE ON tLine";
        QTest::newRow("line insert") << "BEFORE INSERT ON tLine";
        QTest::newRow("hatching insert") << "BEFORE INSERT ON tHatching";
        QTest::newRow("printer insert") << "BEFORE INSERT ON tPrinter";
    }

    void failedSaveLeavesThePreviousCopy()
    {
        QFETCH(QString, trigger);
        fillDrawing(openDrawing(QStringLiteral("P-1")));
        save(platform::Instance<frmEdit>::get());
        frmEdit& e = reopen();
        const Snapshot stored = snapshot(e);
        const typPrinter printer = GE_tpPrinter;

        e.lblMoji(0).Caption = QStringLiteral("changed");
        fill(at(e.lblMoji, 3), 3, QStringLiteral("new"), QString());
        e.lblKyori(0).Visible = false;
        GE_tpPrinter.intZoom = 50;
        e.booDrawChange = e.booPrtChange = true;
        GE_objConnection->execute(QStringLiteral("CREATE TRIGGER fail %1 BEGIN SELECT RAISE(ABORT, 'x'); END").arg(trigger));
        const int boxes = ui()->count();
        save(e);
        QVERIFY(e.booDrawChange && e.booPrtChange);
        QVERIFY(!GE_booDbUpdate);  // nothing is left written
        QCOMPARE(ui()->count(), boxes + 3);  // the question, the statement's failure, the save's
        QCOMPARE(ui()->last().title, QStringLiteral("オブジェクトの保存"));
        QCOMPARE(ui()->last().style, int(vb::vbExclamation));
        QCOMPARE(GE_tpPrint.Print_Id, m_id);

        GE_objConnection->execute(QStringLiteral("DROP TRIGGER fail"));
        closeEditorQuietly();  // read back inside the same transaction
        QCOMPARE(snapshot(openDrawing(QStringLiteral("P-1"))), stored);
        QVERIFY(samePrinter(GE_tpPrinter, printer));
        QCOMPARE(GE_tpHatching.size(), 3);
    }

    // A row that cannot be read costs only itself: the rows around it load,
    // the user is told once, and no save can delete what was not loaded.
    void damagedRowsCostOnlyThemselves_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("lost");  // the message's line
        QTest::addColumn<int>("unread");    // object rows not shown
        QTest::newRow("Null coordinate") << "UPDATE tLine SET Y1 = NULL WHERE strObjName = 'linePS' AND intIndex = 1"
                                         << "tLine : 1 行" << 1;
        QTest::newRow("text in a number") << "UPDATE tShape SET Width = 'wide' WHERE strObjName = 'shpSnpo' AND intIndex = 0"
                                          << "tShape : 1 行" << 1;
        // 2 rows stored and 32767 more: 32767 fit beside the spare.
        QTest::newRow("past the array's end")
            << "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 32768) "
               "INSERT INTO tLine (strObjName, Print_ID, intIndex, X1, Y1, X2, y2, BorderColor, BorderStyle, "
               "BorderWidth, DrawMode) SELECT 'lineHikidashi', %1, i, 0, 0, 1, 1, 0, 1, 1, 13 FROM n"
            << "tLine : 2 行" << 2;
        QTest::newRow("hatching") << "UPDATE tHatching SET iStyle = 'x' WHERE intIndex = 0" << "tHatching : 1 行" << 0;
    }
    void damagedRowsCostOnlyThemselves()
    {
        QFETCH(QString, damage);
        QFETCH(QString, lost);
        QFETCH(int, unread);
        fillDrawing(openDrawing(QStringLiteral("P-1")));
        save(platform::Instance<frmEdit>::get());
        closeEditorQuietly();
        GE_objConnection->execute(damage.arg(m_id));
        const QStringList tables{"tLabel", "tLine", "tShape", "tHatching", "tPrinter"};
        QList<int> stored;
        for (const QString& table : tables)
            stored << rows(table, m_id);

        const int boxes = ui()->count();
        frmEdit& e = openDrawing(QStringLiteral("P-1"));
        QCOMPARE(ui()->count(), boxes + 1);
        QCOMPARE(ui()->last().title, QStringLiteral("図面の読込"));
        QVERIFY(ui()->last().prompt.contains(QStringLiteral("\r\n") + lost + QStringLiteral("\r\n")));
        int shownObjects = 0;
        for (const QList<Props>& array : snapshot(e))
            shownObjects += int(array.size());
        QCOMPARE(shownObjects, stored[0] + stored[1] + stored[2] - unread);

        e.booDrawChange = true;
        save(e);
        QCOMPARE(ui()->last().title, QStringLiteral("保存不可"));
        QCOMPARE(ui()->last().style, int(vb::vbExclamation));
        for (int t = 0; t < tables.size(); ++t)
            QCOMPARE(rows(tables[t], m_id), stored[t]);
    }

    // A disk that fills during a save costs the whole transaction, with the
    // save made before it: told once and truly, without a second error box;
    // the objects stay marked unsaved and, with room again, are saved anew;
    // "いいえ" at the close leaves the file as it was opened.
    void saveThatLosesTheTransaction()
    {
        fillDrawing(openDrawing(QStringLiteral("P-1")));
        save(platform::Instance<frmEdit>::get());
        frmEdit& e = reopen();
        const Snapshot stored = snapshot(e);
        e.lblMoji(0).Caption = QStringLiteral("changed");
        save(e);
        const QString pages = GE_objConnection->openRecordset(QStringLiteral("PRAGMA page_count"))
                                  [QStringLiteral("page_count")].toString();
        GE_objConnection->execute(QStringLiteral("PRAGMA max_page_count = ") + pages);
        const QString device = GE_tpPrinter.strDeviceName;
        GE_tpPrinter.strDeviceName = QString(20000, QLatin1Char('x'));  // the save's last row
        const int boxes = ui()->count();
        save(e);
        QCOMPARE(ui()->count(), boxes + 3);  // the question, the loss, the save's failure
        QCOMPARE(ui()->boxes[boxes + 1].title, QStringLiteral("データベース書き込みエラー"));
        QVERIFY(ui()->last().prompt.contains(QStringLiteral("このファイルを開いてから保存した内容も")));
        QVERIFY(e.booDrawChange && !GE_booDbUpdate && GE_objConnection->inTransaction());

        GE_objConnection->execute(QStringLiteral("PRAGMA max_page_count = 1000000"));
        GE_tpPrinter.strDeviceName = device;
        save(e);
        QVERIFY(!e.booDrawChange && GE_booDbUpdate);
        QCOMPARE(snapshot(reopen(vb::vbNo)), stored);
    }

    void printerSettingsWithoutARowComeFromTheCurrentPrinter()
    {
        GE_tpPrinter = typPrinter{};
        GE_tpPrinter.strDeviceName = QStringLiteral("前の図面のプリンタ");
        GE_tpPrinter.intZoom = 33;
        openDrawing(QStringLiteral("P-1"));
        typPrinter current;
        mdlPrinter::subGet_PrinterRec(current);
        QVERIFY(samePrinter(GE_tpPrinter, current));
        QVERIFY(GE_tpPrinter.intZoom == 100 && GE_tpPrinter.intScaleMode == 6 && GE_tpPrinter.sngScaleWidth > 0);

        platform::TestPrinter a3;
        a3.name = QStringLiteral("Plotter-A");
        a3.papers = {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3)};
        platform::Printers::addTestPrinter(a3);
        auto& device = platform::CurrentPrinter();
        device.setPaperSize(8);
        device.setOrientation(2);
        device.setColorMode(1);
        typPrinter r;
        typDEVMODE blank;
        blank.dmFormName = QString(32, QChar(0));  // no dialog has named a form
        mdlPrinter::subGet_PrinterRec(r, blank);
        platform::Printers::clearTestPrinters();
        QVERIFY(r.intPaperSize == 8 && r.strFormName.isEmpty());
        QVERIFY(r.intOrientation == 2 && r.intColorMode == 1 && r.intScaleMode == 6);
        QCOMPARE(qRound(r.sngWidth), qRound(420 / 25.4 * 1440));  // twips, the sheet as it lies
        QCOMPARE(qRound(r.sngHeight), qRound(297 / 25.4 * 1440));
        QCOMPARE(qRound(r.sngScaleWidth), 400);  // millimetres inside the margins
        QCOMPARE(qRound(r.sngScaleHeight), 277);
        QCOMPARE(r.sngPaperWidth, r.sngWidth * 100);
    }
};

QTEST_MAIN(TestPersistence)
#include "tst_persistence.moc"
