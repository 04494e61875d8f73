// Importing a large drawing of the previous version: the objects
// benchmark's drawing (10,000 distances, 200 areas with their sides and
// four side distances each, 500 text labels) written as a previous-version
// data set with six-character ids, brought in by the editor's load (read,
// checked, repaired) and timed against the editor's load of the same
// drawing once saved, in the same run. Goal: the import within 3 x the load.
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "app/globals.h"
#include "bench/benchsupport.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "platform/application.h"
#include "platform/encoding.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace platform;

namespace {

using namespace bench;

constexpr int kDistances = 10000;
constexpr int kAreas = 200;
constexpr int kTexts = 500;
constexpr int kRuns = 3;
constexpr double kGoal = 3.0;

QString id6(int n) { return QStringLiteral("%1").arg(n % 1000000, 6, 10, QLatin1Char('0')); }

class DataSet {
public:
    void label(bool visible, const QString& caption, const QString& tag, float left, float top)
    {
        add({b(visible), caption, QString(), tag, n(top), n(left), "20", "4", "0", "1", "0", "16777215", "0",
             "ＭＳ Ｐゴシック", "9", "False", "False", "False", "False"});
    }
    void line(bool visible, const QString& tag, float x1, float y1, float x2, float y2)
    {
        add({b(visible), tag, n(x1), n(y1), n(x2), n(y2), "255", "1", "1", "13"});
    }
    void shape(bool visible, const QString& tag, float left, float top)
    {
        add({b(visible), tag, n(left), n(top), "1.5", "1.5", "16777215", "0", "0", "1", "0", "1", "13", "3", "1"});
    }
    bool save(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(encoding::encodeCp932(m_text)) > 0;
    }

private:
    static QString b(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }
    static QString n(float v) { return QString::number(double(v)); }
    void add(const QStringList& lines)
    {
        for (const QString& l : lines)
            m_text += l + QStringLiteral("\r\n");
    }
    QString m_text;
};

// Areas lie in a band below the distances; distance 4a + c is a side
// distance of area a, starting on the start of its side c.
void corner(int a, int c, float& x, float& y)
{
    x = float(a % 20) * 50 + (c == 1 || c == 2 ? 40 : 0);
    y = 1100 + float(a / 20) * 50 + (c >= 2 ? 40 : 0);
}

void writeDataSet(const QString& folder)
{
    DataSet text, lines, shapes;
    lines.line(false, QString(), 0, 0, 0, 0);  // no lead-out lines
    DataSet hojo, ds;
    for (int i = 0; i < kDistances; ++i) {
        float x = float(i % 100) * 10, y = float(i / 100) * 10;
        if (i < 4 * kAreas)
            corner(i / 4, i % 4, x, y);
        const QString id = id6(i);
        text.label(true, QStringLiteral("%1.25 m ").arg(i), QStringLiteral("021:%1.25_").arg(i) + id, x, y);
        ds.line(true, id, x, y + 3, x + 8, y + 3);
        hojo.line(true, id, x, y, x, y + 4);
        hojo.line(true, id, x + 8, y, x + 8, y + 4);
        shapes.shape(true, id, x - 0.75f, y - 0.75f);
        shapes.shape(true, id, x + 7.25f, y - 0.75f);
    }
    text.label(false, QString(), QString(), 0, 0);
    text.label(false, QString(), QString(), 0, 0);  // no routes
    DataSet sides;
    for (int a = 0; a < kAreas; ++a) {
        const QString id = id6(kDistances + a);
        float x, y;
        corner(a, 0, x, y);
        text.label(true, QStringLiteral("%1 m2").arg(a * 100), QStringLiteral("020:%1_").arg(a * 100) + id, x + 10, y + 10);
        for (int c = 0; c < 4; ++c) {
            float x1, y1, x2, y2;
            corner(a, c, x1, y1);
            corner(a, (c + 1) % 4, x2, y2);
            sides.line(true, QStringLiteral("_") + id, x1, y1, x2, y2);
        }
    }
    text.label(false, QString(), QString(), 0, 0);
    for (int t = 0; t < kTexts; ++t)
        text.label(true, QStringLiteral("文字列 %1").arg(t), QString(), float(t % 40) * 25, 1700 + float(t / 40) * 5);
    text.label(false, QString(), QString(), 0, 0);
    text.label(false, QString(), QString(), 0, 0);  // no positions
    hojo.line(false, QString(), 0, 0, 0, 0);
    ds.line(false, QString(), 0, 0, 0, 0);
    sides.line(false, QString(), 0, 0, 0, 0);
    shapes.shape(false, QString(), 0, 0);

    QFile ini(folder + QStringLiteral("/large.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(encoding::encodeCp932(QStringLiteral(
        "[データファイル名]\r\nfMei_MapImage=map.bmp\r\nText_Bin=T.txt\r\nLine_Bin=L.txt\r\nShape_Bin=S.txt\r\n"
        "[全般]\r\nGE_booModeDis=True\r\nGE_booModeKei=False\r\nGE_booSnap=True\r\nGE_booPrtCmt=False\r\n")));
    ini.close();
    text.save(folder + QStringLiteral("/T.txt"));
    // Lines in file order: lead-out lines, extension lines, dimension lines, sides.
    QFile l(folder + QStringLiteral("/L.txt"));
    l.open(QIODevice::WriteOnly);
    for (const DataSet* part : {&lines, &hojo, &ds, &sides}) {
        const QString tmp = folder + QStringLiteral("/part.txt");
        part->save(tmp);
        QFile p(tmp);
        p.open(QIODevice::ReadOnly);
        l.write(p.readAll());
    }
    l.close();
    shapes.save(folder + QStringLiteral("/S.txt"));
}

double best(const std::function<double()>& run) { return fastest(kRuns, run); }

}  // namespace

int main(int argc, char** argv)
{
    Session session(argc, argv);
    ScriptedUserInterface& quiet = session.quiet;
    const QTemporaryDir& folder = session.folder;
    const QString dbPath = copyTemplate(folder, QStringLiteral("bench.mdb"));
    editorSettings(folder);
    QImage(400, 300, QImage::Format_RGB32).save(folder.filePath(QStringLiteral("map.bmp")), "BMP");
    writeDataSet(folder.path());
    if (mdlDB::fncDbOpen(dbPath) != 0)
        qFatal("cannot open %s", qPrintable(dbPath));

    // The import: the start window leaves the settings file in the record.
    GE_strFolder = folder.path();
    const double import = best([&] {
        GE_tpPrint = typPrint();
        GE_tpPrint.Print_Id = -1;
        GE_tpPrint.strNo = QStringLiteral("IMPORT");
        GE_tpPrint.strPath = folder.path();
        GE_tpPrint.strFileName = QStringLiteral("large.ini");
        QElapsedTimer t;
        t.start();
        freshEditor();
        return t.nsecsElapsed() / 1e6;
    });
    frmEdit& imported = Instance<frmEdit>::get();
    if (imported.errImport)
        qFatal("the import failed: %s", qPrintable(imported.errImport->description()));
    if (imported.lblKyori.UBound() != kDistances || imported.linePS.UBound() != 4 * kAreas
        || imported.lblKyori(0).Tag.right(12) != imported.linePS(0).Tag.right(12))
        qFatal("the import came back wrong");
    if (!imported.fncSave_Drawing())
        qFatal("the save failed: %s", qPrintable(quiet.last().prompt));
    const typPrint stored = GE_tpPrint;

    const double load = best([&] {
        GE_tpPrint = stored;
        QElapsedTimer t;
        t.start();
        freshEditor();
        return t.nsecsElapsed() / 1e6;
    });
    if (Instance<frmEdit>::get().lblKyori.UBound() != kDistances)
        qFatal("the load came back short");

    std::printf("%d distances (%d of them side distances), %d areas, %d text labels; best of %d runs\n", kDistances,
                4 * kAreas, kAreas, kTexts, kRuns);
    std::printf("  %-44s %9.1f ms\n", "editor load of the saved drawing", load);
    std::printf("  %-44s %9.1f ms  %5.2f x load  (goal <= %.0f x: %s)\n", "editor load importing the data set",
                import, import / load, kGoal, import <= kGoal * load ? "met" : "NOT MET");
    freshEditor().unload();
    GE_booDbUpdate = false;
    mdlDB::fncDbClose();
    return 0;
}
