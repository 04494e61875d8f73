#include "app/globals.h"
#include "measure/hatchcache.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Lines = QList<typHatchLine>;

static bool operator==(const typHatchLine& a, const typHatchLine& b)
{
    return a.X1 == b.X1 && a.X2 == b.X2 && a.Y1 == b.Y1 && a.Y2 == b.Y2;
}

namespace {

Lines makeLines(int count, float base = 0)
{
    Lines lines;
    for (int i = 0; i < count; ++i)
        lines.append({base + i + 0.5f, base - 7.25f * i, base - i * 1e-3f, base + i * 1e6f});
    return lines;
}

bool get(const QString& key, int ubound, Lines& lines)
{
    typHatching h;
    h.iUbound = qint16(ubound);
    return mdlFileAccess::fncGet_Bin(key, h, lines);
}

void put(const QString& key, const Lines& lines) { mdlFileAccess::subPut_Bin(key, typHatching(), lines); }

}  // namespace

class TestHatchCache : public QObject {
    Q_OBJECT
    QTemporaryDir m_temp;
    QStringList files() const { return QDir(m_temp.path()).entryList(QDir::Files, QDir::Name); }

private slots:
    void init()
    {
        GE_strTempPath = m_temp.path();
        for (const QString& f : files())
            QFile::remove(m_temp.filePath(f));
    }

    void writeAndReadBack_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("five") << 5;
        QTest::newRow("none: empty file") << 0;
    }
    void writeAndReadBack()
    {
        QFETCH(int, count);
        put(QStringLiteral("000:0.000_240101123456"), makeLines(count));
        QCOMPARE(QFileInfo(m_temp.filePath("240101123456.bin")).size(), qint64(count) * 16);
        Lines got = makeLines(9, 100);
        QVERIFY(get(QStringLiteral("240101123456"), count - 1, got));
        QCOMPARE(got, makeLines(count));
    }

    void recordIsLittleEndianX1X2Y1Y2()
    {
        put(QStringLiteral("240101123456"), {{1, 2, 3, 4}});
        QCOMPARE(testsupport::fileBytes(m_temp.filePath("240101123456.bin")).toHex(),
                 QByteArray("0000803f000000400000404000008040"));
    }

    void sameTimeOfDayKeepsApartAndShorterListReplaces()
    {
        // Two areas made at the same time of day on different days.
        put(QStringLiteral("000:0.000_240101123456"), makeLines(5));
        put(QStringLiteral("021:5_250303123456"), makeLines(1, 9));
        QCOMPARE(files(), (QStringList{"240101123456.bin", "250303123456.bin"}));
        put(QStringLiteral("240101123456"), makeLines(1, 7));
        Lines got;
        QVERIFY(get(QStringLiteral("240101123456"), 0, got));
        QCOMPARE(got, makeLines(1, 7));
        QCOMPARE(QFileInfo(m_temp.filePath("240101123456.bin")).size(), qint64(16));
        mdlFileAccess::subKill_BinOne(QStringLiteral("000:0.000_240101123456"));
        QCOMPARE(files(), QStringList{"250303123456.bin"});
    }

    // A disk that takes only part of the new list (larger than Qt's buffer,
    // or held in it until the final flush) leaves the old file whole.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("limit");
        QTest::newRow("limit below the file") << 2048 << testsupport::QtBufferSize;
        QTest::newRow("limit below Qt's buffer") << 100 << 800LL;
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(int, count);
        QFETCH(qint64, limit);
        put(QStringLiteral("240101123456"), makeLines(5));
        QCOMPARE(testsupport::withFileSizeLimit(limit, [&] {
                     put(QStringLiteral("240101123456"), makeLines(count, 3));
                     return 0;
                 }), 0);
        Lines got;
        QVERIFY(get(QStringLiteral("240101123456"), 4, got));
        QCOMPARE(got, makeLines(5));
        QCOMPARE(files(), QStringList{"240101123456.bin"});
        QCOMPARE(QFileInfo(m_temp.filePath("240101123456.bin")).size(), qint64(5 * 16));
    }

    void missingFileLeavesListAlone()
    {
        Lines got = makeLines(3);
        QVERIFY(!get(QStringLiteral("240101123456"), 4, got));
        QCOMPARE(got, makeLines(3));
    }

    void shortFileLeavesZeros()
    {
        put(QStringLiteral("240101123456"), makeLines(2));  // two records and 4 stray bytes
        QFile f(m_temp.filePath("240101123456.bin"));
        QVERIFY(f.open(QIODevice::Append) && f.write("\1\2\3\4", 4) == 4);
        f.close();
        Lines got;
        QVERIFY(get(QStringLiteral("240101123456"), 4, got));
        QCOMPARE(got, makeLines(2) + Lines(3));
        QVERIFY(get(QStringLiteral("240101123456"), -7, got));  // a negative count reads nothing
        QCOMPARE(got, Lines());
    }

    void foreignKeysStayInTheWorkFolder_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("slash and dots") << "000:0.000_2401/../xy";
        QTest::newRow("backslash") << "2401\\..\\x";
        QTest::newRow("short") << "ab";
    }
    void foreignKeysStayInTheWorkFolder()
    {
        QFETCH(QString, key);
        put(key, makeLines(1));
        Lines got;
        QVERIFY(get(key, 0, got));
        QCOMPARE(got, makeLines(1));
        QCOMPARE(files().size(), 1);
        QVERIFY(files().first().startsWith(u'x'));
        QCOMPARE(files().first().count(u'.'), 1);  // only the one before "bin"
    }

    void noWorkFolderWritesNothing()
    {
        GE_strTempPath.clear();
        put(QStringLiteral("240101123456"), makeLines(1));
        Lines got;
        QVERIFY(!get(QStringLiteral("240101123456"), 0, got));
        QVERIFY(!QFile::exists(QStringLiteral("/240101123456.bin")));
    }

    void killRemovesBinFilesOnly()
    {
        for (const char* name : {"a.bin", "B.BIN", "thumb.jpg", "c.bin.txt"})
            QVERIFY(QFile(m_temp.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
        mdlFileAccess::subKill_Bin();
        QCOMPARE(files(), (QStringList{"c.bin.txt", "thumb.jpg"}));
    }
};

QTEST_GUILESS_MAIN(TestHatchCache)
#include "tst_hatchcache.moc"
