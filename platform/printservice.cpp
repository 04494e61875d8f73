#include "platform/printservice.h"

#include "platform/printscheduler.h"
#include "platform/ui.h"

#include <QPrinter>

#include <cups/cups.h>

namespace platform::printservice {

using printscheduler::check;

QStringList printerNames()
{
    return check() ? QPrinterInfo::availablePrinterNames() : QStringList();
}

QString defaultPrinterName()
{
    return check() ? QPrinterInfo::defaultPrinterName() : QString();
}

QPrinterInfo printerInfo(const QString& name)
{
    return check() ? QPrinterInfo::printerInfo(name) : QPrinterInfo();
}

QPrinterInfo printerInfo(const QPrinter& device)
{
    return check() ? QPrinterInfo(device) : QPrinterInfo();
}

std::unique_ptr<QPrinter> newDevice(const QPrinterInfo& printer)
{
    // Set aside, libcups on this thread finds no scheduler at once: the
    // device is Qt's PDF device.
    return !check() || printer.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                        : std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
}

std::optional<std::map<QByteArray, QString>> queueAttributes(const QString& queue)
{
    if (!check())
        return std::nullopt;
    const QByteArray name = queue.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return std::nullopt;
    std::map<QByteArray, QString> attributes;
    for (int i = 0; i < dest->num_options; ++i)
        attributes[dest->options[i].name] = QString::fromUtf8(dest->options[i].value);
    cupsFreeDests(1, dest);
    return attributes;
}

void tellUnreachable()
{
    vb::MsgBox(QStringLiteral("プリンタに接続できません。印刷サーバーが応答していません。") + vb::vbCrLf
                   + QStringLiteral("しばらくしてから、もう一度印刷してください。") + vb::vbCrLf
                   + QStringLiteral("PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。"),
               vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
}

}  // namespace platform::printservice
