// Saving and loading a large drawing's objects: 10,000 distance objects
// (a label, a dimension line, two extension lines and two end markers each),
// 200 hatched areas and 500 text labels. The save, the commit, and the load
// with and without the hatching's regeneration are timed against what SQLite
// itself takes to insert and read back the same rows with prepared
// statements in one transaction, measured in the same run. Then one large
// area, 1,000 sides over an A0 sheet, is hatched at a pitch of 1 mm and
// stored in its cache file. Last, the loaded drawing at a zoom
// (bench/objects_zoom.h).
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "app/globals.h"
#include "bench/interaction_drawing.h"
#include "bench/objects_zoom.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "objects/hatchgen.h"
#include "platform/application.h"
#include "platform/elements.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

using namespace platform;

namespace {

using namespace bench;

constexpr int kDistances = 10000;
constexpr int kAreas = 200;
constexpr int kTexts = 500;
constexpr int kRuns = 3;
constexpr double kGoal = 3.0;

double best(const std::function<double()>& run) { return fastest(kRuns, run); }

using benchdrawing::groupId;
using benchdrawing::line;
using benchdrawing::next;

void label(LabelElement& l, int n, const QString& caption, const QString& tag)
{
    l.Caption = caption;
    l.Tag = tag;
    l.ToolTipText = n % 5 == 0 ? QStringLiteral("注記, 'その%1'").arg(n) : QString();
    l.Left = float(n % 400) * 2.5f;
    l.Top = float(n / 400) * 4.25f;
    l.FontName = QStringLiteral("ＭＳ Ｐゴシック");
    l.FontSize = 9;
}

// The drawing, built in the editor's arrays as the measuring tools leave it.
void build(frmEdit& e)
{
    for (int i = 0; i < kDistances; ++i) {
        const QString id = groupId(i);
        const float x = float(i % 100) * 10, y = float(i / 100) * 10;
        label(next(e.lblKyori, i), i, QStringLiteral("%1.25 m ").arg(i), QStringLiteral("021:%1.25_").arg(i) + id);
        line(next(e.lineDsSave, i), x, y + 3, x + 8, y + 3, id);
        line(next(e.lineHojoSave, 2 * i), x, y, x, y + 4, id);
        line(next(e.lineHojoSave, 2 * i + 1), x + 8, y, x + 8, y + 4, id);
        for (int j = 2 * i; j <= 2 * i + 1; ++j) {
            ShapeElement& s = next(e.shpSnpo, j);
            s.Move(x + float(j % 2) * 8 - 0.75f, y - 0.75f, 1.5f, 1.5f);
            s.Tag = id;
        }
    }
    next(e.lblKyori, kDistances).Visible = false;
    next(e.lineDsSave, kDistances).Visible = false;
    next(e.lineHojoSave, 2 * kDistances).Visible = false;
    next(e.shpSnpo, 2 * kDistances).Visible = false;

    GE_tpHatching.clear();
    int side = 0;
    for (int a = 0; a < kAreas; ++a) {
        const QString tag = QStringLiteral("020:%1_").arg(a * 100) + groupId(kDistances + a);
        const float x = float(a % 20) * 50, y = 1100 + float(a / 20) * 50;
        label(next(e.lblMensekiS, a), a, QStringLiteral("%1 m2").arg(a * 100), tag);
        const float corners[][2] = {{x, y}, {x + 40, y}, {x + 40, y + 40}, {x, y + 40}};
        for (int c = 0; c < 4; ++c)
            line(next(e.linePS, side++), corners[c][0], corners[c][1], corners[(c + 1) % 4][0], corners[(c + 1) % 4][1], tag);
        typHatching h;
        h.iStyle = qint16(1 + a % 6);
        h.iPitch = 4;
        h.iTilt = 45;
        h.BorderColor = 0xFF;
        h.BorderWidth = 1;
        h.DrawMode = 13;
        h.Tag = tag.right(12);
        GE_tpHatching.append(h);
    }
    next(e.lblMensekiS, kAreas).Visible = false;
    next(e.linePS, side).Visible = false;
    GE_tpHatching.append(typHatching());
    for (int t = 0; t < kTexts; ++t)
        label(next(e.lblMoji, t), t, QStringLiteral("文字列 %1").arg(t), QString());
}

// --- the floor: the same rows through prepared statements -----------------------

struct Floor {
    sqlite3* db = nullptr;
    void exec(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

void bindText(sqlite3_stmt* s, int i, const QString& text)
{
    if (text.isEmpty()) {
        sqlite3_bind_null(s, i);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

double floorInsert(Floor& f, const frmEdit& e, qint32 id)
{
    sqlite3_stmt *lab = nullptr, *lin = nullptr, *shp = nullptr, *hat = nullptr;
    QElapsedTimer timer;
    timer.start();
    f.exec("BEGIN");
    f.exec("DELETE FROM tLabel; DELETE FROM tLine; DELETE FROM tShape; DELETE FROM tHatching");
    sqlite3_prepare_v2(f.db, "INSERT INTO tLabel VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &lab, nullptr);
    sqlite3_prepare_v2(f.db, "INSERT INTO tLine VALUES (?,?,?,?,?,?,?,?,?,?,?,?)", -1, &lin, nullptr);
    sqlite3_prepare_v2(f.db, "INSERT INTO tShape VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &shp, nullptr);
    sqlite3_prepare_v2(f.db, "INSERT INTO tHatching VALUES (?,?,?,?,?,?,?,?,?,?,?)", -1, &hat, nullptr);
    for (const auto* a : {&e.lblKyori, &e.lblKeiroS, &e.lblMensekiS, &e.lblMoji, &e.lblKeiIdoS}) {
        int n = 0;
        for (int k = 0; k <= a->UBound(); ++k) {
            const LabelElement& l = (*a)(k);
            if (!l.Visible)
                continue;
            sqlite3_bind_int(lab, 1, id);
            bindText(lab, 2, l.Name);
            sqlite3_bind_int(lab, 3, n++);
            bindText(lab, 4, l.Caption.get().trimmed());
            bindText(lab, 5, l.ToolTipText.get().trimmed());
            bindText(lab, 6, l.Tag.trimmed());
            sqlite3_bind_int(lab, 7, l.Alignment);
            sqlite3_bind_int(lab, 8, l.Appearance);
            sqlite3_bind_double(lab, 9, l.Left);
            sqlite3_bind_double(lab, 10, l.Top);
            sqlite3_bind_double(lab, 11, l.FontSize);
            sqlite3_bind_int(lab, 12, l.FontBold ? -1 : 0);
            sqlite3_bind_int(lab, 13, l.FontItalic ? -1 : 0);
            bindText(lab, 14, l.FontName);
            sqlite3_bind_int(lab, 15, l.FontUnderline ? -1 : 0);
            sqlite3_bind_int(lab, 16, l.FontStrikethrough ? -1 : 0);
            sqlite3_bind_int(lab, 17, l.ForeColor);
            sqlite3_bind_int(lab, 18, l.BackColor);
            sqlite3_bind_int(lab, 19, l.BackStyle);
            sqlite3_bind_int(lab, 20, l.BorderStyle);
            sqlite3_step(lab);
            sqlite3_reset(lab);
        }
    }
    for (const auto* a : {&e.lineHikidashi, &e.lineHojoSave, &e.lineDsSave, &e.linePS}) {
        int n = 0;
        for (int k = 0; k <= a->UBound(); ++k) {
            const LineElement& l = (*a)(k);
            if (!l.Visible)
                continue;
            bindText(lin, 1, l.Name);
            sqlite3_bind_int(lin, 2, id);
            sqlite3_bind_int(lin, 3, n++);
            bindText(lin, 4, l.Tag.trimmed());
            sqlite3_bind_double(lin, 5, l.X1);
            sqlite3_bind_double(lin, 6, l.Y1);
            sqlite3_bind_double(lin, 7, l.X2);
            sqlite3_bind_double(lin, 8, l.Y2);
            sqlite3_bind_int(lin, 9, l.BorderColor);
            sqlite3_bind_int(lin, 10, l.BorderStyle);
            sqlite3_bind_int(lin, 11, l.BorderWidth);
            sqlite3_bind_int(lin, 12, l.DrawMode);
            sqlite3_step(lin);
            sqlite3_reset(lin);
        }
    }
    for (const auto* a : {&e.shpShape, &e.shpSnpo}) {
        int n = 0;
        for (int k = 0; k <= a->UBound(); ++k) {
            const ShapeElement& s = (*a)(k);
            if (!s.Visible)
                continue;
            bindText(shp, 1, s.Name);
            sqlite3_bind_int(shp, 2, id);
            sqlite3_bind_int(shp, 3, n++);
            bindText(shp, 4, s.Tag.trimmed());
            sqlite3_bind_double(shp, 5, s.Left);
            sqlite3_bind_double(shp, 6, s.Top);
            sqlite3_bind_double(shp, 7, s.Width());
            sqlite3_bind_double(shp, 8, s.Height());
            const int numbers[] = {s.BackColor, s.BackStyle, s.BorderColor, s.BorderStyle, s.BorderWidth,
                                   s.FillColor, s.FillStyle, s.Shape,     s.DrawMode};
            for (int c = 0; c < 9; ++c)
                sqlite3_bind_int(shp, 9 + c, numbers[c]);
            sqlite3_step(shp);
            sqlite3_reset(shp);
        }
    }
    for (int k = 0; k + 1 < GE_tpHatching.size(); ++k) {
        const typHatching& h = GE_tpHatching[k];
        sqlite3_bind_int(hat, 1, id);
        sqlite3_bind_int(hat, 2, k);
        bindText(hat, 3, h.Tag);
        const int numbers[] = {h.BorderStyle, h.BorderWidth, h.DrawMode, h.iPitch,
                               h.iStyle,      h.iTilt,       h.iUbound,  h.BorderColor};
        for (int c = 0; c < 8; ++c)
            sqlite3_bind_int(hat, 4 + c, numbers[c]);
        sqlite3_step(hat);
        sqlite3_reset(hat);
    }
    for (sqlite3_stmt* s : {lab, lin, shp, hat})
        sqlite3_finalize(s);
    const double ms = milliseconds(timer);
    f.exec("COMMIT");
    return ms;
}

// Every row of every array read back, every column taken out.
double floorRead(Floor& f, qint32 id)
{
    const std::pair<const char*, const char*> arrays[] = {
        {"tLabel", "lblKyori"},      {"tLabel", "lblKeiroS"},     {"tLabel", "lblMensekiS"}, {"tLabel", "lblMoji"},
        {"tLabel", "lblKeiIdoS"},    {"tLine", "lineHikidashi"},  {"tLine", "lineHojoSave"}, {"tLine", "lineDsSave"},
        {"tLine", "linePS"},         {"tShape", "shpSnpo"},       {"tShape", "shpShape"},    {"tHatching", nullptr}};
    QElapsedTimer timer;
    timer.start();
    double sink = 0;
    for (const auto& [table, name] : arrays) {
        const QByteArray sql = QByteArray("SELECT * FROM ") + table + " WHERE "
            + (name ? "strObjName = ? AND " : "") + "Print_ID = ? ORDER BY intIndex";
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(f.db, sql.constData(), -1, &s, nullptr);
        int p = 1;
        if (name)
            sqlite3_bind_text(s, p++, name, -1, SQLITE_STATIC);
        sqlite3_bind_int(s, p, id);
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                if (sqlite3_column_type(s, c) == SQLITE_TEXT)
                    sink += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c))).size();
                else
                    sink += sqlite3_column_double(s, c);
            }
        }
        sqlite3_finalize(s);
    }
    const double ms = milliseconds(timer);
    if (sink == 0)
        std::printf("(nothing read)\n");
    return ms;
}

// --- one large hatched area ------------------------------------------------------

constexpr int kLargeSides = 1000;
constexpr float kSheetWidth = 841, kSheetHeight = 1189;  // A0, millimetres

// A closed outline over the whole sheet with twenty bays, so that a scan
// line may cross up to ten sides, not just two.
std::vector<mdlHatching::HatchSide> largeArea()
{
    std::vector<mdlHatching::HatchSide> sides;
    const double cx = kSheetWidth / 2.0, cy = kSheetHeight / 2.0;
    auto corner = [&](int i) {
        const double t = 2 * std::numbers::pi * i / kLargeSides;
        const double r = 0.85 + 0.15 * std::cos(20 * t);
        return std::pair{float(cx + cx * r * std::cos(t)), float(cy + cy * r * std::sin(t))};
    };
    for (int i = 0; i < kLargeSides; ++i) {
        const auto [x1, y1] = corner(i);
        const auto [x2, y2] = corner((i + 1) % kLargeSides);
        sides.push_back({x1, y1, x2, y2});
    }
    return sides;
}

void report(const char* what, double ms, double floor)
{
    std::printf("  %-44s %9.1f ms  %5.2f x floor  (goal <= %.0f x: %s)\n", what, ms, ms / floor, kGoal,
                ms <= kGoal * floor ? "met" : "NOT MET");
}

}  // namespace

int main(int argc, char** argv)
{
    Session session(argc, argv);
    ScriptedUserInterface& quiet = session.quiet;
    const QTemporaryDir& folder = session.folder;
    const QString dbPath = copyTemplate(folder, QStringLiteral("bench.mdb"));
    const QString floorPath = copyTemplate(folder, QStringLiteral("floor.mdb"));
    editorSettings(folder);
    QImage(400, 300, QImage::Format_RGB32).save(folder.filePath(QStringLiteral("map.bmp")), "BMP");

    if (mdlDB::fncDbOpen(dbPath) != 0)
        qFatal("cannot open %s", qPrintable(dbPath));
    typPrint print;
    print.strNo = QStringLiteral("BENCH");
    print.strName = QStringLiteral("大きな図面");
    print.strPath = folder.path();
    print.strFileName = QStringLiteral("map.bmp");
    GE_sngPictAdj = 1.0f;
    mdlSQL::fncSQL_InsertPrint(print);
    GE_tpPrint = print;
    GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(print.strNo);
    const qint32 id = GE_tpPrint.Print_Id;

    QElapsedTimer timer;
    timer.start();
    frmEdit& editor = freshEditor();
    build(editor);
    std::printf("drawing built in the editor in %.0f ms\n", milliseconds(timer));

    // The save (record, objects, printer settings under one savepoint), best
    // of three: each replaces the rows of the one before.
    const double save = best([&] {
        QElapsedTimer t;
        t.start();
        if (!editor.fncSave_Drawing())
            qFatal("the save failed: %s", qPrintable(quiet.last().prompt));
        return milliseconds(t);
    });
    timer.restart();
    GE_objConnection->commitTrans();
    const double commit = milliseconds(timer);
    GE_objConnection->beginTrans();

    // The floor, in a database file of its own.
    Floor f;
    sqlite3_open(floorPath.toUtf8().constData(), &f.db);
    const double floorSave = best([&] { return floorInsert(f, editor, id); });
    const double floorLoad = best([&] { return floorRead(f, id); });
    sqlite3_close(f.db);

    // Reopen the database, then load into fresh editors.
    mdlDB::fncDbClose();
    mdlDB::fncDbOpen(dbPath);
    GE_tpPrint.Print_Id = 0;  // a fresh window with nothing loaded
    const auto load = [&](bool regenerate) {
        return best([&] {
            frmEdit& e = freshEditor();
            QElapsedTimer t;
            t.start();
            e.subLoad_Label(id);
            e.subLoad_Line(id);
            e.subLoad_Shape(id);
            if (regenerate)
                e.subLoad_Hatching(id);
            else
                e.subLoad_HatchingRecords(id);
            return milliseconds(t);
        });
    };
    const double loadPlain = load(false);
    const double loadHatched = load(true);
    frmEdit& loaded = Instance<frmEdit>::get();
    if (loaded.lblKyori.UBound() != kDistances || loaded.shpSnpo.UBound() != 2 * kDistances
        || GE_tpHatching.size() != kAreas + 1)
        qFatal("the load came back short");

    const int rows = kDistances * 6 + kAreas * 6 + kTexts;
    std::printf("\n%d distances, %d hatched areas, %d text labels: %d rows; best of %d runs\n", kDistances, kAreas,
                kTexts, rows, kRuns);
    std::printf("  %-44s %9.1f ms\n", "floor: prepared inserts, one transaction", floorSave);
    std::printf("  %-44s %9.1f ms\n", "floor: prepared reads of every column", floorLoad);
    report("save (record, objects, printer; savepoint)", save, floorSave);
    std::printf("  %-44s %9.1f ms\n", "commit", commit);
    report("load without hatching regeneration", loadPlain, floorLoad);
    report("load with hatching regeneration", loadHatched, floorLoad);

    // Crossed at 45 degrees, the style that scans the area twice.
    const std::vector<mdlHatching::HatchSide> area = largeArea();
    typHatching large;
    large.iStyle = 6;
    large.iPitch = 1;
    large.iTilt = 45;
    qsizetype segments = 0;
    const double hatch = best([&] {
        QElapsedTimer t;
        t.start();
        segments = mdlHatching::fncHatching_Store(area, large, groupId(99999999), 1.0f);
        return milliseconds(t);
    });
    if (segments <= 0)
        qFatal("the large area got no hatching");
    std::printf("\none area of %d sides over an A0 sheet (%.0f x %.0f mm), crossed at pitch 1 mm; best of %d runs\n",
                kLargeSides, double(kSheetWidth), double(kSheetHeight), kRuns);
    std::printf("  %-44s %9.1f ms  %lld segments\n", "hatched and stored (fncHatching_Store)", hatch,
                static_cast<long long>(segments));

    objectszoom::run(loaded, folder.path());

    freshEditor().unload();
    GE_booDbUpdate = false;
    mdlDB::fncDbClose();
    return 0;
}
