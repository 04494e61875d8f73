#pragma once
// Shared helpers for the tests: a scratch program folder laid out as the
// build lays out the real one.

#include "platform/vberror.h"

#include <QApplication>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>

namespace testsupport {

// The generated template database of this build for the tests: the
// program's, its password's stored form taking few rounds.
QString templatePath();
// This build's program folder (the program, its help page and pictures).
QString programDir();
// The repository's source folder (for resources).
QString sourceDir();

// Copies the template database to `path` (writable) and returns the path;
// a copy that fails ends the test program at once with the reason.
QString copyTemplate(const QString& path);

// The runtime error a call raises; number 0 when it returns.
vb::Error raisedError(const std::function<void()>& call);
// The runtime error number a call raises, 0 when it returns.
long errorOf(const std::function<void()>& call);

// Qt's write buffer: a write of fewer bytes only fills it, and the file
// system sees the bytes at the final flush.
constexpr qint64 QtBufferSize = 16384;

// Runs `body` in a child process and returns its result (0..255), or -1
// when the child did not exit normally (a signal ended it). What the body
// changes in memory stays in the child; an exception it throws gives 254.
int inChild(const std::function<int()>& body);

// Runs `body` in a child process as the user `uid` (with that user's
// group): no longer root, so the file system's permissions hold for it as
// for anyone. Returns as inChild; 255 when the user could not be taken.
int asUser(unsigned uid, const std::function<int()>& body);
constexpr unsigned Nobody = 65534;  // the user "nobody"

// Runs `body` in a child process as the user `uid` of an office sharing a
// folder: a group of its own (numbered as the user) and the groups
// `groups`, and the umask 002 that lets the group write what it makes.
// Returns as asUser. The numbers need no account on the machine.
int asColleague(unsigned uid, const QList<unsigned>& groups, const std::function<int()>& body);

// Two processes as the colleague `uid` (groups `groups`) exchanging the
// names `a` and `b` (renameat2 RENAME_EXCHANGE) without pause, for the
// life of the object.
class NameExchange {
public:
    NameExchange(unsigned uid, const QList<unsigned>& groups, const QString& a, const QString& b);
    ~NameExchange();
    NameExchange(const NameExchange&) = delete;
    NameExchange& operator=(const NameExchange&) = delete;

private:
    int m_children[2] = {-1, -1};
};

// Runs `body` in a child process whose file-size limit is `limit` bytes (none
// when negative); root is held to the limit too. The child first does what
// the program does at its start, so a write past the limit fails as on a
// full disk; with `asStarted` false the signal ends the child unless the
// body's own code makes it harmless. Returns the body's result (0..255), or
// -1 when the child did not exit normally (a signal ended it). What the
// body changes in memory stays in the child.
int withFileSizeLimit(qint64 limit, const std::function<int()>& body, bool asStarted = true);

// A file's bytes; none when it cannot be read.
QByteArray fileBytes(const QString& path);

// The pixel sizes of the images a PDF holds, in page order, as pdfimages
// lists them; empty when it could not be read.
QList<QSize> pdfImageSizes(const QString& path);

// One page of a PDF as pdftoppm rasters it at `dpi` without smoothing, the
// part `crop` of it in the raster's pixels (the whole page when empty); a
// null image when it could not be read.
QImage pdfRaster(const QString& path, int dpi, QRect crop = {}, int page = 1);

// The pixels of an image that `on` picks, and how many of them have their
// right-hand neighbour one row up (rising) or one row down (falling) picked
// too: which way a hatching's slants run.
struct Slants {
    QList<QPoint> pixels;
    int rising = 0, falling = 0;
    bool operator==(const Slants&) const = default;
};
Slants slantsOf(const QImage& image, const std::function<bool(QRgb)>& on);

// The main of a test program some of whose tests start it again as a
// child process: where the environment sets `childVariable`, it runs
// `child` in place of the tests; otherwise the tests, as QTEST_MAIN does.
template <class Test>
int mainWithChild(int argc, char** argv, const char* childVariable, int (*child)(int, char**))
{
    if (qEnvironmentVariableIsSet(childVariable))
        return child(argc, argv);
    QApplication application(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// Runs this test program again as a child process, with `environment`
// added to this one's and leak checks off (the child ends without tidying
// up), and waits up to two minutes for it. Its standard output; nothing
// when it did not end with status 0.
std::optional<QByteArray> runSelf(const QMap<QString, QString>& environment);

// A temporary program folder holding Init.ini (from resources), "MDB",
// "template/master.mdb" and "help.html", installed as the program folder
// (platform::app::setPath) for the life of the object.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withMdb = true, bool withTemplate = true, bool withIni = true);
    ~ProgramFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Makes a folder one in which no file can be made, for the life of the
// object, even for root: the process gives up overriding file permissions
// meanwhile. Files already in it stay writable.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString m_path;
    int m_mode = 0;
    bool m_hadOverride = false;
};

}  // namespace testsupport
