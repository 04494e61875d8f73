// The start window's two web links. Their pages are sections of the help
// page beside the program, opened in the desktop's browser; the browser
// keeps its own windows, so nothing of it is held here.

#include "app/frmMain.h"

#include "platform/application.h"
#include "platform/ui.h"

#include <QAction>
#include <QUrl>

using namespace vb;

namespace {
const QString kWorksAnchor = QStringLiteral("works");  // the maker's programs
const QString kHomeAnchor = QStringLiteral("home");    // how to reach the maker

QString helpAddress(const QString& anchor)
{
    QUrl url = QUrl::fromLocalFile(platform::app::helpFile());
    url.setFragment(anchor);
    return url.toString();
}
}  // namespace

const QString frmMain::kMn_HpCaption = QStringLiteral("ミナモ・ラボ　配布サイトＨＰ");

QString frmMain::fncMnInfo_Address() { return helpAddress(kWorksAnchor); }
QString frmMain::fncMn_Hp_Address() { return helpAddress(kHomeAnchor); }

void frmMain::mnuMnInfo_Click() { subOpen_Page(fncMnInfo_Address(), mnuMnInfo->text()); }
void frmMain::mnuMn_Hp_Click() { subOpen_Page(fncMn_Hp_Address(), mnuMn_Hp->text()); }

void frmMain::subOpen_Page(const QString& address, const QString& caption)
{
    if (!platform::ui().openUrl(address))
        MsgBox(QStringLiteral("ブラウザを起動できませんでした。") + vbCrLf + address, vbOKOnly + vbInformation, caption);
}
