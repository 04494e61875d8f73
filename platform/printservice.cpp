#include "platform/printservice.h"

#include "platform/printscheduler.h"
#include "platform/printworker.h"
#include "platform/ui.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>

#include <cups/cups.h>

namespace platform::printservice {

namespace {

using printscheduler::check;

// Qt reads a queue's details again (its attributes and its PPD, several
// requests to the scheduler) for every QPrinterInfo and QPrinter made, so
// what it has read is kept for the run: the queues listed, the default, and
// each queue's information. A print to a queue that fails reads it again.
struct Known {
    bool listed = false;
    QStringList names;
    QString defaultName;
    std::map<QString, QPrinterInfo> infos;
    // A dialog's device as Qt made it for its queue, and each one kept for
    // the next dialog on that queue.
    struct Made {
        QString queue;
        QPageLayout layout;
        int resolution;
        QPrinter::ColorMode color;
        QPrinter::DuplexMode duplex;
        QPrinter::PaperSource source;
        bool collate;
    };
    std::map<const QPrinter*, Made> made;
    std::map<QString, std::pair<std::unique_ptr<QPrinter>, Made>> kept;
};

Known& known()
{
    static Known k;
    return k;
}

// A call into libcups or Qt's printer code, made on the printer thread
// while the window waits with the note (printworker.h); a result that shows
// the scheduler answered is noted as its answer.
template <typename F, typename Answered>
auto timed(F&& call, Answered&& answered)
{
    // Qt's printer support is loaded here, on the user-interface thread,
    // before the printer thread first uses it.
    static const bool loaded = (void(newPdfDevice()), true);
    (void)loaded;
    auto result = printworker::result(call);
    if (answered(result))
        printscheduler::answered();
    return result;
}

void list()
{
    Known& k = known();
    if (k.listed || !check())
        return;
    // The queues and the default in one listing, as Qt's CUPS support reads
    // each of them.
    cups_dest_t* dests = nullptr;
    const int count = timed([&] { return cupsGetDests2(CUPS_HTTP_DEFAULT, &dests); }, [](int n) { return n > 0; });
    k.names.clear();
    k.defaultName.clear();
    for (int i = 0; i < count; ++i) {
        QString name = QString::fromLocal8Bit(dests[i].name);
        if (dests[i].instance)
            name += u'/' + QString::fromLocal8Bit(dests[i].instance);
        k.names.append(name);
        if (dests[i].is_default)
            k.defaultName = name;
    }
    cupsFreeDests(count, dests);
    // None listed may be none running yet: asked again next time.
    k.listed = !k.names.isEmpty();
}

}  // namespace

QStringList printerNames()
{
    list();
    return known().names;
}

QString defaultPrinterName()
{
    list();
    return known().defaultName;
}

QPrinterInfo printerInfo(const QString& name)
{
    Known& k = known();
    if (const auto it = k.infos.find(name); it != k.infos.end())
        return it->second;
    // Asked by its name alone: the listing would be more questions.
    if (name.isEmpty() || !check())
        return QPrinterInfo();
    const QPrinterInfo info = timed([&] { return QPrinterInfo::printerInfo(name); },
                                    [](const QPrinterInfo& i) { return !i.isNull(); });
    if (!info.isNull())
        k.infos[name] = info;
    return info;
}

QPrinterInfo printerInfo(const QPrinter& device)
{
    return device.outputFormat() == QPrinter::NativeFormat ? printerInfo(device.printerName()) : QPrinterInfo();
}

std::unique_ptr<QPrinter> newDevice(const QPrinterInfo& printer)
{
    // Qt's choice for no printer given: the default, else the first listed,
    // else a PDF file.
    QPrinterInfo use = printer;
    if (use.isNull()) {
        const QString name = !defaultPrinterName().isEmpty() ? defaultPrinterName() : printerNames().value(0);
        if (!name.isEmpty())
            use = printerInfo(name);
    }
    // Set aside, no device reaches the scheduler.
    if (use.isNull() || !check())
        return newPdfDevice();
    // A device whose queue Qt could not read names none: no answer.
    auto device = timed([&] { return std::make_unique<QPrinter>(use, QPrinter::HighResolution); },
                        [](const std::unique_ptr<QPrinter>& d) {
                            return d->outputFormat() == QPrinter::NativeFormat && !d->printerName().isEmpty();
                        });
    // Qt starts every queue's device on A4: it takes the queue's own default
    // paper (read with its details, nothing more asked) with its margins.
    const QPageSize paper = use.defaultPageSize();
    if (paper.isValid() && device->outputFormat() == QPrinter::NativeFormat)
        device->setPageSize(paper);
    return device;
}

std::unique_ptr<QPrinter> dialogDevice(const QPrinterInfo& printer)
{
    Known& k = known();
    if (auto it = k.kept.find(printer.printerName()); it != k.kept.end() && check()) {
        auto [device, made] = std::move(it->second);
        k.kept.erase(it);
        // What the dialog before chose is no choice for this one.
        device->setPageLayout(made.layout);
        device->setResolution(made.resolution);
        device->setColorMode(made.color);
        device->setDuplex(made.duplex);
        device->setPaperSource(made.source);
        device->setCollateCopies(made.collate);
        device->setCopyCount(1);
        device->setPageOrder(QPrinter::FirstPageFirst);
        device->setPrintRange(QPrinter::AllPages);
        device->setFromTo(0, 0);
        device->printEngine()->setProperty(QPrintEngine::PrintEnginePropertyKey(0xfe00), QStringList());
        k.made[device.get()] = made;
        return std::move(device);
    }
    auto device = newDevice(printer);
    if (device->outputFormat() == QPrinter::NativeFormat)
        k.made[device.get()] = {device->printerName(), device->pageLayout(), device->resolution(),
                                device->colorMode(), device->duplex(), device->paperSource(), device->collateCopies()};
    return device;
}

void keepDialogDevice(std::unique_ptr<QPrinter> device)
{
    Known& k = known();
    const auto it = device ? k.made.find(device.get()) : k.made.end();
    if (it == k.made.end())
        return;
    const Known::Made made = it->second;
    k.made.erase(it);
    if (device->outputFormat() == QPrinter::NativeFormat && device->printerName() == made.queue)
        k.kept[made.queue] = {std::move(device), made};
}

std::unique_ptr<QPrinter> newPdfDevice()
{
    // Made as any QPrinter, Qt would look for the default printer and read
    // its details; with libcups on this thread pointed at no server it
    // finds none at once.
    const QByteArray server = cupsServer();
    const int port = ippPort();
    cupsSetServer("/dev/null");
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    cupsSetServer(server.constData());
    ippSetPort(port);
    device->setOutputFormat(QPrinter::PdfFormat);
    return device;
}

std::optional<std::map<QByteArray, QString>> queueAttributes(const QString& queue)
{
    if (!check())
        return std::nullopt;
    const QByteArray name = queue.toUtf8();
    cups_dest_t* dest = timed([&] { return cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr); },
                              [](const cups_dest_t* d) { return d != nullptr; });
    if (!dest)
        return std::nullopt;
    std::map<QByteArray, QString> attributes;
    for (int i = 0; i < dest->num_options; ++i)
        attributes[dest->options[i].name] = QString::fromUtf8(dest->options[i].value);
    cupsFreeDests(1, dest);
    return attributes;
}

void forgetQueue(const QString& name)
{
    known().infos.erase(name);
    known().kept.erase(name);
    known().listed = false;
}

void forget()
{
    known() = Known{};
}

void tellUnreachable(bool setUp)
{
    vb::MsgBox(QStringLiteral("プリンタに接続できません。印刷サーバーが応答していません。") + vb::vbCrLf
                   + (setUp ? QStringLiteral("プリンタの設定は変わりません。しばらくしてから、もう一度設定してください。")
                            : QStringLiteral("しばらくしてから、もう一度印刷してください。") + vb::vbCrLf
                                  + QStringLiteral("PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、"
                                                   "ファイル名を指定すると印刷できます。")),
               vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
}

void tellNoLogin(bool setUp)
{
    vb::MsgBox(QStringLiteral("印刷サーバーに登録された名前とパスワードが入力されなかったため、プリンタを使えません。") + vb::vbCrLf
                   + (setUp ? QStringLiteral("プリンタの設定は変わりません。")
                            : QStringLiteral("PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、"
                                             "ファイル名を指定すると印刷できます。")),
               vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
}

}  // namespace platform::printservice
