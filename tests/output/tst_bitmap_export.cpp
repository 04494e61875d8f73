// The map burnt with its objects and saved as a BMP.
#include "measure/hatchcache.h"
#include "output/imageexport.h"
#include "output/shapedraw.h"
#include "tests/editor/editorfixture.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QFileDialog>
#include <QtTest>

using namespace editortest;
using platform::DrawCommand;

namespace {

const QString Key = QStringLiteral("150102030405");
constexpr double kPx = 96.0 / 25.4;  // device pixels per map millimetre

quint32 le32(const QByteArray& b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

bool near(QPointF a, QPointF b)
{
    return std::abs(a.x() - b.x()) < 1e-3 && std::abs(a.y() - b.y()) < 1e-3;
}

}  // namespace

class TestBitmapExport : public QObject {
    Q_OBJECT
    Session s;
    QTemporaryDir m_temp;

    frmEdit& openOn(QSize size)
    {
        writePicture(s.fx->dir.path(), QStringLiteral("map.bmp"), size);
        if (s.fx->storeDrawing(QStringLiteral("B-1"), s.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        GE_strTempPath = m_temp.path();
        return Fixture::open();
    }

    static std::vector<DrawCommand> drawn(frmEdit& e)
    {
        e.pictMap->Cls();
        e.subWrightImage(*e.pictMap);
        return e.pictMap->commands();
    }

private slots:
    void init()
    {
        QVERIFY(s.begin());
        GE_sngZoom = 1.0f;
        GE_booPrtCmt = false;
    }
    void cleanup()
    {
        s.end();
        GE_tpHatching.clear();
        GE_sngZoom = 1.0f;
        GE_booPrtCmt = false;
        mdlImageExport::failAt = nullptr;
        mdlImageExport::stripRows = 0;
    }

    void shapesMarksAndHatching()
    {
        frmEdit& e = openOn(QSize(400, 300));
        // A coloured, filled square, an oval, an oval of width 0 (left out),
        // then the spare.
        const int boxes[3][5] = {{60, 40, 24, 8, 1}, {10, 10, 30, 12, 2}, {0, 0, 0, 12, 2}};
        for (int k = 0; k <= 3; ++k) {
            if (k > 0)
                e.shpShape.Load(k);
            if (k < 3) {
                e.shpShape(k).Move(boxes[k][0], boxes[k][1], boxes[k][2], boxes[k][3]);
                e.shpShape(k).Shape = boxes[k][4];
                e.shpShape(k).Visible = true;
            }
        }
        platform::ShapeElement& square = e.shpShape(0);
        square.BackStyle = 1, square.BackColor = 0x00FFFF, square.BorderColor = 0xFF0000;
        square.FillStyle = 0, square.FillColor = 0x00FF00;
        auto cmds = drawn(e);
        QCOMPARE(int(cmds.size()), 4);  // the square's background, its border twice, the oval
        QVERIFY(near(cmds[0].rect.topLeft() / kPx, {68, 40}) && near(cmds[0].rect.bottomRight() / kPx, {76, 48}));
        QVERIFY(cmds[0].color == 0x00FFFF && cmds[0].filledWithPen);
        QVERIFY(cmds[2].color == 0xFF0000 && cmds[2].fillColor == 0x00FF00 && cmds[2].fillStyle == 0);
        QCOMPARE(int(cmds[3].kind), int(DrawCommand::Ellipse));
        QVERIFY(near(cmds[3].rect.center() / kPx, {25, 16}));
        QVERIFY(near(QPointF(cmds[3].rect.width(), cmds[3].rect.height()) / kPx, {30, 12}));  // r 15, aspect 0.4
        for (int k = 0; k <= 3; ++k)
            e.shpShape(k).Visible = false;

        // Distance 1: its marks take the look of markers 2 and 3.
        for (int k = 0; k <= 2; ++k) {
            if (!e.lineDsSave.exists(k))
                e.lineDsSave.Load(k);
            e.lineDsSave(k).Visible = k < 2;
        }
        e.lineDsSave(1).X1 = 10, e.lineDsSave(1).Y1 = 20, e.lineDsSave(1).X2 = 50, e.lineDsSave(1).Y2 = 20;
        for (int k = 0; k <= 4; ++k) {
            if (!e.shpSnpo.exists(k))
                e.shpSnpo.Load(k);
            e.shpSnpo(k).Visible = k < 4;
            e.shpSnpo(k).setWidth(2);
        }
        e.shpSnpo(2).FillStyle = 0, e.shpSnpo(2).FillColor = 0x0000FF;
        e.shpSnpo(3).FillStyle = 1;
        // Zoom 2: stored hatch segments are doubled.
        GE_sngZoom = 2.0f;
        e.lblMensekiS(0).Tag = QStringLiteral("112:30.25_") + Key;
        e.lblMensekiS(0).Visible = true;
        e.lblMensekiS.Load(1);
        typHatching h;
        h.iStyle = 1, h.iUbound = 3, h.Tag = Key;  // the file holds one segment only
        GE_tpHatching = {h, typHatching{}};
        mdlFileAccess::subPut_Bin(Key, h, {typHatchLine{5, 15, 7, 7}});
        cmds = drawn(e);
        // line 0, mark, mark, line 1, mark, mark, one hatch segment, then the area label
        QCOMPARE(int(cmds[4].kind), int(DrawCommand::Ellipse));
        QCOMPARE(cmds[4].fillStyle, 0);
        QCOMPARE(cmds[4].fillColor, 0x0000FF);
        QVERIFY(near(cmds[4].rect.center() / kPx, {10, 20}));
        QCOMPARE(cmds[5].fillStyle, 1);
        QVERIFY(near(cmds[5].rect.center() / kPx, {50, 20}));
        QCOMPARE(int(cmds[6].kind), int(DrawCommand::Segment));
        QVERIFY(near(cmds[6].p1 / kPx, {10, 14}) && near(cmds[6].p2 / kPx, {30, 14}));
        QCOMPARE(int(cmds[7].kind), int(DrawCommand::Box));
    }

    void labels()
    {
        frmEdit& e = openOn(QSize(400, 300));
        GE_booPrtCmt = true;
        platform::LabelElement& position = e.lblKeiIdoS(0);
        position.Move(10, 30);
        position.FontSize = 12, position.Caption = QStringLiteral("東"), position.ToolTipText = QStringLiteral("1,2");
        position.Visible = true;
        for (platform::LabelElement* l : {&e.lblKeiIdoS(0), &e.lblKyori(0), &e.lblMoji(0)})
            l->BackStyle = 0;
        platform::LabelElement& framed = e.lblKyori(0);
        framed.Move(20, 15);
        framed.BorderStyle = 1, framed.Appearance = 1, framed.Visible = true;
        framed.Caption = QStringLiteral("12.5m"), framed.ToolTipText = QStringLiteral("北側");
        e.lblKyori.Load(1);
        e.lblMoji(0).Visible = true;  // a text label: never a comment line
        auto cmds = drawn(e);
        // Distance label: 8 frame lines, caption, comment; text label: caption; position: caption, comment.
        QCOMPARE(int(cmds.size()), 8 + 2 + 1 + 2);
        QCOMPARE(cmds[0].color, 0x404040);
        QVERIFY(near(cmds[0].p1, QPointF(20, 15) * kPx - QPointF(2, 2) * (30.0 / 56.7 * kPx / 2)));
        QCOMPARE(cmds[6].color, 0xFFFFFF);
        QVERIFY(std::abs(cmds.back().rect.top() / kPx - (30 + 12 * 0.352777755)) < 1e-3);
        // The empty first text label of a fresh drawing and hidden labels stay out.
        e.lblMoji(0).Visible = false;
        QCOMPARE(int(drawn(e).size()), 8 + 2 + 2);
    }

    void bmpFile_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("strip");
        QTest::addColumn<QSize>("bitmap");
        QTest::addColumn<int>("row");
        QTest::newRow("400x300") << QSize(400, 300) << 1.0f << 0 << QSize(400, 300) << 1200;
        QTest::newRow("50 %") << QSize(400, 300) << 0.5f << 0 << QSize(200, 150) << 600;
        QTest::newRow("401 wide, strips of 7") << QSize(401, 300) << 1.0f << 7 << QSize(401, 300) << 1204;
        // One strip larger than the pieces the file is written in, and than
        // the step at which it starts on its way to the disk.
        QTest::newRow("9 MB in one strip") << QSize(1801, 1700) << 1.0f << 0 << QSize(1801, 1700) << 5404;
    }
    void bmpFile()
    {
        QFETCH(QSize, picture);
        QFETCH(float, zoom);
        QFETCH(int, strip);
        QFETCH(QSize, bitmap);
        QFETCH(int, row);
        frmEdit& e = openOn(picture);
        GE_sngZoom = zoom;
        e.sZoom(zoom);
        e.lblKeiIdoS(0).Caption = QStringLiteral("位置");
        e.lblKeiIdoS(0).Visible = true;
        e.shpShape(0).Visible = false;  // the spare
        mdlImageExport::stripRows = strip;
        const QString path = m_temp.filePath(QStringLiteral("out.bmp"));
        e.subSave_Bitmap(path);
        const QByteArray bytes = testsupport::fileBytes(path);
        QCOMPARE(bytes.size(), 54 + row * bitmap.height());
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE(le32(bytes, 2), quint32(bytes.size()));
        QCOMPARE(le32(bytes, 18), quint32(bitmap.width()));
        QCOMPARE(le32(bytes, 22), quint32(bitmap.height()));
        QImage read;
        QVERIFY(read.loadFromData(bytes, "BMP"));
        // The whole box as burnt, elements left out.
        const QImage whole = e.pictMap->renderArea(QRect(QPoint(0, 0), bitmap), false);
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), whole);
        QVERIFY(e.lblKeiIdoS(0).Visible && !e.lblMoji(0).Visible && !e.shpShape(0).Visible);
    }

    // Burning fails, or the disk takes only part of the file (larger than
    // Qt's buffer, or its last strip held there until the final flush).
    void failedExportChangesNothing_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("error");
        QTest::newRow("burning fails") << QSize(100, 80) << -1LL << int(vb::errOverflow);
        QTest::newRow("limit below the file") << QSize(100, 80) << testsupport::QtBufferSize
                                              << int(vb::errPathFileAccess);
        QTest::newRow("limit below Qt's buffer") << QSize(40, 30) << 1000LL << int(vb::errPathFileAccess);
    }
    void failedExportChangesNothing()
    {
        QFETCH(QSize, picture);
        QFETCH(qint64, limit);
        QFETCH(int, error);
        frmEdit& e = openOn(picture);
        e.lblKeiIdoS(0).Caption = QStringLiteral("位置");
        e.lblKeiIdoS(0).Visible = true;
        QVERIFY(QDir(m_temp.path()).mkpath(QStringLiteral("fail")));
        const QString path = m_temp.filePath(QStringLiteral("fail/old.bmp"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an older bitmap") == 15);
        old.close();
        if (limit < 0)
            mdlImageExport::failAt = [] { vb::raise(vb::errOverflow); };
        const auto save = [&] { return int(testsupport::errorOf([&] { e.subSave_Bitmap(path); })); };
        QCOMPARE(limit < 0 ? save() : testsupport::withFileSizeLimit(limit, save), error);
        QCOMPARE(testsupport::fileBytes(path), QByteArray("an older bitmap"));
        QVERIFY(e.lblKeiIdoS(0).Visible && !e.lblMoji(0).Visible);
        QCOMPARE(QDir(m_temp.filePath(QStringLiteral("fail"))).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.bmp")});
    }

    void command()
    {
        frmEdit& e = openOn(QSize(100, 80));
        platform::ScriptedUserInterface& ui = s.quiet->get();
        ui.answerFile(std::nullopt);
        e.mnuFileSaveAsImg_Click();
        QCOMPARE(ui.count(), 0);
        QVERIFY(e.isEnabled());
        // A failure while burning: the box names the command, the old file stays.
        QVERIFY(QDir(m_temp.path()).mkpath(QStringLiteral("cmd")));
        const QString path = m_temp.filePath(QStringLiteral("cmd/map.bmp"));
        e.subSave_Bitmap(path);
        const QByteArray old = testsupport::fileBytes(path);
        e.lblMoji(0).Visible = true;
        mdlImageExport::failAt = [] { vb::raise(vb::errOverflow); };
        ui.answerFile(path);
        e.mnuFileSaveAsImg_Click();
        QCOMPARE(testsupport::fileBytes(path), old);
        QVERIFY(ui.last().prompt.startsWith(QStringLiteral("mnuFileSaveAsImg_Click():ｴﾗｰ番号 6 ")));
        QVERIFY(e.isEnabled() && e.lblMoji(0).Visible);
        mdlImageExport::failAt = nullptr;

        // The name proposed is the drawing's own, where the last file went,
        // not the name of the list saved last; one a file can't be named
        // with is made fit.
        QVERIFY(QDir(m_temp.path()).mkpath(QStringLiteral("lists")));
        const QString list = m_temp.filePath(QStringLiteral("lists/area.csv"));
        ui.answerFile(list);
        e.mnuFileSaveCsvMen_Click();
        QVERIFY(QFile::exists(list));
        for (const auto& [name, file] : {std::pair{QStringLiteral("試験図面"), QStringLiteral("試験図面.bmp")},
                                         std::pair{QStringLiteral("区画 1/2"), QStringLiteral("区画 1_2.bmp")}}) {
            GE_tpPrint.strName = name;
            ui.answerFile(std::nullopt);
            e.mnuFileSaveAsImg_Click();
            QCOMPARE(ui.last().title, QStringLiteral("ビットマップファイル保存"));
            QCOMPARE(e.dlgFile.FileName, m_temp.filePath(QStringLiteral("lists/") + file));
        }
        QVERIFY(ui.unexpected.isEmpty());
    }

    void saveDialogAsksForTheFinalName()
    {
        platform::FileDialogRequest request;
        request.title = QStringLiteral("ビットマップファイル保存");
        request.filter = QStringLiteral("(*.bmp)|*.bmp");
        request.defaultExt = QStringLiteral("bmp");
        const auto dialog = platform::saveDialogFor(request);
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("bmp"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
    }
};

QTEST_MAIN(TestBitmapExport)
#include "tst_bitmap_export.moc"
