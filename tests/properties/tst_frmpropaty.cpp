// The property sheet driven as a user would, on an open editor: the
// commands and hand-overs of the editor, chosen entries, typed text with
// Enter, and scripted colour and font dialogs.

#include "tests/editor/editorfixture.h"

#include "measure/hatchcache.h"
#include "properties/frmPropaty.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace editortest;
using platform::ComboBox;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

namespace {

// What `enabled` gives when no value control can be used.
const QString NothingEnabled = QStringLiteral("00000000000000000000000");

template <class T>
T& element(platform::ElementArray<T>& a, int k, const QString& tag)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Tag = tag;
    a(k).Visible = !tag.isEmpty();
    return a(k);
}

template <class T>
void spare(platform::ElementArray<T>& a)
{
    element(a, a.UBound() + 1, QString());
}

void distance(frmEdit& e, int k, const QString& key)
{
    element(e.lblKyori, k, QStringLiteral("001:10_") + key).Caption = QStringLiteral("10 m ");
    element(e.lineDsSave, k, key);
    for (int j : {2 * k, 2 * k + 1})
        element(e.lineHojoSave, j, key), element(e.shpSnpo, j, key);
}

// Area or route i: a triangle of sides tagged with `key`, and its label.
void measured(frmEdit& e, platform::ElementArray<LabelElement>& labels, int i, const QString& key, float x)
{
    element(labels, i, QStringLiteral("202:600_") + key).Caption = QStringLiteral("600 m2 ");
    const float pts[][4] = {{x, 0, x + 30, 0}, {x + 30, 0, x + 30, 40}, {x + 30, 40, x, 0}};
    for (const auto& p : pts) {
        LineElement& l = element(e.linePS, e.linePS.UBound() + 1, QStringLiteral("_") + key);
        l.X1 = p[0], l.Y1 = p[1], l.X2 = p[2], l.Y2 = p[3];
    }
    if (&labels == &e.lblMensekiS) {
        typHatching h;
        h.iStyle = 1, h.iPitch = 4, h.iTilt = 45, h.BorderWidth = 1, h.DrawMode = 13, h.Tag = key;
        while (GE_tpHatching.size() <= i)
            GE_tpHatching.append(typHatching());
        GE_tpHatching[i] = h;
    }
}

QString key(int n) { return QStringLiteral("2401010900%1").arg(n, 2, 10, QLatin1Char('0')); }

// A label's mouse-down while the sheet is open.
void clickLabel(frmPropaty& s, const QString& kind, int index)
{
    s.lblCaption->setCaption(QStringLiteral("c"));
    s.txtIndex->setText(QString());
    s.txtObjName->setText(kind);
    s.txtIndex->setText(QString::number(index));
}

// Typed as a user types: the box's window active, the keys through the
// window to whatever has the focus, the old text selected with Ctrl+A and
// typed over; a text with full-width letters comes whole, as an input
// method commits it.
void type(ComboBox& box, const QString& text, bool enter = true)
{
    QWidget* window = box.window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    box.SetFocus();
    QWindow* keys = window->windowHandle();
    QTest::keyClick(keys, Qt::Key_A, Qt::ControlModifier);
    if (text.toLatin1() == text.toUtf8()) {
        for (const char c : text.toLatin1())
            QTest::keyClick(keys, c);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(QApplication::focusWidget(), &commit);
    }
    if (enter)
        QTest::keyClick(keys, Qt::Key_Return);
}

// Enabled state of the 23 value controls as a string of 0 and 1.
QString enabled(frmPropaty& s)
{
    QString bits;
    for (QWidget* w : std::initializer_list<QWidget*>{
             &s.cmbDrawMode(0), &s.cmbBorderStyle(0), &s.cmbBorderWidth(0), s.cmbFillStyle, &s.cmbBackStyle(0),
             s.cmbShape, &s.cmdColor(0), &s.cmdColor(1), &s.cmdColor(2), s.cmbAlign, s.cmbApper,
             &s.cmbBorderStyle(2), &s.cmbBackStyle(1), s.cmdFont, &s.cmdColor(4), &s.cmdColor(5),
             &s.cmbDrawMode(1), &s.cmbBorderStyle(1), &s.cmbBorderWidth(1), s.cmbHatchStyle, s.cmbPitch, s.cmbTilt,
             &s.cmdColor(3)})
        bits += w->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return bits;
}

}  // namespace

class TestFrmPropaty : public QObject {
    Q_OBJECT

    Session m_s;
    QTemporaryDir m_temp;

    frmEdit& openDrawing()
    {
        writePicture(m_s.fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        if (m_s.fx->storeDrawing(QStringLiteral("P-1"), m_s.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        frmEdit& e = Fixture::open();
        GE_strTempPath = m_temp.path();
        return e;
    }

    // The drawing of most cases: three distances (2 belongs to no area),
    // areas 0..2, route 0 with key(9), a lead-out line, a shape, a text label.
    frmPropaty& sheetOn(frmEdit& e)
    {
        for (int k = 0; k < 3; ++k)
            distance(e, k, key(20 + k));
        distance(e, 3, key(9));  // a side distance of the route
        spare(e.lblKyori), spare(e.lineDsSave), spare(e.lineHojoSave), spare(e.shpSnpo);
        for (int i = 0; i < 3; ++i)
            measured(e, e.lblMensekiS, i, key(i), float(40 * i));
        measured(e, e.lblKeiroS, 0, key(9), 120);
        element(e.lineDsSave, e.lineDsSave.UBound(), QStringLiteral("x") + key(9));  // ends with the key only
        spare(e.lineDsSave), spare(e.lblMensekiS), spare(e.lblKeiroS), spare(e.linePS);
        GE_tpHatching.append(typHatching());
        element(e.lineHikidashi, 0, key(30)), spare(e.lineHikidashi);
        element(e.shpShape, 0, key(31)), spare(e.shpShape);
        element(e.lblMoji, 0, key(32));
        e.booDrawChange = false;
        e.mnuPropaty_Click();
        return platform::Instance<frmPropaty>::get();
    }

    std::pair<frmEdit&, frmPropaty&> sheet()
    {
        frmEdit& e = openDrawing();
        return {e, sheetOn(e)};
    }

private slots:
    void init()
    {
        QVERIFY(m_s.begin());
        GE_sngZoom = 1.0f;
        GE_tpSystem.System_Id = 200911;
    }

    void cleanup()
    {
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        m_s.end();
        GE_tpHatching.clear();
        mdlFileAccess::subKill_Bin();
    }

    void loadBuildsFreshListsOnATopmostOwnerlessWindow()
    {
        frmEdit& e = openDrawing();
        for (int round = 0; round < 2; ++round) {
            e.mnuPropaty_Click();
            frmPropaty& s = platform::Instance<frmPropaty>::get();
            QVERIFY(GE_booPropaty);
            QCOMPARE(s.centralWidget()->size(), QSize(313, 569));
            QVERIFY(s.windowFlags() & Qt::WindowStaysOnTopHint);
            QVERIFY(!s.parentWidget());
            QVERIFY(!s.txtObjName->isVisible() && !s.txtIndex->isVisible());
            const QList<std::pair<ComboBox*, int>> counts = {
                {&s.cmbDrawMode(0), 16}, {&s.cmbDrawMode(1), 16}, {&s.cmbBorderStyle(0), 7},
                {&s.cmbBorderStyle(1), 7}, {&s.cmbBorderStyle(2), 2}, {&s.cmbBackStyle(0), 2},
                {&s.cmbBackStyle(1), 2}, {s.cmbFillStyle, 8}, {s.cmbShape, 6}, {&s.cmbBorderWidth(0), 128},
                {&s.cmbBorderWidth(1), 128}, {s.cmbHatchStyle, 7}, {s.cmbPitch, 100}, {s.cmbTilt, 5},
                {s.cmbAlign, 3}, {s.cmbApper, 2}};
            for (const auto& [box, n] : counts) {
                QCOMPARE(box->ListCount(), n);
                QCOMPARE(box->ListIndex(), -1);
            }
            // Each list reads from the start of its text, and lies in its
            // group below the group's caption and frame.
            for (ComboBox* box : s.findChildren<ComboBox*>()) {
                const QLineEdit* edit = box->comboBox()->lineEdit();
                const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
                QVERIFY2(cursor.left() < edit->fontMetrics().averageCharWidth(), qPrintable(box->Text()));
                const QGroupBox* group = static_cast<platform::Frame*>(box->parentWidget())->groupBox();
                QVERIFY2(box->geometry().top() >= group->contentsRect().top(),
                         qPrintable(box->Text() + QLatin1Char(' ') + QString::number(group->contentsRect().top())));
            }
            QCOMPARE(s.cmbTilt->List(4), QStringLiteral("75"));
            QCOMPARE(s.cmbApper->List(1), QStringLiteral("1 - 3-D "));
            s.cmbTilt->AddItem(QStringLiteral("20"));  // gone with the window
            s.unload();
            QVERIFY(!GE_booPropaty);
        }
    }

    void layoutByKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("bits");  // line+shape group, label group, hatching group
        QTest::newRow("lead-out") << "lineHikidashi" << "プロパティ［引き出し線］" << "11100010000000000000000";
        QTest::newRow("dimension") << "lineDsSave" << "プロパティ［距離・寸法線］" << "11100010000000000000000";
        QTest::newRow("segment") << "linePS" << "プロパティ［連続・境界線］" << "11100010000000000000000";
        QTest::newRow("distance") << "lblKyori" << "プロパティ［距離・寸法］" << "11100010011111110000000";
        QTest::newRow("area") << "lblMensekiS" << "プロパティ［面積］" << "11100010011111111111111";
        QTest::newRow("route") << "lblKeiroS" << "プロパティ［経路］" << "11100010011111110000000";
        QTest::newRow("text") << "lblMoji" << "プロパティ［文字］" << "00000000011111110000000";
        QTest::newRow("position") << "lblKeiIdoS" << "プロパティ［経緯度］" << "00000000011111110000000";
        QTest::newRow("shape") << "shpShape" << "プロパティ［図形］" << "11111111100000000000000";
        QTest::newRow("extension") << "lineHojoSave" << "プロパティ［図形］" << NothingEnabled;
        QTest::newRow("nothing") << "" << "プロパティ［図形］" << NothingEnabled;
    }
    void layoutByKind()
    {
        QFETCH(QString, kind);
        auto [e, s] = sheet();
        s.txtObjName->setText(QStringLiteral("shpShape"));
        s.txtObjName->setText(kind);
        QTEST(s.caption(), "caption");
        QTEST(enabled(s), "bits");
        QCOMPARE(s.cmbBorderStyle(1).Text(), QStringLiteral("ドロースタイル"));
        QCOMPARE(s.cmbBorderWidth(0).Text(), QStringLiteral("境界の幅"));
        QCOMPARE(s.cmbPitch->Text(), QStringLiteral("ピッチ"));
        QCOMPARE(s.stsBar->Panels(1).Text(), QString());
    }

    void olderSchemaShowsTheTiltDisabled()
    {
        GE_tpSystem.System_Id = 200910;
        auto [e, s] = sheet();
        GE_tpHatching[1].iTilt = 30;
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        QVERIFY(!s.cmbTilt->isEnabled() && s.cmbPitch->isEnabled());
        QCOMPARE(s.cmbTilt->Text(), QStringLiteral("30"));
        // Only the menu command copies the comment into the caption's tip.
        e.lblMoji(0).ToolTipText = QStringLiteral("注記");
        clickLabel(s, QStringLiteral("lblMoji"), 0);
        QCOMPARE(s.lblCaption->ToolTipText(), QString());
        e.strSelObjName = QStringLiteral("lblMoji"), e.intSelIndex = 0;
        e.mnuPropaty_Click();
        QCOMPARE(s.lblCaption->ToolTipText(), QStringLiteral("注記"));
    }

    void valuesShowWithoutChangingAnything()
    {
        auto [e, s] = sheet();
        LineElement& l = e.lineHikidashi(0);
        l.DrawMode = 9, l.BorderStyle = 4, l.BorderWidth = 17;
        clickLabel(s, QStringLiteral("lineHikidashi"), 0);
        QCOMPARE(s.cmbDrawMode(0).Text(), QStringLiteral("9 Mask Pen"));
        QCOMPARE(s.cmbBorderStyle(0).Text(), QStringLiteral("4 - 一点鎖線"));
        QCOMPARE(s.cmbBorderWidth(0).Text(), QStringLiteral("17"));
        QCOMPARE(s.stsBar->Panels(1).Text(), key(30));
        QCOMPARE(s.stsBar->Panels(2).Text(), QStringLiteral("0"));
        QCOMPARE(e.linDefault.DrawMode.get(), 13);
        e.shpShape(0).BorderWidth = 5;
        clickLabel(s, QStringLiteral("shpShape"), 0);
        QCOMPARE(s.cmbBorderWidth(0).Text(), QStringLiteral("5"));
        QVERIFY(!e.booDrawChange);
        // A tilt outside the list joins it once, for both areas that have it.
        GE_tpHatching[0].iTilt = 50, GE_tpHatching[1].iTilt = 50;
        clickLabel(s, QStringLiteral("lblMensekiS"), 0);
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        QCOMPARE(s.cmbTilt->ListCount(), 6);
        QCOMPARE(s.cmbTilt->Text(), QStringLiteral("50"));
        QCOMPARE(s.cmbBorderWidth(1).Text(), QStringLiteral("1"));
        QVERIFY(!e.booDrawChange);
        // The first choice applies, and stays the list's only "15".
        s.cmbTilt->setListIndex(0);
        QCOMPARE(GE_tpHatching[1].iTilt, qint16(15));
        QCOMPARE(s.cmbTilt->ListCount(), 6);
        QVERIFY(e.booDrawChange);
        // So do the hatching pen's draw mode, line style and width.
        const struct {
            ComboBox& box;
            int entry;
            qint16 typHatching::*field;
            qint16 value;
        } pens[] = {{s.cmbDrawMode(1), 6, &typHatching::DrawMode, 7},
                    {s.cmbBorderStyle(1), 2, &typHatching::BorderStyle, 2},
                    {s.cmbBorderWidth(1), 4, &typHatching::BorderWidth, 5}};
        for (const auto& pen : pens) {
            e.booDrawChange = false;
            pen.box.setListIndex(pen.entry);
            QCOMPARE(GE_tpHatching[1].*pen.field, pen.value);
            QVERIFY(e.booDrawChange);
        }
        // A stored width outside the list selects nothing; the next choice applies.
        l.BorderWidth = 300;
        clickLabel(s, QStringLiteral("lineHikidashi"), 0);
        QCOMPARE(s.cmbBorderWidth(0).Text(), QStringLiteral("境界の幅"));
        s.cmbBorderWidth(0).setListIndex(4);
        QCOMPARE(l.BorderWidth.get(), 5);
    }

    void distanceRouteAreaAndTextAppliers()
    {
        auto [e, s] = sheet();
        // Each applier marks the drawing changed, so that closing offers to save.
        clickLabel(s, QStringLiteral("lblKyori"), 2);
        s.cmbBorderStyle(0).setListIndex(3);
        QVERIFY(e.booDrawChange);
        QCOMPARE(s.cmbBorderStyle(0).ToolTipText(), QStringLiteral("境界のスタイル : 3 - 点線"));
        for (const LineElement* l : {&e.lineDsSave(2), &e.lineHojoSave(4), &e.lineHojoSave(5), &e.linDefault})
            QCOMPARE(l->BorderStyle.get(), 3);
        for (int j : {4, 5})
            QCOMPARE(e.shpSnpo(j).BorderStyle.get(), 3);
        QCOMPARE(e.lineDsSave(1).BorderStyle.get(), 1);
        type(s.cmbBorderWidth(0), QStringLiteral("6"));
        for (const LineElement* l : {&e.lineDsSave(2), &e.lineHojoSave(4), &e.lineHojoSave(5), &e.linDefault})
            QCOMPARE(l->BorderWidth.get(), 6);
        QCOMPARE(e.shpSnpo(4).BorderWidth.get(), 1);

        // The route: segments ending with its key, lines whose whole tag is it.
        clickLabel(s, QStringLiteral("lblKeiroS"), 0);
        e.booDrawChange = false;
        type(s.cmbBorderWidth(0), QStringLiteral("7.5"));
        QVERIFY(e.booDrawChange);
        QCOMPARE(s.cmbBorderWidth(0).Text(), QStringLiteral("8"));
        for (const LineElement* l : {&e.linePS(10), &e.linePS(11), &e.linePS(12), &e.lineDsSave(3), &e.lineHojoSave(7)})
            QCOMPARE(l->BorderWidth.get(), 8);
        QCOMPARE(e.linePS(1).BorderWidth.get(), 1);
        clickLabel(s, QStringLiteral("linePS"), 1);  // a segment alone
        e.booDrawChange = false;
        type(s.cmbBorderWidth(0), QStringLiteral("2"));
        QVERIFY(e.linePS(1).BorderWidth == 2 && e.booDrawChange);
        QCOMPARE(e.shpSnpo(7).BorderWidth.get(), 8);
        QCOMPARE(e.lineDsSave(4).BorderWidth.get(), 1);  // "x" + key

        clickLabel(s, QStringLiteral("shpShape"), 0);
        e.booDrawChange = false;
        s.cmbFillStyle->setListIndex(7);
        QVERIFY(e.shpShape(0).FillStyle == 7 && e.shpDefault.FillStyle == 7 && e.booDrawChange);

        clickLabel(s, QStringLiteral("lblMensekiS"), 0);
        e.shpDefault.FillStyle = 1;
        distance(e, 2, key(0));  // now a side distance of area 0
        e.booDrawChange = false;
        s.cmbFillStyle->setListIndex(4);
        QVERIFY(e.booDrawChange);
        QCOMPARE(e.shpSnpo(4).FillStyle.get(), 4);
        QCOMPARE(e.shpSnpo(6).FillStyle.get(), 1);
        QCOMPARE(e.shpDefault.FillStyle.get(), 1);
        s.cmbShape->setListIndex(3);
        QCOMPARE(e.shpSnpo(5).Shape.get(), 3);
        QCOMPARE(e.shpDefault.Shape.get(), 3);

        clickLabel(s, QStringLiteral("lblMoji"), 0);
        s.cmbApper->setListIndex(1);
        for (const LabelElement* l : {&e.lblMoji(0), &e.lblDefault})
            QVERIFY(l->Appearance == 1 && l->BorderStyle == 1);
        s.cmbApper->setListIndex(0);
        QVERIFY(e.lblMoji(0).Appearance == 0 && e.lblMoji(0).BorderStyle == 1);
        for (int back : {1, 0}) {
            s.cmbBackStyle(1).setListIndex(back);
            QVERIFY(e.lblMoji(0).BackStyle == back && e.lblDefault.BackStyle == back);
        }
        QCOMPARE(s.cmbApper->ToolTipText(), QStringLiteral("描画スタイル : 3-D 効果なしでコントロールおよびフォームを描画します"));
    }

    void typedHatchingNumbers()
    {
        auto [e, s] = sheet();
        s.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        const auto pitch = [&](const char* text, const char* shown, int applied) {
            type(*s.cmbPitch, QString::fromLatin1(text));
            QCOMPARE(s.cmbPitch->Text(), QString::fromLatin1(shown));
            QCOMPARE(GE_tpHatching[1].iPitch, qint16(applied));
        };
        pitch("250", "100", 100), pitch("99.5", "99", 99), pitch("2.5", "2", 2), pitch("abc", "1", 2);
        const auto tilt = [&](const char* text, const char* shown, int applied, int entries) {
            type(*s.cmbTilt, QString::fromLatin1(text));
            QCOMPARE(s.cmbTilt->Text(), QString::fromLatin1(shown));
            QCOMPARE(GE_tpHatching[1].iTilt, qint16(applied));
            QCOMPARE(s.cmbTilt->ListCount(), entries);
        };
        tilt("95", "89", 89, 6), tilt("0", "1", 1, 7), tilt("1.5", "2", 2, 8), tilt("xy", "1", 2, 8), tilt("30", "30", 30, 8);
        QCOMPARE(s.cmbTilt->List(7), QStringLiteral("2"));
        QCOMPARE(s.cmbTilt->ListIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), s.cmdColor(3).button());
        QCOMPARE(GE_tpHatching[0].iPitch, qint16(4));
    }

    void typedWidthIsReadOrRefused()
    {
        auto [e, s] = sheet();
        platform::ScriptedUserInterface& ui = m_s.quiet->get();
        clickLabel(s, QStringLiteral("lineHikidashi"), 0);
        ComboBox& box = s.cmbBorderWidth(0);
        type(box, QStringLiteral("６"));
        QCOMPARE(e.lineHikidashi(0).BorderWidth.get(), 6);
        QCOMPARE(box.Text(), QStringLiteral("6"));
        // Held to the range: the box shows the width the line has.
        for (const auto& [typed, held] : {std::pair{"200", 128}, std::pair{"－３", 1}}) {
            type(box, QString::fromUtf8(typed));
            QCOMPARE(e.lineHikidashi(0).BorderWidth.get(), held);
            QCOMPARE(box.Text(), QString::number(held));
        }
        QCOMPARE(ui.count(), 0);
        type(box, QStringLiteral("x"));
        QCOMPARE(ui.last().prompt, QStringLiteral("線の幅は 1～128 の数で入力してください。"));
        QCOMPARE(e.lineHikidashi(0).BorderWidth.get(), 1);
        QCOMPARE(box.Text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), box.comboBox());
        QCOMPARE(box.comboBox()->lineEdit()->selectedText(), QStringLiteral("1"));
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        type(s.cmbBorderWidth(1), QStringLiteral("0"));
        QCOMPARE(s.cmbBorderWidth(1).Text(), QStringLiteral("1"));
        QCOMPARE(ui.count(), 1);
    }

    void coloursAndFonts()
    {
        auto [e, s] = sheet();
        platform::ScriptedUserInterface& ui = m_s.quiet->get();
        // A colour or font chosen (none: the dialog cancelled) through the sheet's button.
        const auto colour = [&](int button, std::optional<qint32> c) { ui.answerColor(c), s.cmdColor(button).button()->click(); };
        const auto font = [&](std::optional<platform::FontChoice> f) { ui.answerFont(f), s.cmdFont->button()->click(); };
        clickLabel(s, QStringLiteral("lineHikidashi"), 0);
        colour(0, 255);
        QCOMPARE(e.lineHikidashi(0).BorderColor.get(), 255);
        QCOMPARE(e.linDefault.BorderColor.get(), 255);

        // An area's line colour opens on the last colour and reaches its key.
        distance(e, 2, key(1));
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        colour(0, 0x00FF00);
        QCOMPARE(ui.boxes.last().prompt, QStringLiteral("255"));
        for (int k = 4; k < 7; ++k)
            QCOMPARE(e.linePS(k).BorderColor.get(), 0x00FF00);
        QCOMPARE(e.lineHojoSave(5).BorderColor.get(), 0x00FF00);
        QVERIFY(e.shpSnpo(4).BorderColor == 0x00FF00 && e.shpSnpo(4).BackColor == 0x00FF00
                && e.shpSnpo(4).FillColor == 0x00FF00);
        QVERIFY(e.linePS(1).BorderColor != 0x00FF00);
        QCOMPARE(e.lblMensekiS(1).ForeColor.get(), 0);

        // The hatching colour rewrites the area's cache.
        colour(3, 0xFF0000);
        QCOMPARE(GE_tpHatching[1].BorderColor, 0xFF0000);
        QList<typHatchLine> cached;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(1).Tag, GE_tpHatching[1], cached));

        // A route label's line, text and back colours reach its key; a
        // shape's line colour is the shape's own.
        clickLabel(s, QStringLiteral("lblKeiroS"), 0);
        for (int button : {0, 4, 5})
            colour(button, 0x0000AA + button);
        QVERIFY(e.linePS(10).BorderColor == 0xAA && e.lineDsSave(3).BorderColor == 0xAA);
        QVERIFY(e.lblKeiroS(0).ForeColor == 0xAE && e.lblKeiroS(0).BackColor == 0xAF);
        QVERIFY(e.lblKyori(3).ForeColor == 0xAE && e.lblKyori(3).BackColor == 0xAF);
        clickLabel(s, QStringLiteral("shpShape"), 0);
        colour(0, 0x0000BB);
        QVERIFY(e.shpShape(0).BorderColor == 0xBB && e.shpDefault.BorderColor == 0xBB);
        QVERIFY(e.linePS(10).BorderColor == 0xAA);

        // Cancel: nothing changes, nothing shows.
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        e.booDrawChange = false;
        colour(4, std::nullopt);
        font(std::nullopt);
        QVERIFY(!e.booDrawChange);
        QCOMPARE(ui.count(), 0);

        platform::FontChoice serif;
        serif.name = QStringLiteral("Serif"), serif.size = 15, serif.bold = true;
        clickLabel(s, QStringLiteral("lblKeiroS"), 0);
        font(serif);
        for (const LabelElement* l : {&e.lblKeiroS(0), &e.lblDefault, &e.lblKyori(3)})
            QVERIFY(l->FontName == QStringLiteral("Serif") && l->FontSize == 15.0 && l->FontBold);
        QCOMPARE(e.lblKyori(0).FontSize.get(), 9.0);
        serif.size = 20;
        // Taken on the map: its grips go round the box the new font gives it.
        LabelElement& text = e.lblMoji(0);
        e.lblMoji_MouseDown(0, 1, 0, 0, 0);
        const float width = text.Width();
        font(serif);
        QVERIFY(text.FontSize == 20.0 && e.lblDefault.FontSize == 20.0 && text.Width() > width);
        QVERIFY(QPointF(e.shpPointer(3).Left, e.shpPointer(3).Top) == QPointF(text.Left + text.Width(), text.Top + text.Height()));
        QVERIFY(e.shpPointer(3).Visible);
        QCOMPARE(e.lblKyori(3).FontSize.get(), 15.0);
        // The dialog opens on the label's own font, every part of it.
        text.FontItalic = true;
        font(std::nullopt);
        const platform::FontChoice opened = ui.fonts.last();
        QVERIFY(opened.name == QStringLiteral("Serif") && opened.size == 20 && opened.bold && opened.italic);
        QVERIFY(!opened.underline && !opened.strikethrough);
    }

    void restyledDrawingIsSavedAtClose()
    {
        frmEdit& e = openDrawing();
        element(e.lineHikidashi, 0, key(30)), spare(e.lineHikidashi);
        e.mnuPropaty_Click();
        frmPropaty& s = platform::Instance<frmPropaty>::get();
        clickLabel(s, QStringLiteral("lineHikidashi"), 0);
        (*m_s.quiet)->answerColor(0x123456);
        s.cmdColor(0).button()->click();
        (*m_s.quiet)->answerMsgBox(vb::vbYes);
        Fixture::closeEditor();
        QCOMPARE((*m_s.quiet)->boxes.last().prompt, QStringLiteral("オブジェクトを上書きしますか？"));
        frmEdit& again = Fixture::open();
        QCOMPARE(again.lineHikidashi(0).BorderColor.get(), 0x123456);
    }

    void staleHandOverChangesNothing()
    {
        auto [e, s] = sheet();
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);
        e.strPopObjName = QStringLiteral("lblMensekiS");
        e.intPopIndex = 0;
        e.popEditDel_Click(0);
        QCOMPARE(enabled(s), NothingEnabled);
        QCOMPARE(s.stsBar->Panels(1).Text(), QString());
        QCOMPARE(s.stsBar->Panels(2).Text(), QString());
        // An index past the end: no values, no dialog, no change.
        e.booDrawChange = false;
        clickLabel(s, QStringLiteral("lineHikidashi"), 7);
        QCOMPARE(s.stsBar->Panels(1).Text(), QString());
        s.cmbDrawMode(0).setListIndex(2);
        s.cmdColor(0).button()->click();
        QCOMPARE(e.linDefault.DrawMode.get(), 13);
        QVERIFY(!e.booDrawChange);
    }

    void typedPitchStaysWithItsArea()
    {
        auto [e, s] = sheet();
        s.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        clickLabel(s, QStringLiteral("lblMensekiS"), 0);
        s.cmbPitch->SetFocus();
        type(*s.cmbPitch, QStringLiteral("8"), false);
        clickLabel(s, QStringLiteral("lblMensekiS"), 1);  // before the focus leaves the box
        QCOMPARE(GE_tpHatching[0].iPitch, qint16(8));
        QCOMPARE(GE_tpHatching[1].iPitch, qint16(4));
        QCOMPARE(s.cmbPitch->Text(), QStringLiteral("4"));
        s.cmbPitch->SetFocus();
        clickLabel(s, QStringLiteral("lblKeiroS"), 0);
        QCOMPARE(s.cmbPitch->Text(), QStringLiteral("ピッチ"));
        QCOMPARE(GE_tpHatching[1].iPitch, qint16(4));
    }
};

QTEST_MAIN(TestFrmPropaty)
#include "tst_frmpropaty.moc"
