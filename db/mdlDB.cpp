#include "db/mdlDB.h"

#include "app/globals.h"
#include "platform/ui.h"
#include "platform/vberror.h"

namespace mdlDB {

QString fncConnectionString(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; ") + QStringLiteral("Data Source=") + path +
           QStringLiteral(";") + QStringLiteral("User ID=Admin; ") + QStringLiteral("Jet OLEDB:Database Password=") +
           DatabasePassword + QStringLiteral(";");
}

qint16 fncDbOpen(const QString& path)
{
    GE_booDbOpen = false;
    try {
        GE_objConnection = std::make_unique<platform::db::Connection>();
        GE_objConnection->open(fncConnectionString(path));
        // A file without tSystem is not one of ours.
        GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM tSystem")).close();
        GE_objConnection->beginTrans();
    } catch (const vb::Error& error) {
        // A connection that failed half way is not left holding the file.
        GE_objConnection.reset();
        vb::MsgBox(error.description(), vb::vbOKOnly,
                   QStringLiteral("mdlDB:fncDbOpen() db コネクション error() err.number = ") +
                       QString::number(error.number()));
        return -1;
    }
    GE_booDbOpen = true;
    return 0;
}

qint16 fncDbClose()
{
    if (GE_objConnection && GE_objConnection->inTransaction()) {
        if (!GE_booDbUpdate) {
            GE_objConnection->rollbackTrans();
        } else if (vb::MsgBox(QStringLiteral("図面が更新されています。保存しますか？"), vb::vbYesNo,
                              QStringLiteral("図面更新")) == vb::vbYes) {
            GE_objConnection->commitTrans();
            GE_booDbUpdate = false;
        } else {
            GE_objConnection->rollbackTrans();
            // The changes are gone: the next close must not ask about them.
            GE_booDbUpdate = false;
        }
    }
    if (GE_objConnection)
        GE_objConnection->close();
    GE_objConnection.reset();
    GE_booDbOpen = false;
    return 0;
}

}  // namespace mdlDB
