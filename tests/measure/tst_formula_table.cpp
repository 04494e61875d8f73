// The distance, bearing and area formulas against a table worked out by an
// independent script (formulas.py beside this file) from their description.

#include "measure/calibration.h"
#include "measure/geometry.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QtTest>

#include <vector>

class TestFormulaTable : public QObject {
    Q_OBJECT

    static QList<QStringList> rows(const QString& kind)
    {
        QFile file(testsupport::sourceDir() + QStringLiteral("/tests/measure/formula_table.csv"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QStringList> result;
        file.readLine();  // header
        while (!file.atEnd()) {
            const QStringList cells = QString::fromUtf8(file.readLine()).trimmed().split(u',');
            if (cells.value(0) == kind)
                result << cells;
        }
        return result;
    }

private slots:
    void distanceAndBearing_data()
    {
        QTest::addColumn<double>("lon1");
        QTest::addColumn<double>("lat1");
        QTest::addColumn<double>("lon2");
        QTest::addColumn<double>("lat2");
        QTest::addColumn<double>("metres");
        QTest::addColumn<double>("bearing");
        const QList<QStringList> table = rows(QStringLiteral("lonlat"));
        QVERIFY(table.size() >= 10);
        for (const QStringList& r : table) {
            QTest::addRow("%s,%s -> %s,%s", qPrintable(r[1]), qPrintable(r[2]), qPrintable(r[3]), qPrintable(r[4]))
                << r[1].toDouble() << r[2].toDouble() << r[3].toDouble() << r[4].toDouble() << r[5].toDouble()
                << r[6].toDouble();
        }
    }

    void distanceAndBearing()
    {
        QFETCH(double, lon1);
        QFETCH(double, lat1);
        QFETCH(double, lon2);
        QFETCH(double, lat2);
        QFETCH(double, metres);
        QFETCH(double, bearing);
        const double got = mdlSub::fncGet_KeiIdoDistance(lon1, lat1, lon2, lat2);
        QVERIFY2(qAbs(got - metres) <= metres * 1e-12, qPrintable(QString::number(got, 'g', 17)));
        // The bearing is a single-precision result.
        QCOMPARE(mdlSub::fncGet_Bearing(lon1, lat1, lon2, lat2), float(bearing));
    }

    void polygonArea_data()
    {
        QTest::addColumn<QString>("vertices");
        QTest::addColumn<double>("area");
        for (const QStringList& r : rows(QStringLiteral("polygon")))
            QTest::addRow("%s", qPrintable(r[1])) << r[1] << r[5].toDouble();
    }

    void polygonArea()
    {
        QFETCH(QString, vertices);
        QFETCH(double, area);
        std::vector<typPointD> points;
        for (const QString& vertex : vertices.split(u';')) {
            const QStringList xy = vertex.split(u' ');
            points.push_back({xy[0].toDouble(), xy[1].toDouble()});
        }
        QCOMPARE(mdlSub::fncGet_PolygonArea(points, qint16(points.size() - 1)), area);
    }
};

QTEST_GUILESS_MAIN(TestFormulaTable)
#include "tst_formula_table.moc"
