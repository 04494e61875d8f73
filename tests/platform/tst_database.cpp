#include "platform/database.h"
#include "platform/events.h"
#include "platform/vberror.h"
#include "tests/support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <map>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform::db;
using namespace Qt::StringLiterals;

namespace {

QString connectionString(const QString& path, const QString& password = QString())
{
    return u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source="_s + path +
           u";User ID=Admin; Jet OLEDB:Database Password="_s + password + u";"_s;
}

using testsupport::errorOf;

// A 2 MB tmpfs mounted on a new folder for the life of the object (the
// tests run as root), and a file that takes whatever room is left on it.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder) : m_folder(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=2m") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }
    void fill()
    {
        const int fd = ::open((m_folder + "/filler").constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(fd);
    }
    void makeRoom() { ::unlink((m_folder + "/filler").constData()); }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

constexpr qint64 MB = 1024 * 1024;

qint64 freeRoomOf(const QString& path)
{
    struct statvfs info {};
    return ::statvfs(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.f_bavail) * qint64(info.f_frsize)
                                                                      : -1;
}

// A real file system of `kind` (mkfs.ext2, mkfs.ext4) in an image of
// `megabytes`, loop-mounted on a new folder for the life of the object (the
// tests run as root); where that can't be done, why not.
class LoopDisk {
public:
    LoopDisk(const QString& folder, const QString& kind, int megabytes)
        : m_folder(folder), m_image(folder + u".img"_s), m_kind(kind)
    {
        QDir().mkpath(folder);
        QFile image(m_image);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(megabytes) * MB)) {
            m_why = u"no image file"_s;
            return;
        }
        image.close();
        // No blocks kept for root, who runs the tests: the free room is all there is.
        // `kind` may name options of mkfs after the file system.
        const QStringList words = kind.split(u' ');
        if (!run(u"mkfs."_s + words[0], QStringList{u"-q"_s, u"-F"_s, u"-m"_s, u"0"_s} + words.mid(1) + QStringList{m_image}))
            return;
        // The machine's loop devices are shared: one may be taken meanwhile.
        for (int attempt = 0; attempt < 3 && !m_mounted; ++attempt) {
            m_mounted = run(u"mount"_s, {u"-o"_s, u"loop"_s, m_image, folder});
            if (!m_mounted)
                QThread::msleep(200);
        }
        if (!m_mounted)
            m_why = u"no loop device, or mount refused: "_s + m_why;
    }
    ~LoopDisk()
    {
        if (m_mounted && ::umount2(QFile::encodeName(m_folder).constData(), 0) != 0)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        QFile::remove(m_image);
    }
    bool isMounted() const { return m_mounted; }
    QString why() const { return u"no loop-mounted "_s + m_kind + u" disk: "_s + m_why; }
    QString file(const QString& name) const { return m_folder + u"/"_s + name; }
    qint64 free() const { return freeRoomOf(m_folder); }
    // A file that leaves `room` bytes free (a little less, for its own blocks).
    void leave(qint64 room)
    {
        qint64 excess = free() - room;
        const int fd = ::open(QFile::encodeName(file(u"filler"_s)).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const QByteArray block(int(MB), 'f');
        while (fd >= 0 && excess > 0) {
            const ssize_t written = ::write(fd, block.constData(), size_t(qMin<qint64>(excess, MB)));
            if (written <= 0)
                break;
            excess -= written;
        }
        ::fsync(fd);
        ::close(fd);
    }
    // Fills the disk to its last block, but for `room` bytes given back.
    void leaveExactly(qint64 room)
    {
        QFile spare(file(u"spare"_s));
        if (!spare.open(QIODevice::WriteOnly) || spare.write(QByteArray(int(room), 's')) != room || !spare.flush())
            return;
        spare.close();
        leave(0);
        const int fd = ::open(QFile::encodeName(file(u"filler"_s)).constData(), O_WRONLY | O_APPEND);
        const QByteArray block(1024, 'f');
        while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(fd);
        spare.remove();
    }
    void makeRoom() { QFile::remove(file(u"filler"_s)); }

private:
    bool run(const QString& program, const QStringList& arguments)
    {
        // The system's tools, also where the search path lacks their folders.
        QString found = QStandardPaths::findExecutable(program);
        if (found.isEmpty())
            found = QStandardPaths::findExecutable(program, {u"/usr/sbin"_s, u"/sbin"_s, u"/usr/bin"_s, u"/bin"_s});
        QProcess process;
        process.start(found.isEmpty() ? program : found, arguments);
        if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return true;
        m_why = program + u": "_s + process.errorString() + u" "_s + QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }

    QString m_folder;
    QString m_image;
    QString m_kind;
    QString m_why;
    bool m_mounted = false;
};

// Runs `body` in a child process: its result, or -1.
int inChild(const std::function<int()>& body)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        int result = 255;
        try {
            result = body();
        } catch (...) {
            result = 254;
        }
        std::fflush(nullptr);
        ::_exit(result);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// From here on, fallocate(2) answers EOPNOTSUPP in this process, as on a
// file system that has none.
bool refuseFallocate()
{
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fallocate, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EOPNOTSUPP & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{sizeof code / sizeof *code, code};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// A database of `rows` rows of about `rowBytes` bytes in table t.
void fillDatabase(const QString& path, int rows, int rowBytes)
{
    createDatabase(path);
    Connection c;
    c.open(connectionString(path));
    c.execute(QStringLiteral("CREATE TABLE t (id LONG, tx TEXT); "
                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO t (id, tx) SELECT i, printf('%.%2c', 'x') FROM n")
                  .arg(rows)
                  .arg(rowBytes));
}

// The pages the file's header says it holds, times their size.
qint64 sizeOfPages(const QString& path)
{
    const QByteArray header = testsupport::fileBytes(path).left(100);
    if (header.size() < 100)
        return -1;
    const auto byte = [&](int i) { return qint64(quint8(header[i])); };
    const qint64 pageSize = byte(16) << 8 | byte(17);
    return pageSize * (byte(28) << 24 | byte(29) << 16 | byte(30) << 8 | byte(31));
}

// The bytes of the blocks a file holds; -1 when there is no file.
qint64 blocksOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.st_blocks) * 512 : -1;
}

// The no-room handler of a session: counts and keeps each refusal, lets
// the user act, and answers with `retry`.
struct NoRoom {
    int asked = 0;
    QString refusal;
    bool sizeLimit = false;
    bool retry = false;
    std::function<void()> whileAsked;
    void attach(Connection& c)
    {
        c.setNoRoomHandler([this](const vb::Error& error, bool limit) {
            ++asked;
            refusal = error.description();
            sizeLimit = limit;
            if (whileAsked)
                whileAsked();
            return retry;
        });
    }
};

}  // namespace

class TestDatabase : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    // A fresh database without password holding table t with one column of
    // every declared type.
    QString freshDatabase()
    {
        const QString path = m_dir.filePath(u"db%1.mdb"_s.arg(++m_count));
        createDatabase(path);
        Connection c;
        c.open(connectionString(path));
        c.execute(QStringLiteral("CREATE TABLE t (id LONG, b BIT, s SHORT, l LONG, f SINGLE, d DOUBLE, "
                                 "dt DATETIME, tx TEXT, v VARCHAR(20))"));
        return path;
    }

    QStringList ids(const QString& path, const QString& password = QString())
    {
        Connection c;
        c.open(connectionString(path, password));
        QStringList result;
        for (Recordset rs = c.openRecordset(u"SELECT id FROM t ORDER BY id"_s); !rs.eof(); rs.moveNext())
            result << rs[u"id"_s].toString();
        return result;
    }

private slots:
    void parsesConnectionString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password");
        QTest::newRow("as the program writes it")
            << connectionString(u"/db/a.mdb"_s, u"quillmoss"_s) << "/db/a.mdb" << "quillmoss";
        QTest::newRow("keys in any case and spacing")
            << "provider=x;  DATA SOURCE =/db/b.mdb; jet oledb:database password=pw" << "/db/b.mdb" << "pw";
        QTest::newRow("a path holding ; and =")
            << connectionString(u"/db/a;b=c;d.mdb"_s, u"pw"_s) << "/db/a;b=c;d.mdb" << "pw";
        QTest::newRow("no password") << connectionString(u"/x.mdb"_s, QString()) << "/x.mdb" << "";
        QTest::newRow("a quoted path, taken whole")
            << "Data Source=\"/db/x;Data Source=y\"\" .mdb \";User ID=Admin; Jet OLEDB:Database Password=pw;"
            << "/db/x;Data Source=y\" .mdb " << "pw";
    }
    void parsesConnectionString()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        QFETCH(QString, password);
        const ConnectionSettings settings = parseConnectionString(text);
        QCOMPARE(settings.dataSource, path);
        QCOMPARE(settings.password, password);
    }

    void refusesToOpen_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("password");
        QTest::addColumn<long>("number");
        QTest::newRow("missing file") << "missing" << "quillmoss" << 14L;
        QTest::newRow("no file named") << "noname" << "" << 14L;
        QTest::newRow("not a database") << "text" << "quillmoss" << 26L;
        QTest::newRow("empty file") << "empty" << "quillmoss" << 26L;
        QTest::newRow("wrong password") << "template" << "quillmos" << long(errWrongPassword);
        QTest::newRow("no password for a protected file") << "template" << "" << long(errWrongPassword);
        QTest::newRow("password for an unprotected file") << "plain" << "quillmoss" << long(errWrongPassword);
    }
    void refusesToOpen()
    {
        QFETCH(QString, kind);
        QFETCH(QString, password);
        QFETCH(long, number);
        QString path = m_dir.filePath(kind + u".mdb"_s);
        if (kind == QLatin1String("text")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(2048, 'x'));
        } else if (kind == QLatin1String("empty")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("template")) {
            QFile::remove(path);
            QVERIFY(QFile::copy(testsupport::templatePath(), path));
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        } else if (kind == QLatin1String("plain")) {
            path = freshDatabase();
        } else if (kind == QLatin1String("noname")) {
            path.clear();
        }
        Connection c;
        const vb::Error error = testsupport::raisedError([&] { c.open(connectionString(path, password)); });
        QCOMPARE(error.number(), number);
        QVERIFY(!error.description().isEmpty());
        QVERIFY(!c.isOpen());
        QVERIFY2(!QFile::exists(m_dir.filePath(u"missing.mdb"_s)), "open must not create a file");
    }

    // The file's password in the slow stored form, or (older files) one
    // round of SHA-256 with its salt beside it: either opens with the right
    // password only, and the next change writes the slow form.
    void passwordIsCheckedAndNotStoredAsText_data()
    {
        QTest::addColumn<bool>("older");
        QTest::newRow("stored form") << false;
        QTest::newRow("one round of SHA-256") << true;
    }
    void passwordIsCheckedAndNotStoredAsText()
    {
        QFETCH(bool, older);
        const QString path = freshDatabase();
        {
            Connection c;
            c.open(connectionString(path));
            if (older)
                c.execute(u"CREATE TABLE zz_layer_password (salt TEXT, hash TEXT); INSERT INTO zz_layer_password "
                          "VALUES ('9f3c', '%1')"_s.arg(QString::fromLatin1(
                              QCryptographicHash::hash("9f3csecret-pw", QCryptographicHash::Sha256).toHex())));
            else
                setDatabasePassword(c, u"secret-pw"_s);
        }
        // A wrong password is refused by the same check for the new form
        // (passwordForms), which takes its rounds each time.
        if (older)
            QCOMPARE(errorOf([&] { Connection c; c.open(connectionString(path, u"secret-px"_s)); }),
                     long(errWrongPassword));
        QVERIFY(ids(path, u"secret-pw"_s).isEmpty());
        if (older) {
            Connection c;
            c.open(connectionString(path, u"secret-pw"_s));
            setDatabasePassword(c, u"secret-pw"_s);
        }
        const QByteArray bytes = testsupport::fileBytes(path);
        QVERIFY(!bytes.isEmpty() && !bytes.contains("secret-pw"));
        // The count written out: a form of fewer rounds is cheaper to guess.
        const QByteArray slowForm = "$pbkdf2-sha256$70000$";
        QVERIFY(bytes.contains(slowForm));
        // So is the program's template made (the tests' own takes few rounds).
        QVERIFY(testsupport::fileBytes(testsupport::programDir() + u"/template/master.mdb"_s).contains(slowForm));
    }

    // Every form a password has been kept in matches the right password
    // only; the slow one is PBKDF2-HMAC-SHA256 as published.
    void passwordForms_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        const QString published = u"$pbkdf2-sha256$2$73616c74$"
                                  "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"_s;
        QTest::newRow("derived, published vector") << published << "password" << true;
        QTest::newRow("derived, other case") << published << "Password" << false;
        // Taken as a 32-bit count, 2^32 + 2 would be the published 2 rounds.
        QTest::newRow("derived, a count beyond any written")
            << QString(published).replace(u"$2$"_s, u"$4294967298$"_s) << "password" << false;
        // Its own hash, but a salt of 68 bytes.
        QTest::newRow("derived, a salt longer than any written")
            << u"$pbkdf2-sha256$2$%1$%2"_s.arg(QString::fromLatin1(QByteArray("salt").repeated(17).toHex()),
                                               u"8f3a23f6b8ccf52f3b2175c95662529eb29dea7acb76caabcb3314869ea54563"_s)
            << "password" << false;
        const QString sha256 = u"$sha256$5a1f$3aade94e5d38df20a7614680937c54c9814fa90d460939eba43229541ac421fa"_s;
        QTest::newRow("one round of SHA-256") << sha256 << "Ab'1" << true;
        QTest::newRow("one round of SHA-256, other") << sha256 << "Ab'2" << false;
        QTest::newRow("as typed") << "Abc1" << "Abc1" << true;
        QTest::newRow("as typed, other case") << "Abc1" << "abc1" << false;
    }
    void passwordForms()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        QCOMPARE(platform::passwordhash::matches(stored, typed), matches);
        // A new form of few rounds: its own salt each time, read back by its count.
        const QString made = platform::passwordhash::stored(typed, 3);
        QVERIFY(QRegularExpression(u"^\\$pbkdf2-sha256\\$3\\$[0-9a-f]{32}\\$[0-9a-f]{64}$"_s).match(made).hasMatch());
        QVERIFY(made != platform::passwordhash::stored(typed, 3));
        QVERIFY(platform::passwordhash::matches(made, typed) && !platform::passwordhash::matches(made, typed + u'x'));
    }

    void templateHoldsTheTables_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("someColumns");
        QTest::newRow("tSystem") << "tSystem" << 6 << "System_Id datReDate strCopyRight";
        QTest::newRow("tPrint") << "tPrint" << 73 << "Print_Id tpPx00ToKei_dblLatitude datRenew tpKeIdo1_sngSec";
        QTest::newRow("tLabel") << "tLabel" << 20 << "Print_ID strFontname booFontStrikethrough intBorderStyle";
        QTest::newRow("tLine") << "tLine" << 12 << "strObjName y2 DrawMode";
        QTest::newRow("tShape") << "tShape" << 17 << "sngLeft FillColor Shape";
        QTest::newRow("tHatching") << "tHatching" << 11 << "iTilt iUbound BorderColor";
        QTest::newRow("tPrinter") << "tPrinter" << 20 << "strFormName sngPaperWidth datReDate";
    }
    void templateHoldsTheTables()
    {
        QFETCH(QString, table);
        QFETCH(int, columns);
        QFETCH(QString, someColumns);
        Connection c;
        c.open(connectionString(testsupport::templatePath(), u"quillmoss"_s));
        Recordset rs = c.openRecordset(u"SELECT * FROM "_s + table);
        QCOMPARE(rs.fieldCount(), columns);
        QStringList names;
        for (int i = 0; i < rs.fieldCount(); ++i)
            names << rs.fieldName(i);
        for (const QString& name : someColumns.split(QLatin1Char(' ')))
            QVERIFY2(names.contains(name), qPrintable(name));  // spelled exactly
        if (table == QLatin1String("tSystem")) {
            QVERIFY(!rs.eof());
            QCOMPARE(rs[u"System_Id"_s].toInt32(), 200911);
            rs.moveNext();
            QVERIFY(rs.eof());
        } else {
            QVERIFY(rs.bof() && rs.eof());
        }
    }

    void readsByDeclaredType()
    {
        const QString path = freshDatabase();
        Connection c;
        c.open(connectionString(path));
        c.execute(QStringLiteral("INSERT INTO t (id, b, s, l, f, d, dt, tx, v) VALUES "
                                 "(1, True, 2.5, 3.5, 0.1, 1.5E-07, '2009/11/01 12:34:56', '0012', 'a''b'), "
                                 "(2, False, 3.5, -7, 10.5, 1E+15, '2009/11/02', '山田''s map', '')"));
        Recordset rs = c.openRecordset(u"SELECT * FROM t ORDER BY id"_s);
        QCOMPARE(rs[u"b"_s].type(), FieldType::Boolean);
        QCOMPARE(rs[u"b"_s].value(), QVariant(true));
        QCOMPARE(rs[u"s"_s].value().typeId(), int(QMetaType::Short));
        QCOMPARE(rs[u"s"_s].toInt16(), qint16(2));  // halves to even
        QCOMPARE(rs[u"l"_s].toInt32(), 4);
        QCOMPARE(rs[u"f"_s].value().typeId(), int(QMetaType::Float));
        QCOMPARE(rs[u"f"_s].toSingle(), 0.1f);
        QCOMPARE(rs[u"f"_s].toDouble(), double(0.1f));  // rounded to a single on reading
        QCOMPARE(rs[u"d"_s].toDouble(), 1.5e-07);
        QCOMPARE(rs[u"dt"_s].toDate(), QDateTime(QDate(2009, 11, 1), QTime(12, 34, 56)));
        QCOMPARE(rs[u"tx"_s].toString(), u"0012"_s);
        QCOMPARE(rs[u"v"_s].toString(), u"a'b"_s);
        QCOMPARE(rs[u"b"_s].toInt16(), qint16(-1));
        rs.moveNext();
        QCOMPARE(rs[u"b"_s].toBool(), false);
        QCOMPARE(rs[u"s"_s].toInt16(), qint16(4));
        QCOMPARE(rs[u"f"_s].toSingle(), 10.5f);
        QCOMPARE(rs[u"d"_s].toDouble(), 1e15);
        QCOMPARE(rs[u"dt"_s].toDate(), QDateTime(QDate(2009, 11, 2), QTime(0, 0)));
        QCOMPARE(rs[u"tx"_s].toString(), u"山田's map"_s);
        QVERIFY(!rs[u"v"_s].isNull());
        QCOMPARE(rs[u"v"_s].toString(), QString());
        rs.moveNext();
        QVERIFY(rs.eof() && !rs.bof());
    }

    void conversionFailures_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("conversion");
        QTest::addColumn<long>("number");
        QTest::newRow("Null to number") << "l" << "NULL" << "int32" << 94L;
        QTest::newRow("Null to text") << "tx" << "NULL" << "text" << 94L;
        QTest::newRow("Null to truth") << "b" << "NULL" << "bool" << 94L;
        QTest::newRow("Null to date") << "dt" << "NULL" << "date" << 94L;
        QTest::newRow("beyond 16 bits") << "s" << "40000" << "int16" << 6L;
        QTest::newRow("beyond 32 bits") << "l" << "3000000000" << "int32" << 6L;
        QTest::newRow("beyond single") << "d" << "1E+300" << "single" << 6L;
        QTest::newRow("no number") << "s" << "'abc'" << "int16" << 13L;
        QTest::newRow("no date") << "dt" << "'soon'" << "date" << 13L;
    }
    void conversionFailures()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QFETCH(QString, conversion);
        QFETCH(long, number);
        Connection c;
        c.open(connectionString(freshDatabase()));
        c.execute(u"INSERT INTO t (id, %1) VALUES (1, %2)"_s.arg(column, stored));
        Recordset rs = c.openRecordset(u"SELECT * FROM t"_s);
        const Field f = rs[column];
        QCOMPARE(f.isNull(), stored == QLatin1String("NULL"));
        const std::map<QString, std::function<void()>> conversions = {
            {u"int16"_s, [&] { f.toInt16(); }}, {u"int32"_s, [&] { f.toInt32(); }},
            {u"single"_s, [&] { f.toSingle(); }}, {u"text"_s, [&] { f.toString(); }},
            {u"bool"_s, [&] { f.toBool(); }},    {u"date"_s, [&] { f.toDate(); }},
        };
        QCOMPARE(errorOf(conversions.at(conversion)), number);
    }

    void fieldsByNameWithoutCase()
    {
        Connection c;
        c.open(connectionString(freshDatabase()));
        c.execute(u"INSERT INTO t (id, tx) VALUES (7, 'x')"_s);
        Recordset rs = c.openRecordset(u"SELECT * FROM t"_s);
        QCOMPARE(rs[u"ID"_s].toInt32(), 7);
        QCOMPARE(rs[u"Tx"_s].toString(), u"x"_s);
        QCOMPARE(errorOf([&] { rs[u"nothere"_s]; }), long(errItemNotFound));
        rs.moveNext();
        QCOMPARE(errorOf([&] { rs[u"id"_s]; }), long(errNoCurrentRecord));
        Recordset count = c.openRecordset(u"SELECT COUNT (*) as RecCount FROM t"_s);
        QCOMPARE(count[u"reccount"_s].toInt32(), 1);
    }

    void engineErrorsBecomeRuntimeErrors()
    {
        Connection c;
        c.open(connectionString(freshDatabase()));
        const vb::Error error =
            testsupport::raisedError([&] { c.execute(u"INSERT INTO t (id, tx) VALUES (1, 'it's')"_s); });
        QCOMPARE(error.number(), 1L);
        QVERIFY2(error.description().contains(QLatin1String("syntax error")), qPrintable(error.description()));
        QCOMPARE(errorOf([&] { c.openRecordset(u"SELECT * FROM nowhere"_s); }), 1L);
    }

    void transactionsAndSavepoints_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("commit") << true << QStringList{"1", "3", "4"};
        QTest::newRow("rollback") << false << QStringList{};
    }
    void transactionsAndSavepoints()
    {
        QFETCH(bool, commit);
        QFETCH(QStringList, kept);
        const QString path = freshDatabase();
        {
            Connection c;
            c.open(connectionString(path));
            c.beginTrans();
            QVERIFY(c.inTransaction());
            QCOMPARE(c.execute(u"INSERT INTO t (id) VALUES (1)"_s), 1L);
            c.savepoint(u"a"_s);
            c.execute(u"INSERT INTO t (id) VALUES (2)"_s);
            c.rollbackToSavepoint(u"a"_s);
            QVERIFY(c.inTransaction());
            c.savepoint(u"b"_s);
            c.execute(u"INSERT INTO t (id) VALUES (3); INSERT INTO t (id) VALUES (4)"_s);
            c.releaseSavepoint(u"b"_s);
            QCOMPARE(c.openRecordset(u"SELECT COUNT (*) as RecCount FROM t"_s)[u"RecCount"_s].toInt32(), 3);
            if (commit)
                c.commitTrans();
            else
                c.rollbackTrans();
            QVERIFY(!c.inTransaction());
        }
        QCOMPARE(ids(path), kept);
    }

    void closingRollsBackAndSchemaChangesAreTransactional()
    {
        const QString path = freshDatabase();
        {
            Connection c;
            c.open(connectionString(path));
            c.beginTrans();
            c.execute(u"INSERT INTO t (id) VALUES (1)"_s);
            c.execute(u"ALTER TABLE t ADD iTilt SHORT"_s);
            c.execute(u"UPDATE t SET iTilt = 44.5"_s);
            Recordset rs = c.openRecordset(u"SELECT iTilt FROM t"_s);
            QCOMPARE(rs[u"iTilt"_s].type(), FieldType::Int16);
            QCOMPARE(rs[u"iTilt"_s].toInt16(), qint16(44));
            c.close();
            QVERIFY(!c.isOpen());
        }
        QVERIFY(ids(path).isEmpty());
        Connection c;
        c.open(connectionString(path));
        QCOMPARE(errorOf([&] { c.openRecordset(u"SELECT iTilt FROM t"_s); }), 1L);
    }

    // On a small disk of its own, with the session holding the file as the
    // program does (a read in the long transaction): a disk that fills up
    // during the session costs neither a later change nor a commit; a change
    // that finds no room for the journal (full disk, size limit) is refused
    // with a box and the transaction kept, and goes on once there is room.
    // Another program's close leaves the session's journal, which the
    // session needs once its folder allows no new file.
    void sessionOutlastsAFullDisk_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("disk fills during the session") << "fills";
        QTest::newRow("disk full at a commit that grows nothing") << "commit";
        QTest::newRow("disk full at the first change") << "first";
        QTest::newRow("size limit at the first change") << "limit";
        QTest::newRow("another program closes the file") << "other";
    }
    void sessionOutlastsAFullDisk()
    {
        QFETCH(QString, trouble);
        SmallDisk disk(m_dir.filePath(u"disk%1"_s.arg(++m_count)));
        QVERIFY2(disk.isMounted(), "the tests run as root and mount a tmpfs");
        const QString path = m_dir.filePath(u"disk%1/a.mdb"_s.arg(m_count));
        createDatabase(path);
        {
            Connection setup;
            setup.open(connectionString(path));
            setup.execute(QStringLiteral("CREATE TABLE t (id LONG, tx TEXT); "
                                         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
                                         "INSERT INTO t (id, tx) SELECT i, printf('%.1000c', 'x') FROM n"));
        }
        const auto count = [](Connection& c, const QString& where) {
            return c.openRecordset(u"SELECT COUNT(*) AS n FROM t WHERE "_s + where)[u"n"_s].toInt32();
        };
        NoRoom noRoom;
        rlimit noLimit{};
        ::getrlimit(RLIMIT_FSIZE, &noLimit);
        const auto liftLimit = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &noLimit); });
        // Another program, started before this one opens the file; it opens
        // and closes the file when told.
        int go[2] = {-1, -1};
        pid_t other = -1;
        if (trouble == QLatin1String("other")) {
            QVERIFY(::pipe(go) == 0);
            other = ::fork();
            if (other == 0) {
                ::close(go[1]);
                char byte = 0;
                if (::read(go[0], &byte, 1) == 1) {
                    Connection second;
                    second.open(connectionString(path));
                }
                ::_exit(0);
            }
            ::close(go[0]);
        }
        const auto reap = qScopeGuard([&] {
            if (other > 0) {
                ::close(go[1]);
                ::waitpid(other, nullptr, 0);
            }
        });
        Connection c;
        c.open(connectionString(path));
        noRoom.attach(c);
        c.beginTrans();
        QCOMPARE(count(c, u"1"_s), 200);

        if (trouble == QLatin1String("fills") || trouble == QLatin1String("commit")) {
            c.execute(u"UPDATE t SET tx = 'earlier' WHERE id <= 10"_s);
            disk.fill();
            if (trouble == QLatin1String("fills")) {
                c.execute(u"UPDATE t SET tx = 'later' WHERE id > 190"_s);
                // New pages, more than the journal's room it gives back: the
                // commit must grow the file, which it can't yet.
                c.execute(u"INSERT INTO t (id, tx) SELECT id + 1000, printf('%.2000c', 'y') FROM t"_s);
                QCOMPARE(errorOf([&] { c.commitTrans(); }), 13L);
                QVERIFY(c.inTransaction());
                disk.makeRoom();
            }
            QCOMPARE(noRoom.asked, 0);
        } else if (trouble == QLatin1String("first") || trouble == QLatin1String("limit")) {
            if (trouble == QLatin1String("first")) {
                disk.fill();
            } else {
                // A write past the limit fails as on a full disk instead of ending the process.
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit = noLimit;
                limit.rlim_cur = rlim_t(QFileInfo(path).size() + 16384);
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            // Without a handler (a program without a user) the change is refused at once.
            c.setNoRoomHandler({});
            QCOMPARE(errorOf([&] { c.execute(u"UPDATE t SET tx = 'earlier' WHERE id <= 10"_s); }), 13L);
            noRoom.attach(c);
            const vb::Error refused =
                testsupport::raisedError([&] { c.execute(u"UPDATE t SET tx = 'earlier' WHERE id <= 10"_s); });
            QCOMPARE(refused.number(), 13L);
            QCOMPARE(noRoom.asked, 1);
            QCOMPARE(noRoom.refusal, refused.description());
            // It names the one thing that lacks the room, what the change
            // needs and what there is.
            const QString reason = trouble == QLatin1String("first")
                ? u"^ディスクの空き容量が足りないため、データベースファイル [^\\r]+ に書き込めませんでした。（database or disk is full）\r\n"
                  u"この変更に要る空き容量は \\d+ [KM]B、ディスクの空き容量は \\d+ KB です。$"_s
                : u"^ファイルサイズの上限を超えるため、データベースファイル [^\\r]+ に書き込めませんでした。\r\n"
                  u"この変更に要るファイルサイズは \\d+ [KM]B、ファイルサイズの上限は \\d+ KB です。$"_s;
            QVERIFY2(refused.description().contains(QRegularExpression(reason)), qPrintable(refused.description()));
            QCOMPARE(noRoom.sizeLimit, trouble == QLatin1String("limit"));
            QVERIFY(c.inTransaction());
            QCOMPARE(count(c, u"tx = 'earlier'"_s), 0);
            // The user makes room while asked, then tries again.
            noRoom.whileAsked = [&] {
                disk.makeRoom();
                ::setrlimit(RLIMIT_FSIZE, &noLimit);
                noRoom.retry = true;
            };
            c.execute(u"UPDATE t SET tx = 'earlier' WHERE id <= 10"_s);
            QCOMPARE(noRoom.asked, 2);
        } else {
            QVERIFY(::write(go[1], "g", 1) == 1);
            ::close(go[1]);
            int status = -1;
            ::waitpid(std::exchange(other, -1), &status, 0);
            QVERIFY(WIFEXITED(status));
            QVERIFY2(QFile::exists(path + u"-journal"_s), "the session's journal is gone");
            testsupport::ReadOnlyFolder closed(QFileInfo(path).path());
            c.execute(u"UPDATE t SET tx = 'earlier' WHERE id <= 10"_s);
            c.execute(u"UPDATE t SET tx = 'later' WHERE id > 190"_s);
            c.commitTrans();
        }
        if (c.inTransaction())
            c.commitTrans();
        c.close();
        QVERIFY2(!QFile::exists(path + u"-journal"_s), "the last connection's close keeps the journal");
        Connection reopened;
        reopened.open(connectionString(path));
        QCOMPARE(count(reopened, u"tx = 'earlier'"_s), 10);
        const bool later = trouble == QLatin1String("fills") || trouble == QLatin1String("other");
        QCOMPARE(count(reopened, u"tx = 'later'"_s), later ? 10 : 0);
        QCOMPARE(count(reopened, u"1"_s), trouble == QLatin1String("fills") ? 400 : 200);
    }

    // A file as large as the file system lets a file be (on ext4 of 1 KB
    // blocks a few TB, here sparse): the journal a change may need can't be
    // that large, whatever the disk holds. The change is refused as past
    // the size limit, which it is, not as wanting disk room.
    void fileAtTheFileSystemsSizeLimit()
    {
        LoopDisk disk(m_dir.filePath(u"loop%1"_s.arg(++m_count)), u"ext4"_s, 16);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.why()));
        const QString path = disk.file(u"a.mdb"_s);
        fillDatabase(path, 10, 100);
        // The largest size the file takes; its header still names its pages.
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
        QVERIFY(fd >= 0);
        qint64 most = QFileInfo(path).size();
        for (qint64 step = qint64(1) << 52; step >= 4096; step /= 2) {
            if (::ftruncate(fd, most + step) == 0)
                most += step;
        }
        ::close(fd);
        QVERIFY(most > (qint64(1) << 40));
        Connection c;
        c.open(connectionString(path));
        c.beginTrans();
        const vb::Error refused = testsupport::raisedError([&] { c.execute(u"UPDATE t SET tx = 'y' WHERE id <= 5"_s); });
        QCOMPARE(refused.number(), 13L);
        QVERIFY2(refused.description().startsWith(u"ファイルサイズの上限を超えるため、データベースファイル "_s + path
                                                  + u" に書き込めませんでした。\r\nこの変更に要るファイルサイズは "_s),
                 qPrintable(refused.description()));
        QVERIFY(c.inTransaction());
    }

    // Where the file system can't reserve blocks (ext2, or a filter making
    // fallocate answer EOPNOTSUPP), a change and its commit go in without a
    // word; the free room, checked before every change, refuses one the
    // disk can't hold since another program filled it, with the changes
    // before it kept. Where the blocks are held (ext4), that change goes in.
    void savesWhereNoBlockCanBeReserved_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("filtered");
        QTest::newRow("ext2") << "ext2" << false;
        QTest::newRow("fallocate filtered on ext4") << "ext4" << true;
        QTest::newRow("ext4, which holds the room") << "ext4" << false;
    }
    void savesWhereNoBlockCanBeReserved()
    {
        QFETCH(QString, kind);
        QFETCH(bool, filtered);
        const bool holds = kind == QLatin1String("ext4") && !filtered;
        LoopDisk disk(m_dir.filePath(u"loop%1"_s.arg(++m_count)), kind, 16);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.why()));
        const QString path = disk.file(u"a.mdb"_s);
        fillDatabase(path, 1000, 1000);
        const int result = inChild([&] {
            if (filtered) {
                const int probe = ::open(QFile::encodeName(disk.file(u"probe"_s)).constData(), O_WRONLY | O_CREAT, 0600);
                if (!refuseFallocate() || ::fallocate(probe, 0, 0, 4096) == 0 || errno != EOPNOTSUPP)
                    return 1;
                ::close(probe);
            }
            NoRoom noRoom;
            Connection c;
            c.open(connectionString(path));
            noRoom.attach(c);
            c.beginTrans();
            c.openRecordset(u"SELECT COUNT(*) AS n FROM t"_s);
            c.execute(u"UPDATE t SET tx = 'changed' WHERE id <= 10"_s);
            c.execute(u"INSERT INTO t (id, tx) SELECT id + 1000, tx FROM t WHERE id <= 100"_s);
            c.commitTrans();
            if (noRoom.asked != 0)
                return 2;
            c.beginTrans();
            c.execute(u"UPDATE t SET tx = 'first' WHERE id > 990 AND id <= 1000"_s);
            disk.leave(QFileInfo(path).size() / 2);
            const long refused = errorOf([&] { c.execute(u"UPDATE t SET tx = 'later' WHERE id > 980 AND id <= 990"_s); });
            if (holds ? refused != 0 || noRoom.asked != 0
                      : refused != 13 || noRoom.asked != 1 || !noRoom.refusal.contains(u"ディスクの空き容量は"_s)
                            || !c.inTransaction())
                return 3;
            if (!holds) {
                disk.makeRoom();
                c.execute(u"UPDATE t SET tx = 'later' WHERE id > 980 AND id <= 990"_s);
            }
            c.commitTrans();
            c.close();
            Connection reopened;
            reopened.open(connectionString(path));
            const auto count = [&](const QString& tx) {
                return reopened.openRecordset(u"SELECT COUNT(*) AS n FROM t WHERE tx = '%1'"_s.arg(tx))[u"n"_s].toInt32();
            };
            return count(u"changed"_s) == 20 && count(u"first"_s) == 10 && count(u"later"_s) == 10 ? 0 : 4;
        });
        QCOMPARE(result, 0);
    }

    // On ext4, which keeps the blocks a failed reservation got: a change
    // refused for the journal's room and a commit refused for the file's
    // growth take no room, and the file keeps its pages; the commit gives
    // back the journal's room it doesn't use, so rows the disk can hold
    // beside the journal really written are committed, and the journal
    // holds no block after it. The room a killed session held goes back
    // when the file is next opened.
    void refusalTakesNoRoom_data()
    {
        QTest::addColumn<bool>("fits");
        QTest::newRow("refused change and commit") << false;
        QTest::newRow("new rows beside the journal used") << true;
    }
    void refusalTakesNoRoom()
    {
        QFETCH(bool, fits);
        LoopDisk disk(m_dir.filePath(u"loop%1"_s.arg(++m_count)), u"ext4"_s, 32);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.why()));
        const QString path = disk.file(u"a.mdb"_s);
        fillDatabase(path, 1500, 2000);
        const qint64 size = QFileInfo(path).size();
        QCOMPARE(sizeOfPages(path), size);
        const QString journal = journalPath(path);
        QCOMPARE(inChild([&] {
            Connection killed;
            killed.open(connectionString(path));
            killed.beginTrans();
            killed.execute(u"UPDATE t SET tx = 'lost' WHERE id <= 10"_s);
            ::raise(SIGKILL);
            return 0;
        }), -1);
        QVERIFY(blocksOf(journal) > size);
        NoRoom noRoom;
        Connection c;
        c.open(connectionString(path));
        QVERIFY2(blocksOf(journal) <= qMax<qint64>(QFileInfo(journal).size(), 0) + 4096,
                 qPrintable(QString::number(blocksOf(journal))));
        noRoom.attach(c);
        c.beginTrans();
        QCOMPARE(c.openRecordset(u"SELECT COUNT(*) AS n FROM t"_s)[u"n"_s].toInt32(), 1500);
        if (!fits) {
            disk.leave(size / 2);
            const qint64 before = disk.free();
            QCOMPARE(errorOf([&] { c.execute(u"UPDATE t SET tx = 'changed' WHERE id <= 10"_s); }), 13L);
            QCOMPARE(noRoom.asked, 1);
            QVERIFY2(qAbs(disk.free() - before) < MB, qPrintable(u"%1 → %2"_s.arg(before).arg(disk.free())));
            disk.makeRoom();
        }
        // Room for the journal's worst case, and beside the journal really
        // written for 1.5 MB of new rows, but not for both, nor for 6 MB.
        disk.leave(size + MB);
        const qint64 before = disk.free();
        c.execute(u"UPDATE t SET tx = 'changed' WHERE id <= 10"_s);
        if (fits) {
            c.execute(u"INSERT INTO t (id, tx) SELECT id + 10000, tx FROM t WHERE id <= 750"_s);
        } else {
            c.execute(u"INSERT INTO t (id, tx) SELECT id + 10000, tx FROM t"_s);
            c.execute(u"INSERT INTO t (id, tx) SELECT id + 20000, tx FROM t WHERE id <= 1500"_s);
        }
        if (!fits) {
            QCOMPARE(errorOf([&] { c.commitTrans(); }), 13L);
            QVERIFY2(qAbs(disk.free() - before) < MB, qPrintable(u"%1 → %2"_s.arg(before).arg(disk.free())));
            QCOMPARE(QFileInfo(path).size(), size);
            QCOMPARE(sizeOfPages(path), size);
            QVERIFY(c.inTransaction());
            disk.makeRoom();
        }
        c.commitTrans();
        QCOMPARE(blocksOf(journal), 0);
        c.close();
        QCOMPARE(noRoom.asked, fits ? 0 : 1);
        Connection reopened;
        reopened.open(connectionString(path));
        QCOMPARE(reopened.openRecordset(u"SELECT COUNT(*) AS n FROM t"_s)[u"n"_s].toInt32(), fits ? 2250 : 4500);
        QCOMPARE(reopened.openRecordset(u"SELECT COUNT(*) AS n FROM t WHERE tx = 'changed'"_s)[u"n"_s].toInt32(),
                 fits ? 20 : 30);  // with their copies
    }

    // A user who may only read the file (0444, in a folder anyone may
    // write) is refused a change and leaves no journal, so the owner saves
    // after; a journal this user can't write (another user's) is named as
    // such, not taken for a full disk, and the session stays.
    void readerLeavesNoJournal_data()
    {
        QTest::addColumn<bool>("othersJournal");
        QTest::newRow("file that user may only read") << false;
        QTest::newRow("journal of another user") << true;
    }
    void readerLeavesNoJournal()
    {
        QFETCH(bool, othersJournal);
        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 0777) == 0);
        const QString path = shared.filePath(u"a.mdb"_s);
        const QString journal = journalPath(path);
        fillDatabase(path, 20, 100);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), othersJournal ? 0666 : 0444) == 0);
        if (othersJournal) {
            QFile left(journal);  // emptied, as a session leaves it
            QVERIFY(left.open(QIODevice::WriteOnly));
            left.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        const int result = inChild([&] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                return 1;
            NoRoom noRoom;
            Connection c;
            c.open(connectionString(path));
            noRoom.attach(c);
            c.beginTrans();
            c.openRecordset(u"SELECT COUNT(*) AS n FROM t"_s);
            const vb::Error error =
                testsupport::raisedError([&] { c.execute(u"UPDATE t SET tx = 'changed' WHERE id <= 10"_s); });
            if (error.number() != 8 || noRoom.asked != 0 || !c.inTransaction())
                return 2;
            if (othersJournal
                && (!error.description().contains(journal) || error.description().contains(u"ディスクの空き容量"_s)))
                return 3;
            c.close();
            return 0;
        });
        QCOMPARE(result, 0);
        if (!othersJournal)
            QVERIFY2(!QFile::exists(journal), "a reader left a journal");
        Connection owner;
        owner.open(connectionString(path));
        owner.beginTrans();
        owner.execute(u"UPDATE t SET tx = 'changed' WHERE id <= 10"_s);
        owner.commitTrans();
        owner.close();
        QVERIFY(!QFile::exists(journal));
        Connection reopened;
        reopened.open(connectionString(path));
        QCOMPARE(reopened.openRecordset(u"SELECT COUNT(*) AS n FROM t WHERE tx = 'changed'"_s)[u"n"_s].toInt32(), 10);
    }

    // Another program switches the file to a write-ahead log during the
    // session: the session's changes take no room for the journal the
    // engine no longer writes; a commit the disk can't hold in the log is
    // refused with the transaction kept, as without the log; and the close
    // leaves no journal behind.
    void writeAheadLogOfAnotherProgram()
    {
        LoopDisk disk(m_dir.filePath(u"loop%1"_s.arg(++m_count)), u"ext4"_s, 16);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.why()));
        const QString path = disk.file(u"a.mdb"_s);
        fillDatabase(path, 1000, 1000);
        Connection c;
        c.open(connectionString(path));
        c.beginTrans();
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close_v2(other);
        c.execute(u"INSERT INTO t (id) VALUES (1001)"_s);
        QVERIFY2(blocksOf(journalPath(path)) <= 0, "room taken for a journal the engine doesn't write");
        disk.leave(0);
        QCOMPARE(errorOf([&] { c.commitTrans(); }), 13L);
        QVERIFY(c.inTransaction());
        disk.makeRoom();
        c.commitTrans();
        c.close();
        QVERIFY(!QFile::exists(journalPath(path)));
        Connection reopened;
        reopened.open(connectionString(path));
        QCOMPARE(reopened.openRecordset(u"SELECT COUNT(*) AS n FROM t WHERE id = 1001"_s)[u"n"_s].toInt32(), 1);
    }

    // Another program left the file with a write-ahead log of 2.3 MB it never
    // carried into the file. On a disk too full for the log's index (whose
    // pages would take their blocks as they are first touched), the open is
    // refused with the room named, and the process lives; once there is
    // room the file opens, leaves the log and keeps every row. On ext4 the
    // disk, filled by root to the last block it may take, still counts as
    // free the blocks the file system keeps for itself: they are no room.
    void logLeftOnAFullDisk_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("ext2") << u"ext2"_s;
        QTest::newRow("ext4") << u"ext4"_s;
        QTest::newRow("ext4, clusters of 16 blocks") << u"ext4 -O bigalloc -C 16384"_s;
    }
    void logLeftOnAFullDisk()
    {
        QFETCH(QString, kind);
        LoopDisk disk(m_dir.filePath(u"loop%1"_s.arg(++m_count)), kind, 16);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.why()));
        const QString path = disk.file(u"a.mdb"_s);
        createDatabase(path);
        QCOMPARE(inChild([&] {
            sqlite3* other = nullptr;
            sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
            const int rc = sqlite3_exec(other, "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                                        "CREATE TABLE t (id LONG, tx TEXT); "
                                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2200) "
                                        "INSERT INTO t (id, tx) SELECT i, printf('%.1000c', 'w') FROM n",
                                        nullptr, nullptr, nullptr);
            ::_exit(rc);  // ends with the log as it is
            return 0;
        }), 0);
        QFile::remove(path + u"-shm"_s);
        QVERIFY2(QFileInfo(path + u"-wal"_s).size() > 2 * MB, "no log left");
        disk.leaveExactly(16 * 1024);  // the index's first pages fit, the rest would not
        const auto openRefused = [&] {
            Connection c;
            const vb::Error refused = testsupport::raisedError([&] { c.open(connectionString(path)); });
            const QRegularExpression told(
                u"^ディスクの空き容量が足りないため、データベースファイル %1 を開けませんでした。\r\n"
                u"このファイルのログ %1-wal を読むには、索引ファイル %1-shm に \\d+ KB の空き容量が要りますが、"
                u"ディスクの空き容量は \\d+ KB です。\r\nディスクの空き容量を確保してから、開き直してください。$"_s.arg(
                    QRegularExpression::escape(path)));
            return refused.number() == 13 && refused.description().contains(told) && !c.isOpen() ? 0 : 1;
        };
        QCOMPARE(inChild(openRefused), 0);
        // Room for the index and for carrying the log in: the check lets the open be.
        disk.makeRoom();
        disk.leaveExactly(6 * MB);
        {
            Connection c;
            c.open(connectionString(path));
            QCOMPARE(c.openRecordset(u"SELECT COUNT(*) AS n FROM t"_s)[u"n"_s].toInt32(), 2200);
        }
        disk.makeRoom();
        QVERIFY(!QFile::exists(path + u"-wal"_s));

        // Left in that mode with its log carried in and gone, the file still
        // maps the index's first block as it opens.
        QCOMPARE(inChild([&] {
            sqlite3* other = nullptr;
            sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
            const int rc = sqlite3_exec(other, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
            ::_exit(sqlite3_close(other) == SQLITE_OK ? rc : 1);
            return 0;
        }), 0);
        QVERIFY(!QFile::exists(path + u"-wal"_s));
        disk.leaveExactly(16 * 1024);
        QCOMPARE(inChild(openRefused), 0);
    }

    // In an office's folder: another user's link is never followed, at a
    // database's name (root follows only root's) nor at its journal's; the
    // refusal names the link, and the file it leads to is left as it was.
    // The user's own link opens the file it leads to.
    void othersLinksAreNotFollowed_data()
    {
        QTest::addColumn<unsigned>("who");
        QTest::addColumn<QString>("link");  // its name in the folder
        QTest::addColumn<unsigned>("owner");
        QTest::addColumn<bool>("late");  // put there once the file is open
        QTest::newRow("the user's own link") << 4241u << u"b.mdb"_s << 4241u << false;
        QTest::newRow("a colleague's link") << 4241u << u"b.mdb"_s << 4243u << false;
        QTest::newRow("a user's link, root opening") << 0u << u"b.mdb"_s << 4241u << false;
        QTest::newRow("a colleague's link at the journal's name") << 4241u << u"a.mdb-journal"_s << 4243u << false;
        QTest::newRow("the same, once the file is open") << 4241u << u"a.mdb-journal"_s << 4243u << true;
    }
    void othersLinksAreNotFollowed()
    {
        QFETCH(unsigned, who);
        QFETCH(QString, link);
        QFETCH(unsigned, owner);
        QFETCH(bool, late);
        constexpr unsigned Office = 4242;
        QTemporaryDir office;
        const auto at = [&](const QString& name) { return QFile::encodeName(office.filePath(name)); };
        const QString a = office.filePath(u"a.mdb"_s), target = office.filePath(u"own/t.mdb"_s);
        QVERIFY(QDir(office.path()).mkdir(u"own"_s));
        fillDatabase(a, 20, 100);
        fillDatabase(target, 20, 100);
        // The office's folder; the opener's own file, in a folder of the opener's own.
        QVERIFY(::chown(at(u""_s).constData(), 0, Office) == 0 && ::chmod(at(u""_s).constData(), 02775) == 0
                && ::chown(at(u"a.mdb"_s).constData(), 4241, Office) == 0 && ::chmod(at(u"a.mdb"_s).constData(), 0664) == 0
                && ::chown(at(u"own"_s).constData(), who, who) == 0 && ::chmod(at(u"own"_s).constData(), 0700) == 0
                && ::chown(at(u"own/t.mdb"_s).constData(), who, who) == 0 && ::chmod(at(u"own/t.mdb"_s).constData(), 0600) == 0);
        const QByteArray made = at(late ? u".late"_s : link);
        QVERIFY(::symlink(QFile::encodeName(target).constData(), made.constData()) == 0
                && ::lchown(made.constData(), owner, gid_t(-1)) == 0);
        const QByteArray bytes = testsupport::fileBytes(target);
        const qint64 blocks = blocksOf(target);
        const auto change = [&] {
            const vb::Error error = testsupport::raisedError([&] {
                Connection c;
                c.open(connectionString(link.endsWith(u"-journal"_s) ? a : office.filePath(link)));
                if (late && ::rename(made.constData(), at(link).constData()) != 0)
                    return;
                c.beginTrans();
                c.execute(u"UPDATE t SET tx = 'changed' WHERE id <= 10"_s);
                c.commitTrans();
            });
            if (owner == who)
                return error.number() == 0 ? 0 : 1;
            return error.number() == vb::errPermission && error.description().contains(office.filePath(link))
                    && error.description().contains(u"が作ったリンクです。"_s)
                ? 0
                : 2;
        };
        QCOMPARE(who == 0 ? change() : testsupport::asColleague(who, {Office}, change), 0);
        if (owner != who) {
            QCOMPARE(testsupport::fileBytes(target), bytes);
            QCOMPARE(blocksOf(target), blocks);
        }
    }

    void immediateEndDropsConnectionsUncommitted()
    {
        const QString path = freshDatabase();
        Connection c;
        c.open(connectionString(path));
        c.beginTrans();
        c.execute(u"INSERT INTO t (id) VALUES (1)"_s);
        const platform::EndHandler previous = platform::setEndHandler([] { throw platform::ImmediateEnd{}; });
        QVERIFY_THROWS_EXCEPTION(platform::ImmediateEnd, platform::End());
        platform::setEndHandler(previous);
        QVERIFY(!c.isOpen());
        QVERIFY(ids(path).isEmpty());
    }

    // The engine resolves a name's links itself: a colleague exchanging his
    // link with the user's own at the name of the office's database, over
    // and over, never has the user's run open and write the user's private
    // database his link leads to.
    void exchangedLinkLendsTheEngineNoText()
    {
        constexpr unsigned User = 4241, Colleague = 4243, Office = 4242;
        QTemporaryDir dir;
        const QString home = dir.filePath(u"home"_s), place = dir.filePath(u"place"_s);
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(place));
        createDatabase(home + u"/private.mdb"_s);
        createDatabase(place + u"/office.mdb"_s);
        const QByteArray name = QFile::encodeName(place + u"/x.mdb"_s), theirs = QFile::encodeName(place + u"/theirs"_s);
        QVERIFY(::symlink("office.mdb", name.constData()) == 0
                && ::symlink(QFile::encodeName(home + u"/private.mdb"_s).constData(), theirs.constData()) == 0);
        const auto own = [](const QString& path, unsigned uid, unsigned group, mode_t mode) {
            return ::chown(QFile::encodeName(path).constData(), uid, group) == 0 && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
        };
        QVERIFY(own(dir.path(), 0, 0, 0755) && own(home, User, User, 0700) && own(home + u"/private.mdb"_s, User, User, 0600)
                && own(place + u"/office.mdb"_s, User, Office, 0664) && own(place, 0, Office, 02775)
                && ::lchown(name.constData(), User, Office) == 0 && ::lchown(theirs.constData(), Colleague, Office) == 0);
        const auto result = [&] {
            const testsupport::NameExchange colleague(Colleague, {Office}, QFile::decodeName(name), QFile::decodeName(theirs));
            return testsupport::asColleague(User, {Office}, [&] {
                const qint64 untouched = QFileInfo(home + u"/private.mdb"_s).size();
                for (int run = 0; run < 250 && QFileInfo(home + u"/private.mdb"_s).size() == untouched; ++run)
                    errorOf([&] {
                        Connection c;
                        c.open(connectionString(QFile::decodeName(name)));
                        c.execute(u"CREATE TABLE IF NOT EXISTS opened (x LONG)"_s);
                    });
                return 0;
            });
        }();
        QCOMPARE(result, 0);
        Connection c;
        c.open(connectionString(home + u"/private.mdb"_s));
        QCOMPARE(c.openRecordset(u"SELECT COUNT(*) AS n FROM sqlite_master WHERE name = 'opened'"_s)[u"n"_s].toString(), u"0"_s);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
