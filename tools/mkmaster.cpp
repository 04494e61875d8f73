// Builds the template database: mkmaster <schema.sql> <out.mdb> [rounds]
// A fresh file is made under a temporary name from the schema script, given
// the program's database password, checked by opening it as the program
// does, and only then put in place of the old template. `rounds` makes the
// password's stored form take fewer rounds than the program's own: the
// tests' template, which they open hundreds of times.

#include "platform/database.h"
#include "platform/vberror.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Every database file of the program carries this password.
const QString DatabasePassword = QStringLiteral("quillmoss");

QString connectionString(const QString& path, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=") + path +
           QStringLiteral(";User ID=Admin; Jet OLEDB:Database Password=") + password + QStringLiteral(";");
}

int fail(const QString& message)
{
    std::fprintf(stderr, "mkmaster: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const QString usage = QStringLiteral("usage: mkmaster <schema.sql> <out.mdb> [rounds]");
    if (argc != 3 && argc != 4)
        return fail(usage);
    int iterations = platform::passwordhash::Iterations;
    if (argc == 4) {
        bool ok = false;
        iterations = QByteArray(argv[3]).toInt(&ok);
        if (!ok || iterations < 1)
            return fail(usage);
    }
    const QString schemaPath = QString::fromLocal8Bit(argv[1]);
    const QString outPath = QString::fromLocal8Bit(argv[2]);
    const QString tempPath = outPath + QStringLiteral(".tmp");

    QFile schemaFile(schemaPath);
    if (!schemaFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(schemaPath, schemaFile.errorString()));
    const QString script = QString::fromUtf8(schemaFile.readAll());

    // A journal left by a run that was stopped would be played back onto the new file.
    QFile::remove(tempPath);
    QFile::remove(platform::db::journalPath(tempPath));
    try {
        platform::db::createDatabase(tempPath);
        {
            platform::db::Connection connection;
            connection.open(connectionString(tempPath, QString()));
            connection.beginTrans();
            connection.execute(script);
            platform::db::setDatabasePassword(connection, DatabasePassword, iterations);
            connection.commitTrans();
            connection.close();
        }
        // Open it as the program will: with the password, and tSystem there.
        platform::db::Connection check;
        check.open(connectionString(tempPath, DatabasePassword));
        platform::db::Recordset rs = check.openRecordset(QStringLiteral("SELECT * FROM tSystem ORDER BY System_Id"));
        if (rs.eof())
            throw vb::Error(vb::errInvalidCall, QStringLiteral("the schema leaves tSystem without a row"));
        check.close();
    } catch (const vb::Error& error) {
        QFile::remove(tempPath);
        return fail(QStringLiteral("%1: error %2: %3").arg(tempPath).arg(error.number()).arg(error.description()));
    }

    // Renamed over the old template in one step: a test copying it meanwhile
    // finds the old file or the new one, never none.
    if (std::rename(QFile::encodeName(tempPath).constData(), QFile::encodeName(outPath).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(tempPath);
        return fail(QStringLiteral("cannot rename %1 to %2: %3").arg(tempPath, outPath, reason));
    }
    return 0;
}
