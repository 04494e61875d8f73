#include "tests/support/testsupport.h"

#include "platform/application.h"
#include "platform/vberror.h"

#include <QDir>
#include <QFile>

namespace testsupport {

QString templatePath()
{
    return qEnvironmentVariable("NEMU_TEMPLATE");
}

QString sourceDir()
{
    return qEnvironmentVariable("NEMU_SOURCE_DIR");
}

QString copyTemplate(const QString& path)
{
    QFile::copy(templatePath(), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

long errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vb::Error& error) {
        return error.number();
    }
    return 0;
}

ProgramFolder::ProgramFolder(bool withMdb, bool withTemplate, bool withIni)
    : m_previous(platform::app::path())
{
    QDir dir(m_dir.path());
    if (withMdb)
        dir.mkpath(QStringLiteral("MDB"));
    if (withTemplate) {
        dir.mkpath(QStringLiteral("template"));
        QFile::copy(templatePath(), file(QStringLiteral("template/master.mdb")));
        QFile::setPermissions(file(QStringLiteral("template/master.mdb")),
                              QFile::ReadOwner | QFile::WriteOwner);
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

}  // namespace testsupport
