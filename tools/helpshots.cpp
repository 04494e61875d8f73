// Draws the windows the help page shows into PNG files beside it: each
// toolbar button, the options window on each of its four tabs, the editor
// with a measured area, and the print window. It runs the program itself,
// offscreen, in a scratch program folder with a sample map, so the pictures
// are what the windows are in this build.
//
//     helpshots <Init.ini> <template master.mdb> <folder for the pictures>

#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "measure/frmOption.h"
#include "output/dlgPrinter.h"
#include "platform/application.h"
#include "platform/printer.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <cstdio>

namespace {

QString g_out;
bool g_failed = false;

void fail(const QString& why)
{
    std::fprintf(stderr, "helpshots: %s\n", qPrintable(why));
    g_failed = true;
}

void save(QWidget* widget, const QString& name)
{
    QCoreApplication::processEvents();
    if (!widget->grab().save(g_out + QLatin1Char('/') + name, "PNG"))
        fail(QStringLiteral("%1 not written").arg(name));
}

// Millimetres on the picture at 100 % to its pixels.
int px(double mm) { return qRound(mm * 96 / 25.4); }

// A small town plan: blocks between streets, a river, a park, a building.
void writeMap(const QString& path)
{
    QImage map(px(240), px(190), QImage::Format_RGB32);
    map.fill(QColor(0xf3, 0xef, 0xe4));
    QPainter p(&map);
    p.setRenderHint(QPainter::Antialiasing);
    const auto mm = [](double x, double y, double w, double h) { return QRectF(px(x), px(y), px(w), px(h)); };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xa9, 0xd1, 0xf0));
    QPolygonF river;
    for (double x = 0; x <= 240; x += 10)
        river << QPointF(px(x), px(150 + 8 * std::sin(x / 30)));
    for (double x = 240; x >= 0; x -= 10)
        river << QPointF(px(x), px(165 + 8 * std::sin(x / 30)));
    p.drawPolygon(river);
    p.setBrush(QColor(0xd8, 0xd2, 0xc2));
    for (const QRectF& block : {mm(10, 10, 60, 50), mm(85, 10, 70, 50), mm(170, 10, 60, 50), mm(10, 75, 60, 60),
                                mm(170, 75, 60, 60)})
        p.drawRect(block);
    p.setBrush(QColor(0xc6, 0xe3, 0xb5));
    p.drawRect(mm(85, 75, 70, 60));  // the park measured
    p.setBrush(QColor(0xb0, 0xa8, 0x98));
    for (const QRectF& house : {mm(15, 15, 20, 15), mm(40, 15, 25, 20), mm(90, 15, 30, 18), mm(175, 80, 22, 30),
                                mm(15, 80, 18, 25), mm(125, 20, 25, 30)})
        p.drawRect(house);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 11));
    p.drawText(mm(88, 78, 40, 8), Qt::AlignLeft, QStringLiteral("ねむのき公園"));
    p.drawText(mm(10, 138, 80, 8), Qt::AlignLeft, QStringLiteral("1/500"));
    p.end();
    map.save(path, "BMP");
}

enum Kind { Press, Move, Release };

void mouse(frmEdit& e, Kind kind, double x, double y)
{
    const QPoint pixel = e.pictMap->toDevice(x, y).toPoint() + QPoint(2, 2);
    if (kind == Press)
        QTest::mousePress(e.pictMap, Qt::LeftButton, Qt::NoModifier, pixel);
    else if (kind == Release)
        QTest::mouseRelease(e.pictMap, Qt::LeftButton, Qt::NoModifier, pixel);
    else {
        QMouseEvent move(QEvent::MouseMove, pixel, e.pictMap->mapToGlobal(pixel), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(e.pictMap, &move);
    }
}

void click(frmEdit& e, QPointF p)
{
    mouse(e, Press, p.x(), p.y());
    mouse(e, Release, p.x(), p.y());
}

void typeEnter(platform::TextBox& box, const QString& text)
{
    box.SetFocus();
    box.setText(text);
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
}

void press(platform::CommandButton* button) { QTest::mouseClick(button->button(), Qt::LeftButton); }

frmOption& options(frmEdit& e)
{
    e.mnuToolOpt->choose();
    // Its activation brings back the tab last in front: let it come first.
    QCoreApplication::processEvents();
    return platform::Instance<frmOption>::get();
}

void closeOptions(frmOption& o)
{
    press(o.cmdOK);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The calibration example of the page: 200 mm across are 100 m, 150 mm down 75 m.
void calibrate(frmEdit& e, frmOption& o)
{
    o.optUnitD(2).setValue(true);  // m and m2, two decimals
    o.optUnitS(2).setValue(true);
    o.vscDPointD->setValue(2);
    o.vscDPointS->setValue(2);
    typeEnter(*o.txtScale, QStringLiteral("500"));
    typeEnter(*o.txtHojoLen, QStringLiteral("10"));
    o.chkSnap->setValue(1);  // a polygon ended on its first corner closes
    o.SSTab->setTab(2);
    e.popDisX->choose();
    const char* across[] = {"20", "30", "220", "30", "200", "100"};
    for (int i = 0; i < 6; ++i)
        typeEnter(o.txtXY(i), QString::fromLatin1(across[i]));
    e.popDisY->choose();
    const char* down[] = {"20", "30", "20", "180", "150", "75"};
    for (int i = 0; i < 6; ++i)
        typeEnter(o.txtXY(6 + i), QString::fromLatin1(down[i]));
    press(o.cmdSettei);
    if (o.lblRecio(0).Caption() != QLatin1String("500.0"))
        fail(QStringLiteral("the example's scale is 1/%1, not 1/500.0").arg(o.lblRecio(0).Caption()));
}

// The park's outline, side by side: each side after the first begun by a
// click beside its corner, the last ended on the first corner.
void measurePark(frmEdit& e)
{
    e.Toolbar1->Buttons(QStringLiteral("scale")).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("scale")));
    e.popHatching_Click(4);
    e.popMesRenzoku_Click();
    const int before = e.lblMensekiS.UBound();
    const QPointF corners[] = {{85, 75}, {155, 75}, {155, 135}, {85, 135}, {85, 75}};
    const QPointF beside[] = {{}, {}, {150, 82}, {148, 130}, {90, 128}};
    click(e, corners[0]);
    for (int k = 1; k <= 4; ++k) {
        if (k > 1)
            click(e, beside[k]);
        mouse(e, Move, corners[k].x(), corners[k].y());
        click(e, corners[k]);
    }
    if (e.lblMensekiS.UBound() != before + 1)
        fail(QStringLiteral("the park's area was not measured"));
    e.Toolbar1->Buttons(QStringLiteral("select")).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(QStringLiteral("select")));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: helpshots <Init.ini> <template master.mdb> <folder for the pictures>\n");
        return 2;
    }
    const QString ini = QString::fromLocal8Bit(argv[1]), templ = QString::fromLocal8Bit(argv[2]);
    g_out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(g_out);

    platform::ScriptedUserInterface quiet;
    platform::setUi(&quiet);
    platform::TestPrinter printer;
    printer.name = QStringLiteral("プリンタ");
    platform::Printers::addTestPrinter(printer);

    // A scratch program folder: Init.ini, the template, a database and the map.
    QTemporaryDir program;
    const QString db = program.filePath(QStringLiteral("master.mdb"));
    if (!QFile::copy(ini, program.filePath(QStringLiteral("Init.ini"))) || !QFile::copy(templ, db))
        qFatal("helpshots: Init.ini or the template not found");
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(program.filePath(QStringLiteral("Init.ini")), QFile::ReadOwner | QFile::WriteOwner);
    platform::app::setPath(program.path());
    if (!mdlFileAccess::fncReadInitIni() || mdlDB::fncDbOpen(db) != 0)
        qFatal("helpshots: the scratch program folder does not open");
    GE_strTempPath = program.filePath(QStringLiteral("TEMP"));
    QDir().mkpath(GE_strTempPath);
    const QRect area = platform::app::workAreaTwips();
    GE_lngWorkArea = {area.left(), area.top(), area.height(), area.width()};

    const QString maps = program.filePath(QStringLiteral("地図"));
    QDir().mkpath(maps);
    writeMap(maps + QStringLiteral("/map.bmp"));
    typPrint drawing;
    drawing.strNo = QStringLiteral("0001");
    drawing.strName = QStringLiteral("ねむのき公園");
    drawing.strPath = maps;
    drawing.strFileName = QStringLiteral("map.bmp");
    drawing.datHizuke = QDateTime(QDate(2024, 4, 1), QTime(9, 0));
    if (mdlSQL::fncSQL_InsertPrint(drawing) != 0)
        qFatal("helpshots: no drawing stored");
    GE_tpPrint = typPrint{};
    GE_tpPrint.strNo = drawing.strNo;
    GE_tpPrint.strName = drawing.strName;
    GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(drawing.strNo);
    GE_sngZoom = 1.0f;

    frmEdit& e = platform::Instance<frmEdit>::get();
    e.show();
    for (int i = 1; i <= e.Toolbar1->ButtonCount(); ++i) {
        platform::ToolbarButton& button = e.Toolbar1->Buttons(i);
        if (!button.Key().isEmpty())
            save(e.Toolbar1->toolBar()->widgetForAction(button.action()), QStringLiteral("help-tool-%1.png").arg(button.Key()));
    }

    frmOption& o = options(e);
    calibrate(e, o);
    save(&o, QStringLiteral("help-option-distance.png"));
    o.SSTab->setTab(0);
    save(&o, QStringLiteral("help-option-general.png"));
    closeOptions(o);

    if (!GE_booSnap)
        fail(QStringLiteral("polygons do not close by themselves"));
    measurePark(e);
    // The status bar names the picture's folder; this run's scratch folder
    // has a random name under /tmp that no user's map lives in, so the
    // picture shows a folder as a user keeps one.
    e.stsBar->Panels(1).setText(QStringLiteral("/home/user/地図"));
    save(&e, QStringLiteral("help-editor-area.png"));
    e.stsBar->Panels(1).setText(maps);

    // The longitude/latitude tabs, in their mode: two corners of the map typed.
    frmOption& lonlat = options(e);
    lonlat.optMOde(1).setValue(true);
    lonlat.SSTab->setTab(1);
    save(&lonlat, QStringLiteral("help-option-tilt.png"));
    lonlat.SSTab->setTab(3);
    const char* points[] = {"20", "30", "220", "180"};
    for (int i = 0; i < 4; ++i)
        typeEnter((i < 2 ? lonlat.txtPict_mm1 : lonlat.txtPict_mm2)(i % 2), QString::fromLatin1(points[i]));
    const char* angles[4][3] = {{"139", "45", "0"}, {"35", "41", "0"}, {"139", "45", "4"}, {"35", "40", "56"}};
    for (int row = 0; row < 4; ++row) {
        for (int k = 0; k < 3; ++k)
            typeEnter(lonlat.angleBox(row, k), QString::fromLatin1(angles[row][k]));
    }
    press(lonlat.cmdCnv);
    save(&lonlat, QStringLiteral("help-option-lonlat.png"));
    lonlat.optMOde(0).setValue(true);
    closeOptions(lonlat);

    dlgPrinter& print = platform::Instance<dlgPrinter>::get();
    print.show();
    save(&print, QStringLiteral("help-print.png"));
    print.unload();

    for (const auto& box : quiet.boxes)
        fail(QStringLiteral("a box was shown: %1").arg(box.prompt));
    e.booDrawChange = e.booPrtChange = false;
    e.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    quiet.answerMsgBox(vb::vbNo);
    mdlDB::fncDbClose();
    platform::setUi(nullptr);
    return g_failed ? 1 : 0;
}
