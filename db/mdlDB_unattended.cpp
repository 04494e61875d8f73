// The close of the database when nothing can be asked any more, and the
// note it leaves for the next start when the run's saves could not be kept.

#include "db/mdlDB.h"

#include "app/globals.h"
#include "platform/application.h"
#include "platform/database.h"
#include "platform/files.h"
#include "platform/ownlinks.h"
#include "platform/programfolder.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QDateTime>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace vb;
using namespace std::chrono_literals;

namespace mdlDB {

namespace {

std::chrono::milliseconds unattendedWait = 60s;

QString notePath()
{
    return platform::files::join(platform::app::path(), QStringLiteral("lostsaves.txt"));
}

// While the unattended close waits to save, a start from the same folder
// finds the instance lock held: this mark, holding the time by which the
// close will have ended, lets it say why.
QString endingPath()
{
    return platform::files::join(platform::app::path(), QStringLiteral(".nemunoki2.ending"));
}

// The program folder's marks, opened as `file` through the user's own
// links only: others may write the folder, and another user's link at a
// mark's name would point the write (or the read) at a file of the user's
// its maker chose. False when refused or not there.
bool openMark(QFile& file, const QString& path, int flags, QIODevice::OpenMode mode)
{
    QString link;
    const int fd = platform::openOwn(path, flags, 0666, &link);
    if (fd < 0) {
        if (!link.isEmpty())
            file.setFileName(link);  // what a failure names
        return false;
    }
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

// A mark goes; another user's link there stays, for the user to see.
void removeMark(const QString& path)
{
    if (platform::foreignLinkAt(path).isEmpty()) {
        const platform::programfolder::At name = platform::programfolder::at(path);
        ::unlinkat(name.folder, name.name.constData(), 0);
    }
}

// Each try of the commit may itself wait this long for the lock.
constexpr auto commitTryWait = 3s;

void subMark_Ending()
{
    QFile mark;
    const QDateTime until = QDateTime::currentDateTimeUtc().addMSecs((unattendedWait + commitTryWait + 2s).count());
    if (openMark(mark, endingPath(), O_WRONLY | O_CREAT | O_TRUNC, QIODevice::WriteOnly))
        mark.write(until.toString(Qt::ISODate).toLatin1());
}

// A drawing's record as far as telling a save from none goes: every change
// to a drawing stamps its record's datRenew.
struct DrawingRecord {
    QVariant number, name, renewed;
    bool operator==(const DrawingRecord&) const = default;
};
using DrawingRecords = std::map<qint32, DrawingRecord>;

// The drawing records as the connection sees them now; raises the failure.
DrawingRecords fncDrawingRecords()
{
    DrawingRecords records;
    platform::db::Recordset rs =
        GE_objConnection->openRecordset(QStringLiteral("SELECT Print_Id, strNo, strName, datRenew FROM tPrint"));
    for (; !rs.eof(); rs.moveNext())
        records[rs[QStringLiteral("Print_Id")].toInt32()] = {rs[QStringLiteral("strNo")].value(),
                                                              rs[QStringLiteral("strName")].value(),
                                                              rs[QStringLiteral("datRenew")].value()};
    return records;
}

// Another program (another copy of this one, a backup) holds the file's lock.
bool fncLockHeld(const Error& failure)
{
    return failure.number() == platform::db::errBusy || failure.number() == platform::db::errLocked;
}

// Commits, trying again while another program holds the file's lock until
// `wait` has passed (each try itself waits a few seconds for the lock): the
// failure that stayed, or none.
std::optional<Error> fncCommit_Waiting(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        try {
            GE_objConnection->commitTrans();
            return std::nullopt;
        } catch (const Error& error) {
            if (!fncLockHeld(error) || !GE_objConnection->inTransaction() || std::chrono::steady_clock::now() >= deadline)
                return error;
        }
        std::this_thread::sleep_for(100ms);
    }
}

// The drawings written in the run (`during`, read in its transaction) whose
// records the file, as it stays (`after`), doesn't hold so, by number and
// name, one a line.
QStringList fncLostDrawings(const DrawingRecords& during, const DrawingRecords& after)
{
    QStringList lines;
    for (const auto& [id, record] : during) {
        const auto kept = after.find(id);
        if (kept == after.end() || !(kept->second == record))
            lines << QStringLiteral("　管理番号 %1　%2").arg(record.number.toString(), record.name.toString());
    }
    return lines;
}

// The note on a run whose saves the file could not keep: when the program
// gave up (the wait's end, not the display's loss), the file, why (and how long another program's lock was waited
// for), and the drawings the run saved, where they are known.
QString fncLostSavesNote(const QDateTime& when, const QString& file, const QString& reason,
                         std::optional<std::chrono::seconds> waited, const std::optional<QStringList>& drawings)
{
    QString note = QStringLiteral("確認なしで終了したねむのきⅡ（画面が使えなくなったときなど）は、")
        + when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QStringLiteral(" に、データベースファイル ") + file
        + QStringLiteral(" に変更を保存できないまま終了しました。\n") + reason + QStringLiteral("\n");
    if (waited)
        note += QStringLiteral("ほかのプログラム（別のパソコンのねむのきⅡなど）がこのファイルを使い終わるのを %1 秒待ちましたが、"
                               "使い終わりませんでした。\n")
                    .arg(qMax<qint64>(1, waited->count()));
    // The run's drawings and objects went with its process: nothing is left
    // to save again.
    if (drawings && !drawings->isEmpty())
        note += QStringLiteral("次の図面は、その実行で保存した内容がファイルに残っていません。"
                               "その内容はプログラムにも残っていないため、もう一度作業し直してください。\n")
            + drawings->join(u'\n') + QStringLiteral("\n");
    else
        note += QStringLiteral("その実行で保存した内容（図面の保存、名称の変更、削除など）は、ファイルにもプログラムにも残っていません。"
                               "もう一度作業し直してください。\n");
    return note;
}

// Tells what the unattended close could not keep: on the standard error,
// and in the note the next start shows.
void subNote_LostSaves(const QString& note)
{
    std::fprintf(stderr, "%s", (platform::app::title() + QStringLiteral(": ") + note).toUtf8().constData());
    QFile kept;
    if (!openMark(kept, notePath(), O_WRONLY | O_CREAT | O_APPEND, QIODevice::Append)) {
        const QString refused = kept.fileName().isEmpty() ? QString::fromLocal8Bit(std::strerror(errno))
                                                          : platform::foreignLinkText(kept.fileName());
        std::fprintf(stderr, "%s\n", (notePath() + QStringLiteral(" に書き込めませんでした。") + refused).toUtf8().constData());
    } else if (kept.write((note + QStringLiteral("\n")).toUtf8()) < 0 || !kept.flush()) {
        std::fprintf(stderr, "%s\n",
                     (notePath() + QStringLiteral(" に書き込めませんでした。") + kept.errorString()).toUtf8().constData());
    }
}

}  // namespace

void subDbClose_Unattended()
{
    if (!GE_objConnection)
        return;
    const QString file = GE_objConnection->path();
    const bool written = GE_booDbUpdate;
    subMark_Ending();
    const auto unmark = qScopeGuard([] { removeMark(endingPath()); });
    std::optional<Error> failure;
    try {
        // Their boxes could not be answered.
        GE_objConnection->setNoRoomHandler(nullptr);
        GE_objConnection->setLossHandler(nullptr);
        if (GE_objConnection->inTransaction()) {
            GE_objConnection->rollbackOpenSavepoints();
            if (written)
                failure = fncCommit_Waiting(unattendedWait);
        }
    } catch (const Error& error) {
        failure = error;
    }
    GE_booDbUpdate = false;
    if (written && failure) {
        // Which drawings the run saved: its transaction against the file as
        // the rollback leaves it.
        std::optional<QStringList> lost;
        try {
            if (GE_objConnection->inTransaction()) {
                const DrawingRecords during = fncDrawingRecords();
                GE_objConnection->rollbackTrans();
                lost = fncLostDrawings(during, fncDrawingRecords());
            }
        } catch (const Error&) {
        }
        std::optional<std::chrono::seconds> waited;
        if (fncLockHeld(*failure))
            waited = std::chrono::round<std::chrono::seconds>(unattendedWait);
        subNote_LostSaves(fncLostSavesNote(QDateTime::currentDateTime(), file, failure->description(), waited, lost));
    }
    try {
        GE_objConnection->close();  // rolls back what is left
    } catch (const Error&) {
    }
    GE_objConnection.reset();
    GE_booDbOpen = false;
}

void subSet_UnattendedWait(std::chrono::milliseconds wait) { unattendedWait = wait; }

std::optional<QDateTime> fncEnding_Until()
{
    QFile mark;
    if (!openMark(mark, endingPath(), O_RDONLY, QIODevice::ReadOnly))
        return std::nullopt;
    const QDateTime until = QDateTime::fromString(QString::fromLatin1(mark.read(64)), Qt::ISODate);
    // A mark a run that died while ending left behind says nothing.
    if (!until.isValid() || until < QDateTime::currentDateTimeUtc())
        return std::nullopt;
    return until;
}

void subClear_Ending() { removeMark(endingPath()); }

void subShow_LostSaves()
{
    QFile note;
    if (!openMark(note, notePath(), O_RDONLY, QIODevice::ReadOnly))
        return;
    QString text = QString::fromUtf8(note.readAll()).trimmed();
    note.close();
    text.replace(QStringLiteral("\n"), vbCrLf);
    if (!text.isEmpty())
        MsgBox(text, vbExclamation, QStringLiteral("保存できなかった図面"));
    removeMark(notePath());
}

}  // namespace mdlDB
