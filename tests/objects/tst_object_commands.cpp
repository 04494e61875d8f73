// The object commands in an open editor: duplicating, deleting from the
// context menus, flipping a distance, moving an area, the input dialog and
// the numbering prompts, the label texts and the property-sheet hand-over.

#include "tests/editor/editorfixture.h"

#include "measure/hatchcache.h"
#include "objects/dlgInput.h"
#include "platform/vbruntime.h"
#include "properties/frmPropaty.h"

#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

using namespace editortest;
using platform::LabelElement;
using platform::LineElement;
using platform::ModalScript;

namespace {

const QString Area = QStringLiteral("240101090000");
const QString Route = QStringLiteral("240101093000");
const QDateTime Moment(QDate(2024, 5, 6), QTime(10, 15, 30));

LineElement& side(frmEdit& e, int k, float x1, float y1, float x2, float y2, const QString& key)
{
    if (!e.linePS.exists(k))
        e.linePS.Load(k);
    LineElement& l = e.linePS(k);
    l.X1 = x1, l.Y1 = y1, l.X2 = x2, l.Y2 = y2;
    l.Tag = QStringLiteral("_") + key;
    l.Visible = true;
    return l;
}

template <class T>
T& element(platform::ElementArray<T>& a, int k, const QString& tag, bool visible = true)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Tag = tag;
    a(k).Visible = visible;
    return a(k);
}

template <class T>
void spare(platform::ElementArray<T>& a)
{
    element(a, a.UBound() + 1, QString(), false);
}

// Distance k with extension lines from (x1, y) and (x2, y) `len` down.
void distance(frmEdit& e, int k, float x1, float x2, float y, float len, const QString& key)
{
    element(e.lblKyori, k, QStringLiteral("001:10_") + key).Caption = QStringLiteral("10 m ");
    LineElement& d = element(e.lineDsSave, k, key);
    d.X1 = x1, d.Y1 = y + len, d.X2 = x2, d.Y2 = y + len;
    for (int j : {2 * k, 2 * k + 1}) {
        LineElement& h = element(e.lineHojoSave, j, key);
        h.X1 = h.X2 = j == 2 * k ? x1 : x2;
        h.Y1 = y, h.Y2 = y + len;
        platform::ShapeElement& m = element(e.shpSnpo, j, key);
        m.Left = h.X2 - m.Width() / 2, m.Top = h.Y2 - m.Height() / 2;
    }
}

void distanceSpares(frmEdit& e)
{
    spare(e.lblKyori), spare(e.lineDsSave), spare(e.lineHojoSave), spare(e.shpSnpo);
}

// An outline's hatching record as the editor keeps it.
typHatching hatching(int style, int color, const QString& tag)
{
    typHatching h;
    h.iStyle = qint16(style), h.iPitch = 4, h.BorderColor = color, h.BorderWidth = 1, h.DrawMode = 13, h.Tag = tag;
    return h;
}

// Whether (x, y) lies on one of the visible sides.
bool onSides(const frmEdit& e, float x, float y)
{
    for (int k = 0; k < e.linePS.UBound(); ++k) {
        const LineElement& s = e.linePS(k);
        const QPointF a(s.X1, s.Y1), b(s.X2, s.Y2), p(x, y);
        const QPointF d = b - a;
        const double t = qBound(0.0, QPointF::dotProduct(p - a, d) / QPointF::dotProduct(d, d), 1.0);
        const QPointF off = p - (a + t * d);
        if (s.Visible && QPointF::dotProduct(off, off) < 1e-4)
            return true;
    }
    return false;
}

// The triangle area 0 of the duplicate case, with its record.
void triangle(frmEdit& e, int style)
{
    element(e.lblMensekiS, 0, QStringLiteral("202:600_") + Area).Caption = QStringLiteral("600 m2 ");
    spare(e.lblMensekiS);
    side(e, 0, 0, 0, 30, 0, Area);
    side(e, 1, 30, 0, 30, 40, Area);
    side(e, 2, 30, 40, 0, 0, Area);
    spare(e.linePS);
    typHatching h = hatching(style, 255, Area);
    h.iTilt = 30;
    GE_tpHatching = {h, typHatching()};
}

void answerDialog(ModalScript& script, const QString& text, bool ok)
{
    script.push([text, ok](platform::Form& f) {
        auto& d = static_cast<dlgInput&>(f);
        d.txtInput->setText(text);
        (ok ? d.OKButton : d.CancelButton)->button()->click();
    });
}

}  // namespace

class TestObjectCommands : public QObject {
    Q_OBJECT

    Session m_s;
    QTemporaryDir m_temp;

    frmEdit& openDrawing()
    {
        writePicture(m_s.fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        if (m_s.fx->storeDrawing(QStringLiteral("C-1"), m_s.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        frmEdit& e = Fixture::open();
        GE_strTempPath = m_temp.path();
        return e;
    }

private slots:
    void init()
    {
        QVERIFY(m_s.begin());
        GE_sngZoom = 1.0f;
        vb::SetClock(Moment);
    }

    void cleanup()
    {
        vb::SetClock(QDateTime());
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        m_s.end();
        GE_tpHatching.clear();
        GE_sngZoom = 1.0f;
        GE_booModeDis = true, GE_booModeKei = false;
        mdlFileAccess::subKill_Bin();
    }

    void duplicateHatchedArea()
    {
        frmEdit& e = openDrawing();
        triangle(e, 1);
        e.linePS(1).Tag = Area;  // a side may carry the bare key
        // Keys held by elements whose labels are gone (a damaged or imported
        // drawing): the clock's on a hidden lead-out line, the next second's
        // on a shape.
        element(e.lineHikidashi, 0, QStringLiteral("240506101530"), false);
        element(e.shpShape, 0, QStringLiteral("x_240506101532"), false);
        QVERIFY(e.fncMake_HatchBin(0) > 0);
        QList<typHatchLine> source;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], source));
        e.strPopObjName = QStringLiteral("lblMensekiS"), e.intPopIndex = 0;
        e.popEditDpp_Click();
        QVERIFY(e.booDrawChange);
        QCOMPARE(e.lblMensekiS(1).Tag, QStringLiteral("202:600_240506101531"));
        QVERIFY(e.lblMensekiS(1).Visible);
        QCOMPARE(e.lblMensekiS(1).Left.get(), 5.0f);
        QCOMPARE(e.lblMensekiS.UBound(), 2);
        QCOMPARE(e.linePS.UBound(), 6);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(e.linePS(k + 3).X1.get(), e.linePS(k).X1 + 5);
            QCOMPARE(e.linePS(k + 3).Y2.get(), e.linePS(k).Y2 + 5);
            QCOMPARE(e.linePS(k + 3).Tag, QString(k == 1 ? "240506101531" : "_240506101531"));
        }
        QVERIFY(!e.linePS(6).Visible);
        QCOMPARE(GE_tpHatching.size(), 3);
        QCOMPARE(GE_tpHatching[1].iStyle, qint16(1));
        QCOMPARE(GE_tpHatching[1].iTilt, qint16(30));
        QCOMPARE(GE_tpHatching[1].Tag, QStringLiteral("240506101531"));
        QCOMPARE(GE_tpHatching[2].iStyle, qint16(0));
        QList<typHatchLine> copy;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(1).Tag, GE_tpHatching[1], copy));
        QCOMPARE(copy.size(), source.size());
        for (qsizetype k = 0; k < copy.size(); ++k) {
            for (float v : {copy[k].X1 - source[k].X1, copy[k].Y1 - source[k].Y1, copy[k].X2 - source[k].X2,
                            copy[k].Y2 - source[k].Y2})
                QVERIFY(qAbs(v - 5) < 1e-4);
        }
        // Within the same second the next copy still gets a key of its own,
        // past the one held.
        e.popEditDpp_Click();
        QCOMPARE(e.lblMensekiS(2).Tag, QStringLiteral("202:600_240506101533"));
    }

    void duplicateLabels()
    {
        frmEdit& e = openDrawing();
        for (int k = 0; k < 5; ++k) {
            LabelElement& l = element(e.lblMoji, k, QString());
            l.Caption = QStringLiteral("文字%1").arg(k);
            l.FontSize = 18;
        }
        e.lblMoji(2).ToolTipText = QStringLiteral("コメント");
        e.lblMoji(2).Left = 10, e.lblMoji(2).Top = 20;
        e.strSelObjName = QStringLiteral("lblMoji"), e.intPopIndex = 2;
        GE_sngZoom = 2.0f;  // the shown size is already the zoomed one
        e.popMojiDpp_Click();
        QCOMPARE(e.lblMoji.UBound(), 5);
        QCOMPARE(e.lblMoji(5).Caption.get(), QStringLiteral("文字2"));
        QCOMPARE(e.lblMoji(5).ToolTipText.get(), QString());
        QCOMPARE(e.lblMoji(5).FontSize.get(), 18.0);
        QCOMPARE(e.lblMoji(5).Tag, QStringLiteral("240506101530"));
        QVERIFY(e.lblMoji(5).Visible);

        GE_sngZoom = 1.0f;
        GE_booModeDis = true, GE_booModeKei = false;
        LabelElement& p = element(e.lblKeiIdoS, 0, QStringLiteral("10,20"));
        p.Left = 10, p.Top = 20, p.ToolTipText = QStringLiteral("X:10.0000,Y:20.0000");
        e.strSelObjName = QStringLiteral("lblKeiIdoS"), e.intPopIndex = 0;
        e.popMojiDpp_Click();
        QCOMPARE(e.lblKeiIdoS(1).Tag, QStringLiteral("15,25"));
        QCOMPARE(e.lblKeiIdoS(1).ToolTipText.get(), QStringLiteral("X:15.0000,Y:25.0000"));
    }

    // A lead-out line and a shape, copied from their menus: the new bare key
    // and their source's look and size.
    void duplicateLineAndShape()
    {
        frmEdit& e = openDrawing();
        LineElement& line = element(e.lineHikidashi, 0, QString());
        line.X1 = 10, line.Y1 = 20, line.X2 = 40, line.Y2 = 25;
        line.BorderStyle = 3, line.BorderWidth = 2, line.BorderColor = 0x00FF00, line.DrawMode = 7;
        spare(e.lineHikidashi);
        platform::ShapeElement& shape = element(e.shpShape, 0, QString());
        shape.Left = 50, shape.Top = 60, shape.Shape = 2, shape.BorderStyle = 2, shape.FillStyle = 4;
        shape.setWidth(30), shape.setHeight(12);
        spare(e.shpShape);
        e.intPopIndex = 0;
        e.popHkdSenDpp_Click();
        e.popShapDpp_Click();
        const LineElement& l = e.lineHikidashi(1);
        const platform::ShapeElement& c = e.shpShape(1);
        const QRegularExpression bareKey(QStringLiteral("^\\d{12}$"));
        for (const QString& tag : {l.Tag, c.Tag})
            QVERIFY2(bareKey.match(tag).hasMatch(), qPrintable(tag));
        QVERIFY(l.Visible && c.Visible);
        QCOMPARE(QLineF(l.X1, l.Y1, l.X2, l.Y2), QLineF(15, 25, 45, 30));
        QVERIFY(l.BorderStyle == 3 && l.BorderWidth == 2 && l.BorderColor == 0x00FF00 && l.DrawMode == 7);
        QCOMPARE(QRectF(c.Left, c.Top, c.Width(), c.Height()), QRectF(55, 65, 30, 12));
        QVERIFY(c.Shape == 2 && c.BorderStyle == 2 && c.FillStyle == 4);
        QVERIFY(!e.lineHikidashi(2).Visible && e.lineHikidashi(2).Tag.isEmpty());
        QVERIFY(!e.shpShape(2).Visible && e.shpShape(2).Tag.isEmpty());
        QVERIFY(e.booDrawChange);
    }

    // Deleting an area's only side distance leaves a hidden spare with the
    // area's key; the copy of the area must not bring it back.
    void noGhostCopies()
    {
        frmEdit& e = openDrawing();
        triangle(e, 0);
        distance(e, 0, 0, 30, 0, -5, Area);
        distanceSpares(e);
        e.strPopObjName = QStringLiteral("lblMensekiS"), e.intPopIndex = 0;
        e.popEditDel_Click(1);
        QCOMPARE(e.lblKyori.UBound(), 0);
        QVERIFY(e.lblMensekiS(0).Visible);  // only the side distance went
        QCOMPARE(e.linePS.UBound(), 3);
        e.popEditDpp_Click();
        QCOMPARE(e.lineHojoSave.UBound(), 2 * e.lblKyori.UBound());
        QCOMPARE(e.shpSnpo.UBound(), 2 * e.lblKyori.UBound());
        for (int k = 0; k <= e.lineHojoSave.UBound(); ++k)
            QVERIFY(!e.lineHojoSave(k).Visible && !e.shpSnpo(k).Visible);
    }

    void deleteFromTheMenus()
    {
        frmEdit& e = openDrawing();
        for (int k = 0; k < 3; ++k)
            distance(e, k, float(10 * k), float(10 * k + 5), 50, -5, QStringLiteral("24010110000%1").arg(k));
        distanceSpares(e);
        e.mnuPropaty_Click();
        e.strSelObjName = QStringLiteral("lblKyori"), e.intSelIndex = 1;
        e.strPopObjName = QStringLiteral("lblkyori"), e.intPopIndex = 1;
        e.shpPointer(0).Visible = true;
        e.popEditDel_Click(0);
        QCOMPARE(e.lblKyori.UBound(), 2);
        QCOMPARE(e.intSelIndex, qint16(-1));
        QCOMPARE(e.strSelObjName, QString());
        QVERIFY(!e.shpPointer(0).Visible);
        frmPropaty& sheet = platform::Instance<frmPropaty>::get();
        QCOMPARE(sheet.txtObjName->Text(), QString());
        QCOMPARE(sheet.txtIndex->Text(), QString());
        // Closing the editor asks before the change is lost.
        (*m_s.quiet)->answerMsgBox(vb::vbNo);
        Fixture::closeEditor();
        QCOMPARE((*m_s.quiet)->last().prompt, QStringLiteral("オブジェクトを上書きしますか？"));
        QVERIFY(!GE_booPropaty);
    }

    // Area A (three sides out of order, one side distance) before the
    // hatched area B: after A's deletion B is area 0 with its own record,
    // and only B's hatching is drawn.
    void deleteAreaBeforeAnother()
    {
        frmEdit& e = openDrawing();
        const QString b = QStringLiteral("240101094500");
        element(e.lblMensekiS, 0, QStringLiteral("202:6_") + Area);
        element(e.lblMensekiS, 1, QStringLiteral("202:4_") + b);
        spare(e.lblMensekiS);
        const float sq[4][2] = {{50, 50}, {70, 50}, {70, 70}, {50, 70}};
        side(e, 0, 0, 0, 30, 0, Area);
        for (int k = 0; k < 4; ++k)
            side(e, k + 1, sq[k][0], sq[k][1], sq[(k + 1) % 4][0], sq[(k + 1) % 4][1], b);
        side(e, 5, 30, 40, 0, 0, Area);
        side(e, 6, 30, 0, 30, 40, Area);
        spare(e.linePS);
        distance(e, 0, 0, 30, 0, -5, Area);
        distanceSpares(e);
        typHatching ha;
        ha.Tag = Area;
        GE_tpHatching = {ha, hatching(1, 0x00FF00, b), typHatching()};
        QVERIFY(e.fncMake_HatchBin(1) > 0);
        e.strPopObjName = QStringLiteral("lblMensekiS"), e.intPopIndex = 0;
        e.popEditDel_Click(0);
        QCOMPARE(e.lblMensekiS.UBound(), 1);
        QCOMPARE(e.lblMensekiS(0).Tag.right(12), b);
        QCOMPARE(GE_tpHatching.size(), 2);
        QCOMPARE(GE_tpHatching[0].Tag, b);
        QCOMPARE(e.linePS.UBound(), 4);
        for (int k = 0; k < 4; ++k)
            QVERIFY(e.linePS(k).Visible && e.linePS(k).Tag.endsWith(b));
        QCOMPARE(e.lblKyori.UBound(), 0);
        int hatch = 0;
        for (const platform::DrawCommand& c : e.pictMap->commands())
            hatch += c.kind == platform::DrawCommand::Segment && c.color == 0x00FF00;
        QCOMPARE(hatch, 5);
    }

    void flipTwiceReturns()
    {
        frmEdit& e = openDrawing();
        distance(e, 0, 0, 10, 0, -5, Area);
        distanceSpares(e);
        e.strPopObjName = QStringLiteral("lblkyori"), e.intPopIndex = 0;
        e.strSelObjName = QStringLiteral("lblKyori"), e.intSelIndex = 0;
        e.popEditRev_Click();
        QVERIFY(e.booDrawChange);
        QCOMPARE(e.lineHojoSave(0).Y2.get(), 5.0f);
        QCOMPARE(QPointF(e.lineHojoSave(1).X2, e.lineHojoSave(1).Y2), QPointF(10, 5));
        const LineElement& d = e.lineDsSave(0);
        QCOMPARE(QLineF(d.X1, d.Y1, d.X2, d.Y2), QLineF(0, 5, 10, 5));
        const LabelElement& l = e.lblKyori(0);
        QCOMPARE(l.Left.get(), 5 - l.Width() / 2);
        QCOMPARE(l.Top.get(), 5 - l.Height() / 2);
        QCOMPARE(QPointF(e.shpPointer(0).Left, e.shpPointer(0).Top), QPointF(l.Left - 2, l.Top - 1));  // its grips too
        QCOMPARE(e.shpSnpo(1).Left + e.shpSnpo(1).Width() / 2, 10.0f);
        QCOMPARE(e.shpSnpo(1).Top + e.shpSnpo(1).Height() / 2, 5.0f);
        e.popEditRev_Click();
        QCOMPARE(e.lineHojoSave(0).Y2.get(), -5.0f);
        QCOMPARE(e.lineDsSave(0).Y1.get(), -5.0f);
        // An area unit is no distance's; a distance unit is.
        e.booDrawChange = false;
        e.popEditUnitS_Click(2);
        QVERIFY(!e.booDrawChange);
        e.popEditUnitD_Click(0);
        QVERIFY(e.booDrawChange);
        // Its decimals keep its distance unit.
        const auto names = qScopeGuard([d = GE_strUnitDistance, a = GE_strUnitArea] {
            GE_strUnitDistance = d, GE_strUnitArea = a;
        });
        GE_strUnitDistance[0] = QStringLiteral("m "), GE_strUnitArea[0] = QStringLiteral("m2 ");
        e.popEditDPoint_Click(3);
        QCOMPARE(e.lblKyori(0).Caption, QStringLiteral(" 10.000 m "));
    }

    void moveAreaWithItsKey_data()
    {
        QTest::addColumn<bool>("byRoute");
        QTest::newRow("by the area label") << false;
        QTest::newRow("by the route label") << true;
    }
    void moveAreaWithItsKey()
    {
        QFETCH(bool, byRoute);
        frmEdit& e = openDrawing();
        triangle(e, 1);
        QVERIFY(e.fncMake_HatchBin(0) > 0);
        element(e.lblKeiroS, 0, QStringLiteral("001:90_") + Area).Left = 7;
        spare(e.lblKeiroS);
        distance(e, 0, 0, 30, 0, -5, Area);
        distance(e, 1, 0, 30, 0, 5, Route);  // another measurement on a side
        distanceSpares(e);
        LabelElement& moved = byRoute ? e.lblKeiroS(0) : e.lblMensekiS(0);
        LabelElement& other = byRoute ? e.lblMensekiS(0) : e.lblKeiroS(0);
        const float movedLeft = moved.Left, otherLeft = other.Left;
        e.subMove_MensekiKeiro(moved, 0, -2, 3);
        QCOMPARE(e.linePS(1).X1.get(), 32.0f);
        QCOMPARE(e.linePS(1).Y2.get(), 37.0f);
        QCOMPARE(other.Left.get(), otherLeft + 2);
        QCOMPARE(e.lineHojoSave(1).X1.get(), 32.0f);
        QCOMPARE(e.lineDsSave(0).Y1.get(), -8.0f);
        QCOMPARE(e.lblKyori(0).Top.get(), -3.0f);
        QCOMPARE(e.lineHojoSave(3).X1.get(), 30.0f);  // another key stays
        QCOMPARE(moved.Left.get(), movedLeft);        // the label is its caller's
        // The hatching went with the sides, whichever label took them along.
        QList<typHatchLine> lines;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], lines));
        QVERIFY(!lines.isEmpty());
        for (const typHatchLine& l : lines)
            QVERIFY(onSides(e, l.X1, l.Y1) && onSides(e, l.X2, l.Y2));
    }

    void movedHatchingRenewed()
    {
        frmEdit& e = openDrawing();
        element(e.lblMensekiS, 0, QStringLiteral("202:7_") + Area);
        spare(e.lblMensekiS);
        side(e, 0, 0, 0.6f, 5, 3.4f, Area);
        side(e, 1, 5, 3.4f, 10, 0.6f, Area);
        side(e, 2, 10, 0.6f, 0, 0.6f, Area);
        spare(e.linePS);
        GE_tpHatching = {hatching(1, 255, Area), typHatching()};
        e.lineMenseki(0).Visible = true;
        e.booRenzoku = true;  // a polygon in progress is left alone
        e.subMove_MensekiKeiro(e.lblMensekiS(0), 0, 0, 0);
        QVERIFY(e.lineMenseki(0).Visible);
        QCOMPARE(GE_tpHatching[0].iUbound, qint16(0));
        QList<typHatchLine> lines;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], lines));
        QCOMPARE(lines.size(), 1);
        e.subMove_MensekiKeiro(e.lblMensekiS(0), 0, 0, 0.5f);
        QVERIFY(!mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], lines));
    }

    void inputDialog()
    {
        frmEdit& e = openDrawing();
        const auto ask = [&e](const QString& text, bool ok) {
            ModalScript script;
            answerDialog(script, text, ok);
            e.subAsk_Input(QStringLiteral("1"), QStringLiteral("t"), QStringLiteral("p"), QStringLiteral("m "));
            QVERIFY(script.allUsed());
        };
        ask(QStringLiteral("12.5"), true);
        QCOMPARE(e.strDlgText, QStringLiteral("12.5"));
        QCOMPARE(e.strDlgNum, QStringLiteral("12.5"));
        QVERIFY(!e.booDlgCancel);
        ask(QStringLiteral("abc"), true);
        QCOMPARE(e.strDlgText, QStringLiteral("abc"));
        QCOMPARE(e.strDlgNum, QString());
        ask(QStringLiteral("abc"), false);
        QCOMPARE(e.strDlgText, QString());
        QVERIFY(e.booDlgCancel);
        ask(QStringLiteral("1"), true);
        {
            ModalScript script;
            script.push([](platform::Form& f) {
                auto& d = static_cast<dlgInput&>(f);
                int key = 13;
                d.txtInput_KeyPress(key);
                QCOMPARE(key, 0);
                QTest::keyClick(d.txtInput, Qt::Key_Escape);
                QVERIFY(d.isLoaded());
                d.close();  // the close box
            });
            e.subAsk_Input(QStringLiteral("7"), QString(), QString(), QString());
        }
        QVERIFY(e.booDlgCancel);
        QCOMPARE(e.strDlgText, QString());
    }

    void numberingPrompts_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("number");
        QTest::newRow("7.5") << "7.5" << 8;
        QTest::newRow("6.5") << "6.5" << 6;
        QTest::newRow("not a number") << "abc" << 3;
        QTest::newRow("beyond 16 bits") << "99999" << 32767;
    }
    void numberingPrompts()
    {
        QFETCH(QString, answer);
        QFETCH(int, number);
        frmEdit& e = openDrawing();
        e.strSelObjName = QStringLiteral("lblMoji");
        e.intMojiNo = 3;
        e.strMojiHead = QStringLiteral("New ");
        ModalScript script;
        QString offered;
        script.push([&offered, answer](platform::Form& f) {
            auto& d = static_cast<dlgInput&>(f);
            offered = d.txtInput->Text();
            QCOMPARE(d.caption(), QStringLiteral("Caption 初期値入力"));
            d.txtInput->setText(answer);
            d.OKButton->button()->click();
        });
        script.push([&offered](platform::Form& f) {
            auto& d = static_cast<dlgInput&>(f);
            offered = d.txtInput->Text();
            d.OKButton->button()->click();
        });
        e.popRenInit_Click();
        QCOMPARE(offered, QStringLiteral("3"));
        QCOMPARE(int(e.intMojiNo), number);
        e.popHedda_Click();
        QCOMPARE(offered, QStringLiteral("New "));
        QCOMPARE(e.strMojiHead, QStringLiteral("New "));
    }

    void labelTexts()
    {
        frmEdit& e = openDrawing();
        LabelElement& k = element(e.lblKyori, 0, QStringLiteral("001:10_") + Area);
        k.Caption = QStringLiteral("10 m ");
        (*m_s.quiet)->answerInput(QStringLiteral("境界"));
        k.DblClick(0);
        QCOMPARE((*m_s.quiet)->last().title, QStringLiteral("10 m "));
        QCOMPARE(k.ToolTipText.get(), QStringLiteral("境界"));

        LabelElement& t = element(e.lblMoji, 0, QString());
        t.Caption = QStringLiteral("old");
        e.booDrawChange = false;
        (*m_s.quiet)->answerInput(QStringLiteral("new and longer"));
        (*m_s.quiet)->answerInput(std::nullopt);
        e.strSelObjName = QStringLiteral("lblMoji"), e.intSelIndex = 0;
        e.lblMoji_DblClick(0);
        QCOMPARE(t.Caption.get(), QStringLiteral("new and longer"));
        QVERIFY(e.booDrawChange);
        QCOMPARE(e.shpPointer(2).Left.get(), t.Left + t.Width());  // the grips take the new width

        LabelElement& p = element(e.lblKeiIdoS, 0, QStringLiteral("1,2"));
        p.ToolTipText = QStringLiteral("X:1,Y:2");
        p.Left = 200;
        (*m_s.quiet)->answerInput(QStringLiteral("P2"));
        e.strSelObjName = QStringLiteral("lblKeiIdoS");
        e.lblKeiIdoS_DblClick(0);
        QCOMPARE((*m_s.quiet)->last().prompt, QStringLiteral("経緯度（秒）:1,2\r\n表示文字列を入力してください"));
        QCOMPARE((*m_s.quiet)->last().title, QStringLiteral("X:1,Y:2 位置情報入力"));
        QCOMPARE(p.Caption.get(), QStringLiteral("P2 "));
        QCOMPARE(p.Tag, QStringLiteral("1,2"));
        QCOMPARE(e.shpPointer(2).Left.get(), p.Left + p.Width());
    }

    void pageToggle()
    {
        frmEdit& e = openDrawing();
        for (int k = 1; k <= 3; ++k) {
            if (!e.shpPrintWakuR.exists(k))
                e.shpPrintWakuR.Load(k);
            if (!e.lblPageR.exists(k))
                e.lblPageR.Load(k);
        }
        e.booDrawChange = false;
        e.lblPageR(3).Click(3);
        QCOMPARE(e.shpPrintWakuR(3).BackStyle.get(), 1);
        QCOMPARE(e.shpPrintWakuR(3).BackColor.get(), 16711680);
        QCOMPARE(e.shpPrintWakuR(2).BackStyle.get(), 0);
        e.lblPageR_Click(3);
        QCOMPARE(e.shpPrintWakuR(3).BackStyle.get(), 0);
        QVERIFY(!e.booDrawChange);
    }

    void propertySheetHandOver()
    {
        frmEdit& e = openDrawing();
        e.mnuPropaty_Click();
        frmPropaty& sheet = platform::Instance<frmPropaty>::get();
        QVERIFY(GE_booPropaty);
        QCOMPARE(sheet.txtObjName->Text(), QString());
        QCOMPARE(sheet.txtIndex->Text(), QString());
        LabelElement& t = element(e.lblMoji, 0, QStringLiteral("A"));
        t.Caption = QStringLiteral("文字"), t.ToolTipText = QStringLiteral("注");
        e.strPopObjName = QStringLiteral("lblMoji"), e.intPopIndex = 0;
        e.popMojiPpty_Click();
        QCOMPARE(sheet.txtObjName->Text(), QStringLiteral("lblMoji"));
        QCOMPARE(sheet.txtIndex->Text(), QStringLiteral("0"));
        QCOMPARE(sheet.lblCaption->ToolTipText(), QStringLiteral("注"));
        QCOMPARE(sheet.caption(), QStringLiteral("プロパティ［文字］"));
        QCOMPARE(sheet.stsBar->Panels(1).Text(), QStringLiteral("A"));
        t.Tag = QStringLiteral("B");
        e.mnuPropaty_Click();  // the same element again: read anew
        QCOMPARE(sheet.stsBar->Panels(1).Text(), QStringLiteral("B"));
    }
};

QTEST_MAIN(TestObjectCommands)
#include "tst_object_commands.moc"
