// The rules on the options window's box texts, without a window: which
// texts a field takes, the degree/minute/second check, the known-distance
// scale computation and the labels.

#include "measure/optionrules.h"

#include <QtTest>

using namespace measure;

class TestOptionRules : public QObject {
    Q_OBJECT

private slots:
    void boxTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("single");  // taken by a single field
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("degree");  // a whole number within 16 bits
        QTest::newRow("plain") << "12.5" << true << 12.5 << false;
        QTest::newRow("with unit") << "12.5mm" << false << 0.0 << false;
        QTest::newRow("letters") << "abc" << false << 0.0 << false;
        QTest::newRow("empty") << "" << false << 0.0 << false;
        QTest::newRow("beyond single") << "1e39" << false << 0.0 << false;
        QTest::newRow("beyond 16 bits") << "40000" << true << 40000.0 << false;
        QTest::newRow("exponent") << "1e5" << true << 100000.0 << false;
        QTest::newRow("negative") << "-3" << true << -3.0 << true;
        QTest::newRow("16-bit limit") << "32767" << true << 32767.0 << true;
        QTest::newRow("16-bit lower limit") << "-32768" << true << -32768.0 << true;
        QTest::newRow("below 16 bits") << "-32769" << true << -32769.0 << false;
        QTest::newRow("a degree mark, blanks") << "\u3000３５° " << false << 0.0 << true;
    }

    void boxTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, single);
        QFETCH(double, value);
        QFETCH(bool, degree);
        QCOMPARE(fncBox_Single(text).has_value(), single);
        if (single)
            QCOMPARE(double(*fncBox_Single(text)), value);
        QCOMPARE(fncBox_Angle(0, text).has_value(), degree);
    }

    void leadingNumbersNeverOverflow()
    {
        QCOMPARE(fncVal_Single(QStringLiteral("26 m")), 26.0f);
        QCOMPARE(fncVal_Single(QStringLiteral("1e39")), 0.0f);
        QCOMPARE(fncVal_Single(QStringLiteral("1e400")), 0.0f);
        // A minus sign says negative, −0 too, but not an exponent's.
        for (const char16_t* text : {u"-0", u" - 0", u"\uff0d1", u"\u22120"})
            QVERIFY(fncHas_Minus(QString::fromUtf16(text)));
        QVERIFY(!fncHas_Minus(QStringLiteral("1E-05")) && !fncHas_Minus(QStringLiteral("0")));
    }

    void dmsCheck_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("row");  // degrees, minutes, seconds as read
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QList<double>>("after");  // the record afterwards
        const QList<double> row{139, 0, 0};
        QTest::newRow("degree 139") << 0 << "139" << row << true << 500400.0 << row;
        QTest::newRow("degree 359") << 0 << "359" << QList<double>{359, 0, 0} << true << 1292400.0
                                    << QList<double>{359, 0, 0};
        QTest::newRow("degree 360") << 0 << "360" << row << false << 0.0 << row;
        QTest::newRow("minute 60") << 1 << "60" << row << false << 0.0 << row;
        QTest::newRow("second 59.9") << 2 << "59.9" << QList<double>{0, 0, 59.9} << true << double(59.9f)
                                     << QList<double>{0, 0, 59.9};
        QTest::newRow("negative") << 1 << "-1" << row << false << 0.0 << row;
        QTest::newRow("letters") << 0 << "x" << row << false << 0.0 << row;
        QTest::newRow("all zero") << 0 << "0" << QList<double>{0, 0, 0} << true << 0.0 << QList<double>{0, 0, 0};
        QTest::newRow("whole 7200") << 3 << "7200" << row << true << 7200.0 << QList<double>{2, 0, 0};
        QTest::newRow("whole 3661.5") << 3 << "3661.5" << row << true << 3661.5 << QList<double>{1, 1, 1.5};
        QTest::newRow("whole beyond 16-bit degrees") << 3 << "999999999" << row << false << 0.0 << row;
        QTest::newRow("other index") << 4 << "1" << row << false << 0.0 << row;
    }

    void dmsCheck()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QList<double>, row);
        QFETCH(bool, accepted);
        QFETCH(double, seconds);
        QFETCH(QList<double>, after);
        typDMS dms{qint16(row[0]), qint16(row[1]), float(row[2])};
        const std::optional<double> r = fncCheck_DMS(index, text, dms);
        QCOMPARE(r.has_value(), accepted);
        if (accepted)
            QCOMPARE(*r, seconds);
        QCOMPARE(dms.intDeg, qint16(after[0]));
        QCOMPARE(dms.intMin, qint16(after[1]));
        QVERIFY(qAbs(dms.sngSec - after[2]) < 1e-4);
    }

    void scaleSetting_data()
    {
        QTest::addColumn<QList<double>>("lengths");  // picture X, real X, picture Y, real Y
        QTest::addColumn<bool>("adjust");
        QTest::addColumn<QList<double>>("previous");  // ratio X, ratio Y, stretch
        QTest::addColumn<QList<double>>("expected");  // ratio X, ratio Y, stretch, aspect
        const QList<double> none{1, 1, 1};
        QTest::newRow("off") << QList<double>{500, 50, 400, 48} << false << none << QList<double>{0.1, 0.12, 1, 1.2};
        QTest::newRow("on") << QList<double>{500, 50, 400, 48} << true << none
                            << QList<double>{0.1, 0.1, double(float(0.12f / 0.1f)), 1};
        QTest::newRow("known 130/26, 160/40") << QList<double>{130, 26, 160, 40} << false << none
                                              << QList<double>{0.2, 0.25, 1, 1.25};
        QTest::newRow("real X 0 keeps X") << QList<double>{500, 0, 400, 48} << false << QList<double>{0.3, 1, 1}
                                          << QList<double>{0.3, 0.12, 1, 0.4};
        QTest::newRow("stored X 0 keeps the stretch") << QList<double>{0, 0, 400, 48} << true
                                                      << QList<double>{0, 1, 1.5} << QList<double>{0, 0, 1.5, 1};
        // Refused: nothing expected.
        QTest::newRow("stretch beyond 10") << QList<double>{130, 26, 160, 400} << true << none << QList<double>{};
        QTest::newRow("real X 1e-30") << QList<double>{130, 1e-30, 160, 40} << true << none << QList<double>{};
        QTest::newRow("real X 3.4e38") << QList<double>{130, 3.4e38, 160, 40} << false << none << QList<double>{};
        QTest::newRow("picture X 1e-45") << QList<double>{1e-45, 26, 160, 40} << true << none << QList<double>{};
    }

    void scaleSetting()
    {
        QFETCH(QList<double>, lengths);
        QFETCH(bool, adjust);
        QFETCH(QList<double>, previous);
        QFETCH(QList<double>, expected);
        const typScaleSetting s = fncCalc_Scale(float(lengths[0]), float(lengths[1]), float(lengths[2]),
                                                float(lengths[3]), typPointD{previous[0], previous[1]}, adjust,
                                                float(previous[2]));
        QCOMPARE(s.fits, !expected.isEmpty());
        if (!s.fits)
            return;
        QVERIFY(qAbs(s.ratio.dblX - expected[0]) < 1e-12);
        QVERIFY(qAbs(s.ratio.dblY - expected[1]) < 1e-12);
        QCOMPARE(s.pictAdj, float(expected[2]));
        QVERIFY(qAbs(s.aspect - expected[3]) < 1e-12);
    }

    void labels_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("real");
        QTest::addColumn<double>("millimetres");
        QTest::addColumn<QString>("caption");
        QTest::newRow("metres") << "100" << "2.5" << 1000.0 << "25.0";
        QTest::newRow("two decimals") << "130" << "26" << 1000.0 << "200.0";
        QTest::newRow("no picture length") << "0" << "26" << 1000.0 << "";
        QTest::newRow("letters") << "x" << "26" << 1000.0 << "";
        QTest::newRow("below one") << "300" << "100" << 1.0 << ".33";
    }

    void labels()
    {
        QFETCH(QString, picture);
        QFETCH(QString, real);
        QFETCH(double, millimetres);
        QFETCH(QString, caption);
        double ratio = -1;
        QCOMPARE(fncScale_Caption(picture, real, millimetres, ratio), caption);
        QCOMPARE(ratio == 0, caption.isEmpty());
    }

    void aspectAndAngleTexts()
    {
        QCOMPARE(fncAspect_Caption(0.2, 0.25), QStringLiteral("1.25"));
        QCOMPARE(fncAspect_Caption(0.2, 0.15), QStringLiteral(".75"));
        QCOMPARE(fncAspect_Caption(0, 0.15), QStringLiteral("1.0"));
        QCOMPARE(fncAngle_Text(2.862405226), QStringLiteral("2.86241"));
        QCOMPARE(fncAngle_Text(-0.0499583957), QStringLiteral("-0.04996"));
        QCOMPARE(fncAngle_Text(0), QStringLiteral("0.0"));
        QCOMPARE(fncRescale_Text(QStringLiteral("26"), 100), QStringLiteral("2600"));
        QCOMPARE(fncRescale_Text(QStringLiteral("abc"), 100), QStringLiteral("abc"));
    }
};

QTEST_MAIN(TestOptionRules)
#include "tst_optionrules.moc"
