#include "db/upgrade.h"

#include "app/globals.h"
#include "db/mdlSQL.h"
#include "platform/events.h"
#include "platform/ui.h"

namespace mdlSQL {

namespace {

QString upgradeQuestion(UpgradeOffer who)
{
    using vb::vbCrLf;
    return QStringLiteral("ＭＤＢのシステム情報が古いバージョンです！") + vbCrLf
        + QStringLiteral("アップデートしますか？") + vbCrLf
        + QStringLiteral("＜注＞アップデートを実施すると、旧バージョンのねむのきⅡでは使用できなくなります！") + vbCrLf
        + vbCrLf
        + QStringLiteral("｢はい｣　　　 :アップデートを実施してプログラムを開始します。") + vbCrLf
        + (who == UpgradeOffer::Manager
               ? QStringLiteral("｢いいえ｣　　 ：アップデートせずにプログラムを開始しますが、保存は出来ません！")
               : QStringLiteral("｢いいえ｣　　 ：アップデートせずにプログラムを開始します。"))
        + vbCrLf
        + QStringLiteral("　　　　　　　 ※ハッチングパターンで斜線の傾斜角が変更できません。") + vbCrLf
        + QStringLiteral("｢キャンセル」：アプリケーションを終了します。") + vbCrLf;
}

}  // namespace

void subOffer_Upgrade(UpgradeOffer who)
{
    if (GE_tpSystem.System_Id >= CurrentSystemId)
        return;
    switch (vb::MsgBox(upgradeQuestion(who), vb::vbYesNoCancel + vb::vbExclamation + vb::vbDefaultButton3,
                       QStringLiteral("ＭＤＢ異常！"))) {
    case vb::vbYes:
        subRun_Upgrade();
        break;
    case vb::vbNo:
        break;
    default:
        platform::End();
    }
}

bool subRun_Upgrade()
{
    if (fncSQL_CreateFieldHatching() != 0)
        return false;
    if (fncSQL_System_UpdateBin(GE_tpSystem.System_Id, QStringLiteral("System_Id"),
                                QString::number(CurrentSystemId)) != 0)
        return false;
    fncSQL_GetSystemTable(GE_tpSystem);
    return GE_tpSystem.System_Id >= CurrentSystemId;
}

}  // namespace mdlSQL
