#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "measure/resulttag.h"
#include "tests/support/testsupport.h"

#include <QTest>

using namespace ResultTag;

namespace {

const QString Id = QStringLiteral("240305060708");

// unit, decimals and the value's default text of a tag
QString parsed(const QString& tag)
{
    qint16 u = -1, d = -1;
    double v = -1;
    subParse_ResultTag(tag, u, d, v);
    return QStringLiteral("%1 %2 %3").arg(u).arg(d).arg(vb::CStr(v));
}

}  // namespace

class TestResultTag : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
        subInit_Format();
    }

    void freshTagParsesAsZero()
    {
        const QString tag = fncNew_ResultTag(QDateTime(QDate(2024, 3, 5), QTime(6, 7, 8)));
        QCOMPARE(tag, "000:0.000_" + Id);
        QCOMPARE(parsed(tag), QStringLiteral("0 0 0"));
        QCOMPARE(fncTag_Key(fncMake_ResultTag(3, 2, 1.5, tag)), Id);
    }

    void buildAndParse_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("tag");
        QTest::newRow("metres") << 2 << 2 << 1500.0 << "022:1500_";
        QTest::newRow("negative") << 11 << 6 << -123.456 << "116:-123.456_";
        QTest::newRow("tiny, exponent") << 13 << 8 << 1.5e-20 << "138:1.5E-20_";
        QTest::newRow("huge, exponent") << 0 << 1 << 2.5e15 << "001:2.5E+15_";
        QTest::newRow("15 digits") << 12 << 3 << 1.0 / 3 << "123:0.333333333333333_";
    }
    void buildAndParse()
    {
        QFETCH(int, unit);
        QFETCH(int, decimals);
        QFETCH(double, value);
        QFETCH(QString, tag);
        const QString made = fncMake_ResultTag(qint16(unit), qint16(decimals), value, "000:0.000_" + Id);
        QCOMPARE(made, tag + Id);
        QCOMPARE(parsed(made), QStringLiteral("%1 %2 %3").arg(unit).arg(decimals).arg(vb::CStr(value)));
    }

    void malformedTags_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("fields");
        QTest::newRow("empty") << "" << "0 0 0";
        QTest::newRow("shorter than 11") << "053:12.5_ab" << "5 3 0";
        QTest::newRow("unit beyond 13") << "993:7_" + Id << "0 3 7";
        QTest::newRow("negative unit") << "-13:7_" + Id << "0 3 7";
        QTest::newRow("decimals 9") << "029:7_" + Id << "2 0 7";
        QTest::newRow("no numbers") << "ab?:x_" + Id << "0 0 0";
        QTest::newRow("bare exponent") << "022:3E_" + Id << "2 2 3";
    }
    void malformedTags()
    {
        QFETCH(QString, tag);
        QFETCH(QString, fields);
        QCOMPARE(parsed(tag), fields);
    }

    void captions_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("area");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0 places") << 1234567.891 << 2 << 0 << false << " 1,234,568 m ";
        QTest::newRow("1 place") << 0.46 << 1 << 1 << false << " 0.5 cm ";
        QTest::newRow("3 places, negative") << -1234.5 << 3 << 3 << false << " -1,234.500 km ";
        QTest::newRow("4 places") << 3.14159 << 11 << 4 << true << " 3.1416 坪 ";
        QTest::newRow("6 places") << 12.3456784 << 12 << 6 << true << " 12.345678 反 ";
        QTest::newRow("7: general text") << 1500.25 << 2 << 7 << false << "1500.25m ";
        QTest::newRow("8: general text") << 1.5 << 11 << 8 << true << "1.5坪 ";
    }
    void captions()
    {
        QFETCH(double, value);
        QFETCH(int, unit);
        QFETCH(int, decimals);
        QFETCH(bool, area);
        QFETCH(QString, caption);
        QCOMPARE(fncCaption(value, qint16(unit), qint16(decimals), area), caption);
        // Back from the file, which keeps it without its outer blanks: they
        // come back; one kept with them, or under a damaged tag, stays as it is.
        const QString tag = fncMake_ResultTag(qint16(unit), qint16(decimals), value, "000:0.000_" + Id);
        QCOMPARE(fncStored_Caption(caption.trimmed(), tag, area), caption);
        QCOMPARE(fncStored_Caption(caption, tag, area), caption);
        QCOMPARE(fncStored_Caption(caption.trimmed(), "ab?:x_" + Id, area), caption.trimmed());
    }

    void backAndForthKeepsTheValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("1500") << 1500.0;
        QTest::newRow("15 digits") << 123.456789012345;
        QTest::newRow("small") << 0.000123456789;
        QTest::newRow("third") << 1.0 / 3;
    }
    void backAndForthKeepsTheValue()
    {
        QFETCH(double, value);
        QString tag = fncMake_ResultTag(2, 2, value, Id);
        for (int round = 0; round < 2; ++round)  // m -> 尺 -> m, twice
            tag = fncChg_UnitDistance(fncChg_UnitDistance(tag, 11).tag, 2).tag;
        QCOMPARE(tag, fncMake_ResultTag(2, 2, value, Id));
    }

    void labelCommands()
    {
        const typRelabel km = fncChg_UnitDistance("022:1500_" + Id, 3);
        QCOMPARE(km.tag, "032:1.5_" + Id);
        QCOMPARE(km.caption, QStringLiteral(" 1.50 km "));
        QVERIFY(!fncChg_UnitDistance("022:1500_" + Id, 2).changed);

        const typRelabel tsubo = fncChg_UnitArea("022:100_" + Id, 11);
        QCOMPARE(tsubo.tag + tsubo.caption, "112:30.25_" + Id + " 30.25 坪 ");

        // decimals render anew from the tag's value, even when they stay
        const QString tag = "022:1234.5678_" + Id;
        QCOMPARE(fncChg_DecimalPoint(tag, 2, false).caption, QStringLiteral(" 1,234.57 m "));
        const typRelabel none = fncChg_DecimalPoint(tag, 0, true);
        QCOMPARE(none.tag + none.caption, "020:1234.5678_" + Id + " 1,235 m2 ");
    }
};

QTEST_GUILESS_MAIN(TestResultTag)
#include "tst_resulttag.moc"
