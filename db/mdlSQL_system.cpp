// tSystem: the schema version of a database file, and its one upgrade.

#include "db/mdlSQL.h"

#include "db/sqltext.h"

namespace mdlSQL {

qint16 fncSQL_GetSystemTable(typSystem& system)
{
    bool found = false;
    const bool ok = sqltext::guarded(QStringLiteral("fncSQL_GetSystemTable"), [&] {
        platform::db::Recordset rs =
            sqltext::connection().openRecordset(QStringLiteral("SELECT * FROM tSystem ORDER BY System_Id"));
        if (rs.eof()) {
            rs.close();
            return;
        }
        const platform::db::Field id = rs[QStringLiteral("System_Id")];
        if (!id.isNull()) {
            system.System_Id = id.toInt32();
            found = true;
        }
        const auto readText = [&rs](const char* column, QString& into) {
            const platform::db::Field f = rs[QLatin1String(column)];
            if (!f.isNull())
                into = f.toString();
        };
        readText("strPassWord", system.strPassWord);
        readText("strUserId", system.strUserId);
        readText("strComment", system.strComment);
        readText("strCopyRight", system.strCopyRight);
        rs.close();
    });
    return ok && found ? 0 : -1;
}

qint16 fncSQL_System_UpdateBin(qint32 systemId, const QString& column, const QString& value)
{
    const QString sql = sqltext::Update(QStringLiteral("tSystem"))
                            .value(column, value)
                            .value(QStringLiteral("datReDate"), sqltext::now())
                            .statement(QStringLiteral("System_Id = ") + sqltext::number(systemId));
    return sqltext::change(QStringLiteral("fncSQL_System_UpdateBin"), sql) ? 0 : -1;
}

qint16 fncSQL_CreateFieldHatching()
{
    return sqltext::change(QStringLiteral("fncSQL_CreateFieldHatching"),
                           QStringLiteral("ALTER TABLE ") + QStringLiteral("tHatching ") +
                               QStringLiteral("ADD iTilt SHORT"))
               ? 0
               : -1;
}

}  // namespace mdlSQL
