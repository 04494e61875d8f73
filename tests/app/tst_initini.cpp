#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "platform/application.h"
#include "platform/inifile.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QLocale>
#include <QTest>
#include <clocale>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace mdlFileAccess;

namespace {

enum Table { MMToO, OToMD, MToOD, OToMS, MToOS };

const std::array<double, UnitCount>& table(int which)
{
    switch (which) {
    case MMToO: return GE_dblChgMMToO;
    case OToMD: return GE_dblChgOToMD;
    case MToOD: return GE_dblChgMToOD;
    case OToMS: return GE_dblChgOToMS;
    default: return GE_dblChgMToOS;
    }
}

bool nearlyEqual(double a, double b) { return std::fabs(a - b) <= 1e-15 * std::fmax(std::fabs(a), std::fabs(b)); }

}  // namespace

class TestInitIni : public QObject {
    Q_OBJECT

private slots:
    void missingIniStopsWithMessage();
    void installedUnitNames_data();
    void installedUnitNames();
    void installedFactors_data();
    void installedFactors();
    void factorTablesAgree();
    void factorsIgnoreLocale();
    void getIni();
    void putIniNeedsKeyAndValue();
    void programFolderAtRoot();
};

void TestInitIni::missingIniStopsWithMessage()
{
    testsupport::ProgramFolder folder(true, true, false);
    platform::ScopedScriptedUi ui;
    QVERIFY(!fncReadInitIni());
    QCOMPARE(ui->count(), 1);
    const QString path = folder.path() + u"/Init.ini"_s;
    QCOMPARE(ui->last().prompt, u"初期設定ファイル\r\n"_s + path +
                                    u"\r\nが見つかりませんでした。\r\nインストールをやり直してください。\r\n"_s);
    QCOMPARE(ui->last().title, u"初期設定ファイル異常"_s);
    QCOMPARE(ui->last().style, int(vb::vbCritical | vb::vbOKOnly));
}

void TestInitIni::installedUnitNames_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("area");
    const char* distance[] = {"mm", "cm", "m", "km", "in.", "ft.", "yd.", "mi.", "l.", "nmi.", "寸", "尺", "間", "里"};
    const char* area[] = {"mm2", "cm2", "m2", "a", "ha", "km2", "sq.in.", "sq.ft.", "sq.yd.", "ac", "sq.mi.",
                          "坪", "反", "町"};
    for (int i = 0; i < UnitCount; ++i)
        QTest::addRow("%d", i) << i << QString::fromUtf8(distance[i]) + u' ' << QString::fromUtf8(area[i]) + u' ';
}

void TestInitIni::installedUnitNames()
{
    QFETCH(int, index);
    QFETCH(QString, distance);
    QFETCH(QString, area);
    testsupport::ProgramFolder folder;
    platform::ScopedScriptedUi ui;
    GE_strDB_Folda_Path = u"stale"_s;
    QVERIFY(fncReadInitIni());
    QCOMPARE(ui->count(), 0);
    QCOMPARE(GE_strUnitDistance[index], distance);
    QCOMPARE(GE_strUnitArea[index], area);
    QCOMPARE(GE_strDB_Folda_Path, QString());
    QCOMPARE(GE_strFile_Name, u"master.mdb"_s);
}

void TestInitIni::installedFactors_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("expected");
    QTest::newRow("mm per mm") << int(MMToO) << 0 << 1.0;
    QTest::newRow("mm per m") << int(MMToO) << 2 << 1000.0;
    QTest::newRow("mm per inch") << int(MMToO) << 4 << 25.4;
    QTest::newRow("mm per mile") << int(MMToO) << 7 << 1609344.0;
    QTest::newRow("mm per league") << int(MMToO) << 8 << 4828032.0;
    QTest::newRow("mm per nautical mile") << int(MMToO) << 9 << 1852000.0;
    QTest::newRow("mm per sun") << int(MMToO) << 10 << 1000.0 / 33.0;
    QTest::newRow("m per ken") << int(OToMD) << 12 << 60.0 / 33.0;
    QTest::newRow("m per ri") << int(OToMD) << 13 << 129600.0 / 33.0;
    QTest::newRow("shaku per m") << int(MToOD) << 11 << 3.3;
    QTest::newRow("feet per m") << int(MToOD) << 5 << 1 / 0.3048;
    QTest::newRow("m2 per tsubo") << int(OToMS) << 11 << 400.0 / 121.0;
    QTest::newRow("m2 per tan") << int(OToMS) << 12 << 120000.0 / 121.0;
    QTest::newRow("m2 per chou") << int(OToMS) << 13 << 1200000.0 / 121.0;
    QTest::newRow("m2 per acre") << int(OToMS) << 9 << 4046.8564224;
    QTest::newRow("m2 per mm2") << int(OToMS) << 0 << 1e-6;
    QTest::newRow("tsubo per m2") << int(MToOS) << 11 << 0.3025;
    QTest::newRow("hectares per m2") << int(MToOS) << 4 << 1e-4;
}

void TestInitIni::installedFactors()
{
    QFETCH(int, which);
    QFETCH(int, index);
    QFETCH(double, expected);
    testsupport::ProgramFolder folder;
    QVERIFY(fncReadInitIni());
    QVERIFY2(nearlyEqual(table(which)[index], expected),
             qPrintable(u"%1 against %2"_s.arg(table(which)[index], 0, 'g', 17).arg(expected, 0, 'g', 17)));
}

// The five tables describe the same units: each unit's factors agree.
void TestInitIni::factorTablesAgree()
{
    testsupport::ProgramFolder folder;
    QVERIFY(fncReadInitIni());
    for (int i = 0; i < UnitCount; ++i) {
        QVERIFY2(nearlyEqual(GE_dblChgMMToO[i], GE_dblChgOToMD[i] * 1000), qPrintable(QString::number(i)));
        QVERIFY2(nearlyEqual(GE_dblChgOToMD[i] * GE_dblChgMToOD[i], 1), qPrintable(QString::number(i)));
        QVERIFY2(nearlyEqual(GE_dblChgOToMS[i] * GE_dblChgMToOS[i], 1), qPrintable(QString::number(i)));
    }
    // 1 tsubo is one ken square.
    QVERIFY(nearlyEqual(GE_dblChgOToMS[11], GE_dblChgOToMD[12] * GE_dblChgOToMD[12]));
}

void TestInitIni::factorsIgnoreLocale()
{
    testsupport::ProgramFolder folder;
    const QString ini = folder.file(u"Init.ini"_s);
    QVERIFY(fncPutIni(IniSecFactorMM, u"GE_dblChgMMToO(0)"_s, u"1,5"_s, ini));
    QVERIFY(fncPutIni(IniSecFactorMM, u"GE_dblChgMMToO(1)"_s, u" 1.5 "_s, ini));
    QVERIFY(fncPutIni(IniSecFactorMM, u"GE_dblChgMMToO(2)"_s, u"abc"_s, ini));
    QVERIFY(fncPutIni(IniSecUnitArea, u"UnitArea(3)"_s, u"ａ"_s, ini));
    QVERIFY(platform::ini::write(ini, IniSecUnitDistance, u"UnitDistance(5)"_s, QString()));

    const QLocale previous;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // when the system has it
    platform::ScopedScriptedUi ui;
    const bool ok = fncReadInitIni();
    QLocale::setDefault(previous);
    std::setlocale(LC_ALL, previousC.c_str());

    QVERIFY(ok);
    QCOMPARE(GE_dblChgMMToO[0], 1.0);
    QCOMPARE(GE_dblChgMMToO[1], 1.5);
    QCOMPARE(GE_dblChgMMToO[2], 0.0);
    // The factor that is no number and the unit without a name are named
    // in one box, by their sections.
    QCOMPARE(ui->count(), 1);
    QCOMPARE(ui->last().title, u"初期設定ファイル異常"_s);
    QCOMPARE(ui->last().prompt, u"初期設定ファイル\r\n"_s + ini
                                    + u"\r\nの次のセクションに、正しくない換算係数（数値でない、または 0）があります。\r\n"
                                      "[距離換算係数mm]\r\nその単位では長さや面積を正しく計算できません。\r\n"
                                      "の次のセクションに、単位名のない単位があります。\r\n[距離単位]\r\n"
                                      "その単位のボタンと結果には、単位名が表示されません。\r\n"
                                      "インストールをやり直してください。\r\n"_s);
    QCOMPARE(ui->last().style, int(vb::vbExclamation | vb::vbOKOnly));
    QCOMPARE(GE_strUnitArea[3], u"ａ "_s);
    QCOMPARE(GE_dblChgMMToO[3], 1000000.0);  // the neighbours are untouched
}

void TestInitIni::getIni()
{
    testsupport::ProgramFolder folder;
    const QString ini = folder.file(u"other.ini"_s);
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[s]\r\nk=ab\0cd\r\n", 15));
    }
    QCOMPARE(fncGetIni(u"s"_s, u"k"_s, ini), u"ab"_s);
    QCOMPARE(fncGetIni(u"s"_s, u"missing"_s, ini), QString());
    QCOMPARE(fncGetIni(u"none"_s, u"k"_s, ini), QString());
    QCOMPARE(fncGetIni(u"s"_s, u"k"_s, folder.file(u"none.ini"_s)), QString());

    // Long folder paths come back whole.
    const QString longPath = u"/home/利用者/地図/"_s.repeated(12);
    QVERIFY(longPath.toLocal8Bit().size() > 126);
    QVERIFY(fncPutIni(IniSecFolder, IniKeyPictFolder, longPath, folder.file(u"Init.ini"_s)));
    QVERIFY(fncReadInitIni());
    QCOMPARE(GE_strPict_Folda, longPath);
}

void TestInitIni::putIniNeedsKeyAndValue()
{
    testsupport::ProgramFolder folder;
    const QString ini = folder.file(u"Init.ini"_s);
    QVERIFY(fncPutIni(IniSecFolder, IniKeyPictFolder, u"/data/maps"_s, ini));
    const QByteArray before = testsupport::fileBytes(ini);

    QVERIFY(!fncPutIni(IniSecFolder, IniKeyPictFolder, QString(), ini));
    QVERIFY(!fncPutIni(IniSecFolder, QString(), u"x"_s, ini));
    QCOMPARE(testsupport::fileBytes(ini), before);
    QCOMPARE(fncGetIni(IniSecFolder, IniKeyPictFolder, ini), u"/data/maps"_s);
    QVERIFY(before.contains("\r\nPict_Folda=/data/maps\r\n"));  // in its place, CR LF kept
}

void TestInitIni::programFolderAtRoot()
{
    testsupport::ProgramFolder folder;  // restores the program folder afterwards
    platform::app::setPath(u"/"_s);
    QCOMPARE(fncInitIniPath(), u"/Init.ini"_s);
}

QTEST_MAIN(TestInitIni)
#include "tst_initini.moc"
