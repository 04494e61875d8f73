#include "properties/frmPropaty.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "platform/application.h"
#include "platform/metrics.h"

#include <QWidget>

namespace {

// The tag of element k of the editor's array `name`, or nothing when there is none.
std::optional<QString> elementTag(const QString& name, int k)
{
    frmEdit* e = platform::Instance<frmEdit>::pointer();
    if (!e)
        return std::nullopt;
    auto tagOf = [k](const auto& elements) -> std::optional<QString> {
        if (!elements.exists(k))
            return std::nullopt;
        return elements(k).Tag;
    };
    if (name == QLatin1String("lblKyori"))
        return tagOf(e->lblKyori);
    if (name == QLatin1String("lblKeiroS"))
        return tagOf(e->lblKeiroS);
    if (name == QLatin1String("lblMensekiS"))
        return tagOf(e->lblMensekiS);
    if (name == QLatin1String("lblMoji"))
        return tagOf(e->lblMoji);
    if (name == QLatin1String("lblKeiIdoS"))
        return tagOf(e->lblKeiIdoS);
    if (name == QLatin1String("lineHikidashi"))
        return tagOf(e->lineHikidashi);
    if (name == QLatin1String("lineDsSave"))
        return tagOf(e->lineDsSave);
    if (name == QLatin1String("linePS"))
        return tagOf(e->linePS);
    if (name == QLatin1String("shpShape"))
        return tagOf(e->shpShape);
    return std::nullopt;
}

}  // namespace

frmPropaty::frmPropaty() : platform::Form(QStringLiteral("frmPropaty"))
{
    setFixedDialogBorder();
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(platform::twipsToPixels(4800), platform::twipsToPixels(1200));
    txtObjName = new platform::TextBox(QStringLiteral("txtObjName"), client);
    txtObjName->setVisible(false);
    txtIndex = new platform::TextBox(QStringLiteral("txtIndex"), client);
    txtIndex->setVisible(false);
    lblCaption = new platform::Label(QStringLiteral("lblCaption"), client);
    lblCaption->Move(120, 120, 4560, 315);
    stsBar = new platform::StatusBar(QStringLiteral("stsBar"), client);
    stsBar->AddPanel();
    stsBar->Move(0, 840, 4800, 360);
    txtObjName->Change = [this] { txtObjName_Change(); };
    txtIndex->Change = [this] { txtIndex_Change(); };
}

void frmPropaty::Form_Load()
{
    booLoading = true;
    setCaption(QStringLiteral("プロパティ"));
    platform::setTopMost(this, true);
    GE_booPropaty = true;
    booLoading = false;
}

void frmPropaty::Form_Unload(int& cancel)
{
    (void)cancel;
    GE_booPropaty = false;
}

void frmPropaty::txtObjName_Change()
{
    stsBar->Panels(1).setText(QString());
    stsBar->Panels(2).setText(QString());
    if (booLoading)
        return;
    setCaption(QStringLiteral("プロパティ［") + txtObjName->Text() + QStringLiteral("］"));
}

void frmPropaty::txtIndex_Change()
{
    if (booLoading)
        return;
    bool ok = false;
    const int index = txtIndex->Text().toInt(&ok);
    if (!ok || index < 0)
        return;
    const std::optional<QString> tag = elementTag(txtObjName->Text(), index);
    if (!tag)
        return;
    stsBar->Panels(1).setText(*tag);
    stsBar->Panels(2).setText(QString::number(index));
}
