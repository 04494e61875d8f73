#include "tests/support/testsupport.h"

#include "platform/application.h"
#include "platform/vberror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

QString templatePath()
{
    return qEnvironmentVariable("NEMU_TEMPLATE");
}

QString programDir()
{
    return qEnvironmentVariable("NEMU_PROGRAM_DIR");
}

QString sourceDir()
{
    return qEnvironmentVariable("NEMU_SOURCE_DIR");
}

QString copyTemplate(const QString& path)
{
    // A test without its database would fail later for a reason of its own.
    QFile source(templatePath());
    if (!source.copy(path))
        qFatal("cannot copy the template database \"%s\" to \"%s\": %s", qPrintable(templatePath()),
               qPrintable(path), qPrintable(source.errorString()));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

vb::Error raisedError(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vb::Error& error) {
        return error;
    }
    return vb::Error(0);
}

long errorOf(const std::function<void()>& call)
{
    return raisedError(call).number();
}

int inChild(const std::function<int()>& body)
{
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        int result = 254;
        try {
            result = body();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(result & 0xFF);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int asUser(unsigned uid, const std::function<int()>& body)
{
    return inChild([&] {
        const passwd* user = ::getpwuid(uid_t(uid));
        const gid_t group = user ? user->pw_gid : gid_t(uid);
        if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(uid_t(uid)) != 0)
            return 255;
        return body();
    });
}

int asColleague(unsigned uid, const QList<unsigned>& groups, const std::function<int()>& body)
{
    return inChild([&] {
        const std::vector<gid_t> list(groups.begin(), groups.end());
        if (::setgroups(list.size(), list.data()) != 0 || ::setgid(gid_t(uid)) != 0 || ::setuid(uid_t(uid)) != 0)
            return 255;
        ::umask(002);
        return body();
    });
}

NameExchange::NameExchange(unsigned uid, const QList<unsigned>& groups, const QString& a, const QString& b)
{
    const QByteArray first = QFile::encodeName(a), second = QFile::encodeName(b);
    const std::vector<gid_t> list(groups.begin(), groups.end());
    for (int& child : m_children) {
        child = ::fork();
        if (child != 0)
            continue;
        if (::setgroups(list.size(), list.data()) != 0 || ::setgid(gid_t(uid)) != 0 || ::setuid(uid_t(uid)) != 0)
            ::_exit(1);
        for (;;)
            ::renameat2(AT_FDCWD, first.constData(), AT_FDCWD, second.constData(), RENAME_EXCHANGE);
    }
}

NameExchange::~NameExchange()
{
    for (const int child : m_children)
        if (child > 0 && ::kill(child, SIGKILL) == 0)
            ::waitpid(child, nullptr, 0);
}

int withFileSizeLimit(qint64 limit, const std::function<int()>& body, bool asStarted)
{
    return inChild([&] {
        if (asStarted)
            platform::app::takeSizeLimitAsWriteError();
        else  // not even what the test process was left with
            std::signal(SIGXFSZ, SIG_DFL);
        rlimit fsize{};
        ::getrlimit(RLIMIT_FSIZE, &fsize);
        if (limit >= 0)
            fsize.rlim_cur = rlim_t(limit);
        return ::setrlimit(RLIMIT_FSIZE, &fsize) == 0 ? body() : 255;
    });
}

QList<QSize> pdfImageSizes(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QList<QSize> sizes;
    // Two heading lines, then: page num type width height ...
    const QList<QByteArray> rows = p.readAllStandardOutput().split('\n');
    for (qsizetype i = 2; i < rows.size(); ++i) {
        const QList<QByteArray> cells = rows[i].simplified().split(' ');
        if (cells.size() > 4)
            sizes.append(QSize(cells[3].toInt(), cells[4].toInt()));
    }
    return sizes;
}

QImage pdfRaster(const QString& path, int dpi, QRect crop, int page)
{
    const QString stem = path + QStringLiteral(".page");
    QStringList args{QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-aa"), QStringLiteral("no"),
                     QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-f"), QString::number(page),
                     QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile")};
    if (!crop.isEmpty())
        args << QStringLiteral("-x") << QString::number(crop.x()) << QStringLiteral("-y")
             << QString::number(crop.y()) << QStringLiteral("-W") << QString::number(crop.width())
             << QStringLiteral("-H") << QString::number(crop.height());
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), args << path << stem);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QImage();
    const QImage image(stem + QStringLiteral(".ppm"));
    QFile::remove(stem + QStringLiteral(".ppm"));
    return image;
}

std::optional<QByteArray> runSelf(const QMap<QString, QString>& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it)
        env.insert(it.key(), it.value());
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return std::nullopt;
    return child.readAllStandardOutput();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Slants slantsOf(const QImage& image, const std::function<bool(QRgb)>& on)
{
    const auto at = [&](int x, int y) { return image.valid(x, y) && on(image.pixel(x, y)); };
    Slants s;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(x, y)) {
                s.pixels << QPoint(x, y);
                s.rising += at(x + 1, y - 1);
                s.falling += at(x + 1, y + 1);
            }
    return s;
}

ProgramFolder::ProgramFolder(bool withMdb, bool withTemplate, bool withIni)
    : m_previous(platform::app::path())
{
    QDir dir(m_dir.path());
    if (withMdb)
        dir.mkpath(QStringLiteral("MDB"));
    if (withTemplate) {
        dir.mkpath(QStringLiteral("template"));
        copyTemplate(file(QStringLiteral("template/master.mdb")));
    }
    if (withIni) {
        QFile::copy(sourceDir() + QStringLiteral("/resources/Init.ini"), file(QStringLiteral("Init.ini")));
        QFile::setPermissions(file(QStringLiteral("Init.ini")), QFile::ReadOwner | QFile::WriteOwner);
    }
    QFile::copy(sourceDir() + QStringLiteral("/resources/help.html"), file(QStringLiteral("help.html")));
    platform::app::setPath(m_dir.path());
}

ProgramFolder::~ProgramFolder()
{
    platform::app::setPath(m_previous);
}

namespace {

// Switches the effective right to override file permissions; returns
// whether the process had it.
bool setPermissionOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const quint32 bit = 1u << CAP_DAC_OVERRIDE;
    const bool had = data[0].effective & bit;
    data[0].effective = on ? data[0].effective | (bit & data[0].permitted) : data[0].effective & ~bit;
    ::syscall(SYS_capset, &header, data);
    return had;
}

}  // namespace

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    m_mode = int(st.st_mode & 07777);
    ::chmod(QFile::encodeName(path).constData(), 0555);
    m_hadOverride = setPermissionOverride(false);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_hadOverride)
        setPermissionOverride(true);
    ::chmod(QFile::encodeName(m_path).constData(), mode_t(m_mode));
}

}  // namespace testsupport
