// The editor's export commands: the save dialog, then the work with the
// window disabled. A failed export says so in the standard box.
#include "app/globals.h"
#include "editor/frmEdit.h"
#include "platform/events.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kCsvExt = QStringLiteral("csv");
const QString kCsvFilter = QStringLiteral("(*.csv)|*.csv");

// Runs the work; a failure is shown naming the command.
void reported(const QString& procedure, const std::function<void()>& work)
{
    try {
        work();
    } catch (const vb::Error& error) {
        platform::showStandardError(procedure, error.number(), error.description());
    }
}

// The name a bitmap of the drawing is proposed under: the drawing's own
// name (its number when it has none), in the folder of the last file the
// dialog saved. The name the dialog kept may be a list's, and one after the
// picture could name the scan itself.
QString bitmapProposal(const QString& lastPath)
{
    QString name = GE_tpPrint.strName.trimmed();
    if (name.isEmpty())
        name = GE_tpPrint.strNo.trimmed();
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("図面"));
    name += QStringLiteral(".bmp");
    const QFileInfo last(lastPath);
    return lastPath.isEmpty() || last.path() == QLatin1String(".") ? name : QDir(last.path()).filePath(name);
}

}  // namespace

QString frmEdit::fncDlgFile(const QString& title, const QString& defaultExt, const QString& filter)
{
    try {
        dlgFile.CancelError = true;
        dlgFile.DialogTitle = title;
        dlgFile.DefaultExt = defaultExt;
        dlgFile.Filter = filter;
        dlgFile.ShowSave();
        return dlgFile.FileName;
    } catch (const vb::Error& error) {
        if (error.number() != vb::errCancel)
            platform::showStandardError(QStringLiteral("fncDlgFile"), error.number(), error.description());
        return QString();
    }
}

void frmEdit::mnuFileSaveAsImg_Click()
{
    dlgFile.FileName = bitmapProposal(dlgFile.FileName);
    const QString path = fncDlgFile(QStringLiteral("ビットマップファイル保存"), QStringLiteral("bmp"),
                                    QStringLiteral("(*.bmp)|*.bmp"));
    if (path.isEmpty())
        return;
    {
        platform::Hourglass busy(this);
        reported(QStringLiteral("mnuFileSaveAsImg_Click"), [&] { subSave_Bitmap(path); });
    }
    // The map shows the objects as elements again, not burnt in.
    sZoom(GE_sngZoom);
}

void frmEdit::mnuFileSaveCsvSen_Click()
{
    const QString path = fncDlgFile(QStringLiteral("距離・寸法ＣＳＶファイル保存"), kCsvExt, kCsvFilter);
    if (path.isEmpty())
        return;
    platform::Hourglass busy(this);
    reported(QStringLiteral("mnuFileSaveCsvSen_Click"), [&] { subCsvOut_Kyori(path); });
}

void frmEdit::mnuFileSaveCsvKer_Click()
{
    const QString path = fncDlgFile(QStringLiteral("経路ＣＳＶファイル保存"), kCsvExt, kCsvFilter);
    if (path.isEmpty())
        return;
    platform::Hourglass busy(this);
    reported(QStringLiteral("mnuFileSaveCsvKer_Click"), [&] { subCsvOut_Keiro(path); });
}

void frmEdit::mnuFileSaveCsvMen_Click()
{
    const QString path = fncDlgFile(QStringLiteral("面積ＣＳＶファイル保存"), kCsvExt, kCsvFilter);
    if (path.isEmpty())
        return;
    platform::Hourglass busy(this);
    reported(QStringLiteral("mnuFileSaveCsvMen_Click"), [&] { subCsvOut_Menseki(path); });
}

void frmEdit::mnuFileSaveCsvIti_Click()
{
    const QString path = fncDlgFile(QStringLiteral("位置情報ＣＳＶファイル保存"), kCsvExt, kCsvFilter);
    if (path.isEmpty())
        return;
    platform::Hourglass busy(this);
    reported(QStringLiteral("mnuFileSaveCsvIti_Click"), [&] {
        // With both modes set the file ends with the known-distance form.
        if (GE_booModeKei)
            subCsvOut_KeiIdo(path, QStringLiteral("№,コメント,経度,緯度,経度(秒),緯度(秒)"));
        if (GE_booModeDis)
            subCsvOut_KeiIdo(path, QStringLiteral("№,コメント,X mm,Y mm,XX,YY"));
    });
}

void frmEdit::popEditCSV_Click()
{
    QString title;
    if (strPopObjName == QLatin1String("lblMensekiS"))
        title = QStringLiteral("面積詳細ＣＳＶファイル保存");
    else if (strPopObjName == QLatin1String("lblKeiroS"))
        title = QStringLiteral("経路詳細ＣＳＶファイル保存");
    else
        return;
    const QString path = fncDlgFile(title, kCsvExt, kCsvFilter);
    if (path.isEmpty())
        return;
    reported(QStringLiteral("popEditCSV_Click"), [&] {
        if (strPopObjName == QLatin1String("lblMensekiS"))
            subCsvOut_MensekiDetail(path, intPopIndex);
        else
            subCsvOut_KeiroDetail(path, intPopIndex);
    });
}
