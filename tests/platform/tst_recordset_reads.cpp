// Reading a recordset's fields by name row after row: whatever order and
// spelling the names come in, each gives its own column of the current row.

#include "platform/database.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace platform::db;
using testsupport::errorOf;

using Call = std::function<void(Connection&)>;
Q_DECLARE_METATYPE(Call)

class TestRecordsetReads : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    Connection m_c;

private slots:
    void initTestCase()
    {
        const QString path = m_dir.filePath(QStringLiteral("reads.mdb"));
        createDatabase(path);
        m_c.open(QStringLiteral("Data Source=") + path + QStringLiteral(";"));
        m_c.execute(QStringLiteral("CREATE TABLE t (id LONG, X1 SINGLE, X2 SINGLE, Y1 SINGLE, y2 SINGLE, tx TEXT, "
                                   "b BIT, s SHORT)"));
        for (int id = 1; id <= 4; ++id) {
            m_c.execute(QStringLiteral("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                        {id, id + 0.25, id + 0.5, id + 0.75, id == 3 ? QVariant() : QVariant(id + 0.125),
                         id == 3 ? QVariant() : QVariant(QStringLiteral("row %1").arg(id)), id % 2 == 1, 11 * id});
        }
        // Text and a blob where a number belongs are values, not Null.
        m_c.execute(QStringLiteral("UPDATE t SET X2 = 'abc', y2 = x'00ff' WHERE id = 4"));
    }

    // Each row asks in another order and spelling, as different callers do,
    // with a name that is no column in between. Names alike (X1, X2, Y1, y2)
    // must never be taken for one another; a number column holding text or a
    // blob reads it as stored and refuses it as a number.
    void namesInAnyOrderAndSpelling()
    {
        const QStringList orders[] = {{"id", "X1", "X2", "Y1", "y2", "tx", "b", "s"},
                                      {"x2", "TX", "b", "ID", "S", "x1", "Y2", "y1"},
                                      {"id", "nothere", "s", "Tx", "tx", "Y1", "X1", "y1", "X2"},
                                      {"b", "b", "Y2", "Y2", "X1", "s", "x2", "id"}};
        Recordset rs = m_c.openRecordset(QStringLiteral("SELECT * FROM t ORDER BY id"));
        for (int row = 0; row < 4; ++row, rs.moveNext()) {
            const int id = row + 1;
            for (const QString& name : orders[row]) {
                const QString column = name.toLower();
                if (column == QLatin1String("nothere")) {
                    QCOMPARE(errorOf([&] { rs[name]; }), long(errItemNotFound));
                    continue;
                }
                const Field f = rs[name];
                QCOMPARE(f.name().toLower(), column);
                QCOMPARE(f.isNull(), id == 3 && (column == QLatin1String("y2") || column == QLatin1String("tx")));
                if (f.isNull())
                    continue;
                if (id == 4 && (column == QLatin1String("x2") || column == QLatin1String("y2")))
                    QCOMPARE(errorOf([&] { f.toSingle(); }), long(vb::errTypeMismatch));
                else if (column == QLatin1String("id"))
                    QCOMPARE(f.toInt32(), id);
                else if (column == QLatin1String("s"))
                    QCOMPARE(f.toInt16(), qint16(11 * id));
                else if (column == QLatin1String("x1"))
                    QCOMPARE(f.toSingle(), float(id) + 0.25f);
                else if (column == QLatin1String("x2"))
                    QCOMPARE(f.toSingle(), float(id) + 0.5f);
                else if (column == QLatin1String("y1"))
                    QCOMPARE(f.toSingle(), float(id) + 0.75f);
                else if (column == QLatin1String("y2"))
                    QCOMPARE(f.toSingle(), float(id) + 0.125f);
                else if (column == QLatin1String("tx"))
                    QCOMPARE(f.toString(), QStringLiteral("row %1").arg(id));
                else
                    QCOMPARE(f.toBool(), id % 2 == 1);
            }
        }
        QVERIFY(rs.eof());
    }

    // What the layer refuses, numbered and worded as the runtime's data
    // objects do on a Japanese system.
    void refusalsInTheRuntimesWords_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("description");
        const QString noRecord = QStringLiteral("BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
                                                "要求された操作には、現在のレコードが必要です。");
        const auto empty = [](Connection& c) { return c.openRecordset(QStringLiteral("SELECT * FROM t WHERE id = 0")); };
        QTest::newRow("closed recordset") << Call([](Connection& c) {
            Recordset rs = c.openRecordset(QStringLiteral("SELECT * FROM t"));
            rs.close();
            rs[QStringLiteral("id")];
        }) << long(errObjectClosed) << QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。");
        QTest::newRow("closed connection") << Call([](Connection&) {
            Connection closed;
            closed.openRecordset(QStringLiteral("SELECT 1"));
        }) << long(errObjectClosed) << QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。");
        QTest::newRow("field past the end") << Call([empty](Connection& c) {
            empty(c)[QStringLiteral("id")];
        }) << long(errNoCurrentRecord) << noRecord;
        QTest::newRow("move past the end") << Call([empty](Connection& c) {
            empty(c).moveNext();
        }) << long(errNoCurrentRecord) << noRecord;
        QTest::newRow("no such column") << Call([](Connection& c) {
            c.openRecordset(QStringLiteral("SELECT * FROM t"))[QStringLiteral("nothere")];
        }) << long(errItemNotFound) << QStringLiteral("要求された名前、または序数に対応する項目はコレクションで見つかりません。");
        QTest::newRow("no statement to execute") << Call([](Connection& c) {
            c.execute(QStringLiteral(" -- nothing"), {});
        }) << long(vb::errInvalidCall) << QStringLiteral("実行するステートメントがありません。");
        QTest::newRow("no statement to read") << Call([](Connection& c) {
            c.openRecordset(QStringLiteral(" "));
        }) << long(vb::errInvalidCall) << QStringLiteral("ステートメントが空です。");
    }
    void refusalsInTheRuntimesWords()
    {
        QFETCH(Call, call);
        QFETCH(long, number);
        QFETCH(QString, description);
        const vb::Error error = testsupport::raisedError([&] { call(m_c); });
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), description);
    }

    // Two columns of one name: the name gives the first, in every row.
    void aRepeatedNameGivesTheFirstColumn()
    {
        Recordset rs = m_c.openRecordset(QStringLiteral("SELECT s AS x, id AS X FROM t ORDER BY id"));
        for (int id = 1; !rs.eof(); ++id, rs.moveNext()) {
            QCOMPARE(rs[QStringLiteral("X")].toInt32(), 11 * id);
            QCOMPARE(rs[QStringLiteral("x")].toInt32(), 11 * id);
        }
    }
};

QTEST_MAIN(TestRecordsetReads)
#include "tst_recordset_reads.moc"
