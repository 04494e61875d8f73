#include "platform/encoding.h"
#include "platform/inifile.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace ini = platform::ini;
using namespace Qt::StringLiterals;
using platform::encoding::encodeCp932;

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_path = m_dir.filePath(u"test.ini"_s);
        QFile::remove(m_path);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");

        const QByteArray basic = "[MDB]\r\nFile_Name=master.mdb\r\n";
        QTest::newRow("exact") << basic << u"MDB"_s << u"File_Name"_s << true << u"master.mdb"_s;
        QTest::newRow("ascii case ignored") << basic << u"mdb"_s << u"FILE_NAME"_s << true << u"master.mdb"_s;
        QTest::newRow("missing key") << basic << u"MDB"_s << u"Other"_s << false << u"default"_s;
        QTest::newRow("missing section") << basic << u"None"_s << u"File_Name"_s << false << u"default"_s;
        QTest::newRow("blanks trimmed") << QByteArray(" [ MDB ] \n\t File_Name \t=  a b \t\n") << u"MDB"_s << u"File_Name"_s
                                        << true << u"a b"_s;
        QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << u"s"_s << u"k"_s << true << u""_s;
        QTest::newRow("first key wins") << QByteArray("[s]\nk=1\nK=2\n") << u"s"_s << u"k"_s << true << u"1"_s;
        QTest::newRow("first section wins") << QByteArray("[s]\na=1\n[S]\nb=2\n") << u"s"_s << u"b"_s << false << u"default"_s;
        QTest::newRow("value holds =") << QByteArray("[s]\nk=a=b\n") << u"s"_s << u"k"_s << true << u"a=b"_s;
        QTest::newRow("quotes dropped") << QByteArray("[s]\nk=\" x \"\n") << u"s"_s << u"k"_s << true << u" x "_s;
        QTest::newRow("single quotes dropped") << QByteArray("[s]\nk=' x '\n") << u"s"_s << u"k"_s << true << u" x "_s;
        QTest::newRow("mixed quotes kept") << QByteArray("[s]\nk='x\"\n") << u"s"_s << u"k"_s << true << u"'x\""_s;
        const QString upper = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
        const QByteArray upperFile = "[" + upper.toLatin1() + "]\n" + upper.toLatin1() + "=1\n";
        const QByteArray lowerFile = upperFile.toLower();
        QTest::newRow("whole alphabet, upper in file") << upperFile << upper.toLower() << upper.toLower() << true << u"1"_s;
        QTest::newRow("whole alphabet, lower in file") << lowerFile << upper << upper << true << u"1"_s;
        QTest::newRow("unmatched quote kept") << QByteArray("[s]\nk=\"x\n") << u"s"_s << u"k"_s << true << u"\"x"_s;
        QTest::newRow("comment is no key") << QByteArray("[s]\n;k=1\nk=2\n") << u"s"_s << u"k"_s << true << u"2"_s;
        QTest::newRow("key before any section") << QByteArray("k=1\n[s]\n") << u"s"_s << u"k"_s << false << u"default"_s;
        QTest::newRow("japanese names") << u"[距離単位]\nUnitDistance(10)=寸\n"_s.toUtf8() << u"距離単位"_s
                                        << u"unitdistance(10)"_s << true << u"寸"_s;
        QTest::newRow("fullwidth letters compare exactly")
            << u"[ＭＤＢ]\nk=1\n"_s.toUtf8() << u"ｍｄｂ"_s << u"k"_s << false << u"default"_s;
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[s]\nk=v\n") << u"s"_s << u"k"_s << true << u"v"_s;
        QTest::newRow("bom before cp932") << "\xEF\xBB\xBF" + encodeCp932(u"[データファイル名]\r\nk=地図.jpg\r\n"_s)
                                          << u"データファイル名"_s << u"k"_s << true << u"地図.jpg"_s;
        QTest::newRow("cp932 file") << encodeCp932(u"[フォルダPath]\r\nPict_Folda=C:/地図\r\n"_s)
                                    << u"フォルダPath"_s << u"Pict_Folda"_s << true << u"C:/地図"_s;
        // "ソ" ends with the byte of "]" in CP932, "表" with that of "\".
        QTest::newRow("cp932 trail bytes") << encodeCp932(u"[ソ表]\r\nk=ソ\r\n"_s) << u"ソ表"_s << u"k"_s << true << u"ソ"_s;
        QTest::newRow("no final line break") << QByteArray("[s]\nk=v") << u"s"_s << u"k"_s << true << u"v"_s;
        QTest::newRow("missing file") << QByteArray() << u"s"_s << u"k"_s << false << u"default"_s;
        QTest::newRow("cr line ends after a bom") << "\xEF\xBB\xBF" + encodeCp932(u"[データファイル名]\rj=1\rk=地図.jpg\r"_s)
                                                  << u"データファイル名"_s << u"k"_s << true << u"地図.jpg"_s;
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(bool, found);
        QFETCH(QString, value);
        bool wasFound = !found;
        QCOMPARE(ini::read(put(file), section, key, u"default"_s, &wasFound), value);
        QCOMPARE(wasFound, found);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray file = "; settings\r\n"
                                "[Folders]\r\n"
                                "  Path = old  \r\n"
                                "Drive=C:\r\n"
                                "\r\n"
                                "; the database\r\n"
                                "[MDB]\r\n"
                                "File_Name=master.mdb\r\n";
        QTest::newRow("replace in place") << file << u"folders"_s << u"PATH"_s << u"/home/a b"_s
                                          << QByteArray(file).replace("  Path = old  ", "  Path =/home/a b");
        QTest::newRow("add at end of section")
            << file << u"Folders"_s << u"New"_s << u"1"_s << QByteArray(file).replace("Drive=C:\r\n", "Drive=C:\r\nNew=1\r\n");
        QTest::newRow("add to empty section") << QByteArray("[a]\n\n[b]\nx=1\n") << u"a"_s << u"k"_s << u"v"_s
                                              << QByteArray("[a]\nk=v\n\n[b]\nx=1\n");
        QTest::newRow("add section at end") << file << u"新"_s << u"k"_s << u"値"_s
                                            << file + u"[新]\r\nk=値\r\n"_s.toUtf8();
        QTest::newRow("lf file stays lf") << QByteArray("[s]\nk=1\n") << u"t"_s << u"k"_s << u"2"_s
                                          << QByteArray("[s]\nk=1\n[t]\nk=2\n");
        QTest::newRow("cr file stays cr") << QByteArray("[s]\rk=1\rj=1\r") << u"s"_s << u"k"_s << u"2"_s
                                          << QByteArray("[s]\rk=2\rj=1\r");
        QTest::newRow("no final line break") << QByteArray("[s]\r\nk=1") << u"s"_s << u"j"_s << u"2"_s
                                             << QByteArray("[s]\r\nk=1\r\nj=2\r\n");
        QTest::newRow("replace last line without break") << QByteArray("[s]\r\nk=1") << u"s"_s << u"k"_s << u"22"_s
                                                         << QByteArray("[s]\r\nk=22");
        QTest::newRow("first of duplicate keys") << QByteArray("[s]\nk=1\nk=2\n") << u"s"_s << u"k"_s << u"3"_s
                                                 << QByteArray("[s]\nk=3\nk=2\n");
        QTest::newRow("bom kept") << QByteArray("\xEF\xBB\xBF[s]\r\nk=1\r\n") << u"s"_s << u"k"_s << u"ü"_s
                                  << QByteArray("\xEF\xBB\xBF[s]\r\nk=\xC3\xBC\r\n");
        QTest::newRow("empty file") << QByteArray("") << u"s"_s << u"k"_s << u"v"_s << QByteArray("[s]\r\nk=v\r\n");
        QTest::newRow("missing file") << QByteArray() << u"s"_s << u"k"_s << u"v"_s << QByteArray("[s]\r\nk=v\r\n");
        QTest::newRow("value cut at nul") << QByteArray("[s]\nk=1\n") << u"s"_s << u"k"_s << QString::fromUtf16(u"ab\0cd", 5)
                                          << QByteArray("[s]\nk=ab\n");
        // A CP932 file takes what CP932 can hold (～ and № included) and stays CP932.
        QTest::newRow("cp932 file stays cp932")
            << encodeCp932(u"[フォルダPath]\r\nPict_Folda=C:/古い\r\n"_s) << u"フォルダPath"_s << u"Pict_Folda"_s
            << u"D:/地図～№"_s << encodeCp932(u"[フォルダPath]\r\nPict_Folda=D:/地図～№\r\n"_s);
        QTest::newRow("cp932 file takes a new section")
            << encodeCp932(u"[フォルダPath]\r\nPict_Folda=D:/地図～№\r\n"_s) << u"距離単位"_s << u"UnitDistance(10)"_s
            << u"寸"_s << encodeCp932(u"[フォルダPath]\r\nPict_Folda=D:/地図～№\r\n[距離単位]\r\nUnitDistance(10)=寸\r\n"_s);
        const QString longValue = u"/データ/"_s.repeated(40) + u"end"_s;
        QVERIFY(longValue.toUtf8().size() > 126);
        QTest::newRow("long value") << QByteArray("[s]\n") << u"s"_s << u"k"_s << longValue
                                    << "[s]\nk=" + longValue.toUtf8() + "\n";
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QVERIFY(ini::write(put(before), section, key, value));
        QCOMPARE(contents(), after);
        QCOMPARE(ini::read(m_path, section, key), value.left(value.indexOf(QChar(0))));  // read back as written
    }

    // "Café" has no CP932 form: the file becomes UTF-8 instead of losing the é.
    void cp932FileTurnsUtf8ForOtherCharacters()
    {
        put(encodeCp932(u"; 設定\r\n[フォルダPath]\r\nPict_Folda=C:/地図\r\n"_s));
        QVERIFY(ini::write(m_path, u"フォルダPath"_s, u"Pict_Drive"_s, u"Café"_s));
        QCOMPARE(contents(), u"; 設定\r\n[フォルダPath]\r\nPict_Folda=C:/地図\r\nPict_Drive=Café\r\n"_s.toUtf8());
        QCOMPARE(ini::read(m_path, u"フォルダPath"_s, u"Pict_Drive"_s), u"Café"_s);
        QCOMPARE(ini::read(m_path, u"フォルダPath"_s, u"Pict_Folda"_s), u"C:/地図"_s);
    }

    // Names or values that would add or hide other entries are refused; a
    // write the disk can't take fails (under a file-size limit: the new file
    // larger than Qt's buffer, or held in it until the final flush), also
    // where the file is rewritten in place (its folder takes no new file).
    void refusedWritesLeaveFileAlone_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("line break in value") << u"s"_s << u"k"_s << u"x\r\n[MDB]\r\nFile_Name=evil"_s << -1LL << false;
        QTest::newRow("line feed in key") << u"s"_s << u"a\nb"_s << u"1"_s << -1LL << false;
        QTest::newRow("line break in section") << u"s\nt"_s << u"k"_s << u"1"_s << -1LL << false;
        QTest::newRow("= in key") << u"s"_s << u"a=b"_s << u"1"_s << -1LL << false;
        QTest::newRow("] in section") << u"a]b"_s << u"k"_s << u"1"_s << -1LL << false;
        QTest::newRow("empty key") << u"s"_s << u""_s << u"1"_s << -1LL << false;
        QTest::newRow("empty section") << u""_s << u"k"_s << u"1"_s << -1LL << false;
        const qint64 buffer = testsupport::QtBufferSize;
        for (const bool inPlace : {false, true}) {
            const char* where = inPlace ? ", in place" : "";
            QTest::addRow("limit below the file%s", where) << u"s"_s << u"k"_s << QString(2 * buffer, u'v') << buffer
                                                           << inPlace;
            QTest::addRow("limit below Qt's buffer%s", where) << u"s"_s << u"k"_s << QString(2000, u'v') << 1000LL
                                                              << inPlace;
        }
    }

    void refusedWritesLeaveFileAlone()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(qint64, limit);
        QFETCH(bool, inPlace);
        const QByteArray before = "[s]\r\nk=1\r\n";
        put(before);
        std::optional<testsupport::ReadOnlyFolder> folder;
        if (inPlace)
            folder.emplace(m_dir.path());
        QCOMPARE(testsupport::withFileSizeLimit(limit, [&] { return int(ini::write(m_path, section, key, value)); }), 0);
        QCOMPARE(contents(), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"test.ini"_s});
    }

    void unwritableTargetFails()
    {
        QVERIFY(!ini::write(m_dir.filePath(u"missing/test.ini"_s), u"s"_s, u"k"_s, u"v"_s));
        QVERIFY(!ini::write(m_dir.path(), u"s"_s, u"k"_s, u"v"_s));  // a folder
        // No temporary file is left behind.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A writable file in a folder that allows no new file is rewritten in place;
    // a file that is not writable either still fails and stays as it was.
    void readOnlyFolderWritesInPlace()
    {
        const QByteArray before = "[s]\r\nk=1\r\nj=2\r\n";
        put(before);
        testsupport::ReadOnlyFolder folder(m_dir.path());
        QVERIFY(!QFile(m_dir.filePath(u"probe"_s)).open(QIODevice::WriteOnly));
        QVERIFY(ini::write(m_path, u"s"_s, u"k"_s, u"a longer value"_s));
        QCOMPARE(contents(), QByteArray("[s]\r\nk=a longer value\r\nj=2\r\n"));
        QVERIFY(ini::write(m_path, u"s"_s, u"k"_s, u"3"_s));
        QCOMPARE(contents(), QByteArray("[s]\r\nk=3\r\nj=2\r\n"));
        QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner));
        QVERIFY(!ini::write(m_path, u"s"_s, u"k"_s, u"4"_s));
        QCOMPARE(contents(), QByteArray("[s]\r\nk=3\r\nj=2\r\n"));
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // The replacement file takes the old one's permissions.
    void permissionsKept()
    {
        const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        put("[s]\nk=1\n");
        QVERIFY(QFile::setPermissions(m_path, permissions));
        QVERIFY(ini::write(m_path, u"s"_s, u"k"_s, u"2"_s));
        const int ownerGroupOther = 0xF0FF;
        QCOMPARE(int(QFile::permissions(m_path)) & ownerGroupOther, int(permissions) & ownerGroupOther);
    }

private:
    // Writes the test file; a null array leaves none.
    QString put(const QByteArray& bytes)
    {
        if (bytes.isNull() && QFile::exists(m_path))
            qFatal("the test file is left over");
        if (bytes.isNull())
            return m_path;
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the test file");
        file.write(bytes);
        return m_path;
    }
    QByteArray contents() const { return testsupport::fileBytes(m_path); }

    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
