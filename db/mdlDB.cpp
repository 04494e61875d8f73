#include "db/mdlDB.h"

#include "app/globals.h"
#include "platform/ui.h"
#include "platform/vberror.h"

#include <QPointer>

#include <vector>

using namespace vb;

namespace mdlDB {

namespace {

const QString kSaveTitle = QStringLiteral("図面更新");

struct LossWatcher {
    QPointer<QObject> owner;
    std::function<void()> listener;
};
std::vector<LossWatcher>& watchers()
{
    static std::vector<LossWatcher> list;
    return list;
}
long losses = 0;
// Changes the user let go at the no-room box, and the last one's refusal:
// that box said what to do, so the failure is not told again.
long refusals = 0;
QString lastRefusal;
// Statements another program's lock on the file refused.
long held = 0;

bool fncHeld(const Error& failure)
{
    return failure.number() == platform::db::errBusy || failure.number() == platform::db::errLocked;
}

// Everything written since the file was opened went with the transaction;
// the objects still shown can be saved again once there is room.
void subTransaction_Lost(const Error& cause)
{
    ++losses;
    GE_booDbUpdate = false;  // the new transaction holds nothing yet
    std::erase_if(watchers(), [](const LossWatcher& w) { return w.owner.isNull(); });
    const std::vector<LossWatcher> current = watchers();
    for (const LossWatcher& w : current) {
        if (w.owner)
            w.listener();
    }
    MsgBox(QStringLiteral("データベースファイルに書き込めませんでした。") + vbCrLf + cause.description() + vbCrLf + vbCrLf
               + QStringLiteral("このファイルを開いてから書き込んだ変更は、ファイルに残せませんでした。") + vbCrLf
               + QStringLiteral("開いている図面は画面に残っています。") + vbCrLf
               + QStringLiteral("ディスクの空き容量を確保してから、図面をもう一度保存してください。"),
           vbExclamation, QStringLiteral("データベース書き込みエラー"));
}

// A change that finds no room for the journal: the user may make room (or
// have the file-size limit raised) and write it again, or go back to the
// program with the change refused.
bool fncRetry_NoRoom(const Error& refused, bool sizeLimit)
{
    const QString text = QStringLiteral("変更をデータベースファイルに書き込めませんでした。") + vbCrLf
        + refused.description() + vbCrLf + vbCrLf
        + (sizeLimit ? QStringLiteral("ファイルサイズの上限を引き上げてください。")
                     : QStringLiteral("ディスクの空き容量を確保してください。"))
        + QStringLiteral("このファイルを開いてからの変更は、そのまま残っています。")
        + vbCrLf + vbCrLf + QStringLiteral("｢再試行｣　　：もう一度書き込みます。") + vbCrLf
        + QStringLiteral("｢キャンセル｣：この変更を書き込まずに、プログラムに戻ります。");
    if (MsgBox(text, vbRetryCancel + vbExclamation, QStringLiteral("データベース書き込みエラー")) == vbRetry)
        return true;
    ++refusals;
    lastRefusal = refused.description();
    return false;
}

// Commits, offering the commit again while it fails: false when the user
// goes back to the program with the transaction as it was.
bool fncCommit()
{
    for (;;) {
        try {
            GE_objConnection->commitTrans();
            GE_booDbUpdate = false;
            return true;
        } catch (const Error& error) {
            // A commit the engine rolled back leaves nothing to keep; the
            // user has been told.
            if (error.number() == platform::db::errTransactionLost)
                return true;
            // A lack of room is told with what lacks it and the figures, a
            // lock with whom to ask: the one reason, not a list of guesses.
            QString causes;
            if (fncHeld(error))
                causes = QStringLiteral("このデータベースファイルを、ほかのねむのきⅡ（別のパソコンや別のユーザーのもの）が使っています。")
                    + QStringLiteral("そのねむのきⅡを終了してもらってから、｢再試行｣を押してください。") + vbCrLf + vbCrLf;
            else if (error.number() != platform::db::errNoRoom)
                causes = QStringLiteral("ほかのプログラム（別のパソコンのねむのきⅡ、バックアップなど）がこのファイルを使っているか、")
                    + QStringLiteral("ディスクがいっぱいか、フォルダに書き込めなくなっています。") + vbCrLf + vbCrLf;
            const QString text = QStringLiteral("図面の変更をデータベースファイルに保存できませんでした。") + vbCrLf
                + error.description() + vbCrLf + vbCrLf + causes
                + QStringLiteral("｢再試行｣　　：もう一度保存します。") + vbCrLf
                + QStringLiteral("｢キャンセル｣：変更を残したまま、プログラムに戻ります。");
            if (MsgBox(text, vbRetryCancel + vbExclamation, kSaveTitle) != vbRetry)
                return false;
        }
    }
}

void subRollback()
{
    try {
        GE_objConnection->rollbackTrans();
    } catch (const Error&) {
        // Closing the connection drops the transaction all the same.
    }
}

}  // namespace

QString fncConnectionString(const QString& path)
{
    // Quoted, so that no ";" or "=" in a file's name can name another file.
    QString quoted = path;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; ") + QStringLiteral("Data Source=\"") + quoted +
           QStringLiteral("\";") + QStringLiteral("User ID=Admin; ") + QStringLiteral("Jet OLEDB:Database Password=") +
           DatabasePassword + QStringLiteral(";");
}

qint16 fncDbOpen(const QString& path)
{
    GE_booDbOpen = false;
    try {
        GE_objConnection = std::make_unique<platform::db::Connection>();
        const auto notOurs = [&path](const QString& cause) {
            return Error(platform::db::errStatement,
                         path + QStringLiteral(" はねむのきⅡのデータベースファイルではありません。（") + cause
                             + QStringLiteral("）"));
        };
        try {
            GE_objConnection->open(fncConnectionString(path));
        } catch (const Error& error) {
            // Another program's database carries none of our password: the
            // user needs to hear what the file is, not that a password failed.
            if (error.number() == platform::db::errWrongPassword
                && platform::db::lacksTable(path, QStringLiteral("tSystem")))
                throw notOurs(QStringLiteral("no such table: tSystem"));
            throw;
        }
        // A file without tSystem is not one of ours.
        try {
            GE_objConnection->openRecordset(QStringLiteral("SELECT * FROM tSystem")).close();
        } catch (const Error& error) {
            if (error.number() != platform::db::errStatement)
                throw;
            throw notOurs(error.description());
        }
        GE_objConnection->beginTrans();
        GE_objConnection->setLossHandler(subTransaction_Lost);
        GE_objConnection->setNoRoomHandler(fncRetry_NoRoom);
    } catch (const Error& error) {
        // A connection that failed half way is not left holding the file.
        GE_objConnection.reset();
        MsgBox(error.description(), vbOKOnly,
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
            subRollback();
        } else if (MsgBox(QStringLiteral("図面が更新されています。保存しますか？"), vbYesNo, kSaveTitle) == vbYes) {
            if (!fncCommit())
                return -1;
        } else {
            subRollback();
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

bool fncTell_NotWritable()
{
    if (!GE_objConnection || !GE_objConnection->isReadOnly())
        return true;
    MsgBox(QStringLiteral("データベースファイル ") + GE_objConnection->path()
               + QStringLiteral(" は読み取り専用のため、書き込めません。") + vbCrLf
               + QStringLiteral("図面を見ることはできますが、変更は保存できません。") + vbCrLf
               + QStringLiteral("保存するには、ファイルに書き込めるようにしてから、データベースを開き直してください。"),
           vbExclamation, QStringLiteral("データベース書き込み不可"));
    return false;
}

void subWatch_Loss(QObject* owner, std::function<void()> listener)
{
    watchers().push_back({owner, std::move(listener)});
}

long fncLossCount() { return losses; }

long fncRefusalCount() { return refusals; }

void subNote_Failure(const Error& failure)
{
    if (fncHeld(failure))
        ++held;
}

long fncHeldCount() { return held; }

bool fncRefusal_Told(const Error& failure)
{
    return refusals > 0 && failure.number() == platform::db::errNoRoom && failure.description() == lastRefusal;
}

}  // namespace mdlDB
