#include "platform/printer.h"

#include "platform/printjob.h"
#include "platform/printqueue.h"
#include "platform/printscheduler.h"
#include "platform/printspool.h"
#include "platform/printservice.h"
#include "platform/replacement.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/writeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QStorageInfo>

#include <sys/stat.h>

namespace platform {

namespace {

QList<TestPrinter>& testPrinters()
{
    static QList<TestPrinter> list;
    return list;
}

const TestPrinter* findTest(const QString& name)
{
    for (const TestPrinter& p : testPrinters())
        if (p.name == name)
            return &p;
    return nullptr;
}

constexpr double TwipsPerMillimetre = 1440 / 25.4;

// Where Qt's print engine for a queue keeps the options its print dialog
// chose for the scheduler; other engines keep none.
const auto SchedulerOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

[[noreturn]] void refuse()
{
    vb::raise(vb::errBadPropertyValue);
}

[[noreturn]] void printerFailed()
{
    vb::raise(vb::errPrinterError);
}

// Whether a PDF was written to its end: it closes with "%%EOF" and its
// cross-reference table stands where the trailer says, so no bytes are
// missing before it.
bool wholePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 32)
        return false;
    file.seek(qMax<qint64>(0, file.size() - 64));
    const QByteArray tail = file.readAll();
    if (!tail.trimmed().endsWith("%%EOF"))
        return false;
    const qsizetype at = tail.lastIndexOf("startxref");
    if (at < 0)
        return false;
    bool number = false;
    const qint64 xref = tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&number);
    return number && xref >= 0 && file.seek(xref) && file.read(4) == "xref";
}

}  // namespace

// The document's own PDF device, set up as the printer is, writing to a
// new file beside the target (replacement.h) or, for a queue, to the spool
// (printspool.h); either is written and read through its handle, so nothing
// put at its name meanwhile is written or read in its place.
struct Printer::PdfFile {
    std::optional<Replacement> file;  // a PDF file's
    printspool::File spool;           // a queue's
    std::unique_ptr<QPrinter> made = printservice::newPdfDevice();
    QPrinter& device = *made;

    // `path` the PDF file's target, "" for a queue's document.
    PdfFile(const QString& path, const QPrinter& settings, const QString& title)
    {
        if (!path.isEmpty())
            file.emplace(path);
        if (const QFileDevice::FileError error = file ? file->create() : spool.create(); error != QFileDevice::NoError) {
            if (file)
                file->raise(error);
            vb::raiseWriteError(error, name());
        }
        // The handle is reached through the system's /proc, which some
        // containers and chroots lack: then no print can be written.
        if (struct stat st {}; ::stat(QFile::encodeName(written()).constData(), &st) != 0) {
            discard();
            vb::raise(vb::errPrinterError,
                      QStringLiteral("このシステムでは /proc がマウントされていないため、印刷するファイルを受け渡せません。"
                                     "印刷するには、システムの管理者に /proc をマウントするよう依頼してください。"));
        }
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(written());
        device.setResolution(settings.resolution());
        device.setFullPage(settings.fullPage());
        device.setPageLayout(settings.pageLayout());
        device.setColorMode(settings.colorMode());
        device.setDocName(title);
    }

    // The file a failure names.
    QString name() const { return file ? file->target() : spool.name(); }
    // The document, by its handle.
    QString written() const { return file ? handlePath(file->handle()) : spool.path(); }

    void discard()
    {
        if (file)
            file->discard();
        spool.close();
    }

    // The file takes the target's name once it is whole and on the disk; a
    // file cut short is removed and raises the failure.
    void keep()
    {
        if (!wholePdf(written())) {
            discard();
            const bool full = QStorageInfo(QFileInfo(name()).absolutePath()).bytesAvailable() < (1 << 20);
            vb::raiseWriteError(full ? QFileDevice::ResourceError : QFileDevice::WriteError, name());
        }
        if (!file)
            return;
        if (const QFileDevice::FileError error = file->putInPlace(true); error != QFileDevice::NoError) {
            discard();
            file->raise(error);
        }
    }
};

JobChoices jobChoicesOf(const QPrinter& device)
{
    JobChoices choices;
    choices.collate = device.collateCopies();
    choices.lastPageFirst = device.pageOrder() == QPrinter::LastPageFirst;
    if (device.outputFormat() == QPrinter::NativeFormat)
        choices.schedulerOptions =
            const_cast<QPrinter&>(device).printEngine()->property(SchedulerOptionsKey).toStringList();
    return choices;
}

namespace Printers {

void addTestPrinter(const TestPrinter& printer)
{
    testPrinters().append(printer);
    if (testPrinters().size() == 1)
        CurrentPrinter().select(printer.name);
}

void clearTestPrinters()
{
    testPrinters().clear();
    CurrentPrinter().selectDefault();
}

QStringList names()
{
    QStringList list;
    if (!testPrinters().isEmpty()) {
        for (const TestPrinter& p : testPrinters())
            list.append(p.name);
        return list;
    }
    return printservice::printerNames();
}

QString defaultName()
{
    if (!testPrinters().isEmpty())
        return testPrinters().first().name;
    const QString name = printservice::defaultPrinterName();
    if (!name.isEmpty())
        return name;
    const QStringList all = printservice::printerNames();
    return all.isEmpty() ? QString() : all.first();
}

std::unique_ptr<QPrinter> makeDevice(const QString& name)
{
    if (const TestPrinter* test = findTest(name)) {
        auto device = printservice::newPdfDevice();
        device->setOutputFileName(test->outputFile);
        device->setResolution(test->resolution);
        device->setPageSize(test->papers.value(0, QPageSize(QPageSize::A4)));
        device->setPageMargins(QMarginsF(test->margin, test->margin, test->margin, test->margin),
                               QPageLayout::Millimeter);
        device->setPaperSource(test->tray);
        return device;
    }
    if (testPrinters().isEmpty())
        return printservice::newDevice(printservice::printerInfo(name));
    return printservice::newDevice();
}

std::unique_ptr<QPrinter> dialogDevice(const QString& name)
{
    if (!testPrinters().isEmpty())
        return makeDevice(name);
    return printservice::dialogDevice(printservice::printerInfo(name));
}

void keepDialogDevice(std::unique_ptr<QPrinter> device)
{
    printservice::keepDialogDevice(std::move(device));
}

bool installed(const QString& name)
{
    return findTest(name) || (testPrinters().isEmpty() && !printservice::printerInfo(name).isNull());
}

bool unreachable(const QString& name)
{
    return !name.isEmpty() && testPrinters().isEmpty() && !printscheduler::reachable();
}

QString driverOf(const QString& name)
{
    if (const TestPrinter* test = findTest(name))
        return test->driver;
    const QPrinterInfo info = printservice::printerInfo(name);
    return info.isNull() ? QString() : info.makeAndModel();
}

QString portOf(const QString& name)
{
    if (const TestPrinter* test = findTest(name))
        return test->port;
    const QPrinterInfo info = printservice::printerInfo(name);
    return info.isNull() ? QString() : info.location();
}

}  // namespace Printers

// Until a printer is chosen the device is a placeholder: one for the
// default queue would have Qt read its details, which waits on the
// scheduler, and the first use may well choose another printer.
Printer::Printer(Start start) : m_device(printservice::newPdfDevice()), m_chosen(start == Start::None)
{
    if (m_chosen)
        resetWindow();
}

Printer::~Printer()
{
    if (m_painter)
        m_painter->end();
    if (m_pdf)
        m_pdf->discard();
}

void Printer::selectDefault()
{
    KillDoc();
    m_chosen = false;
    m_defaults.reset();  // the default is made afresh
}

void Printer::choose() const
{
    // Every printer object the program has is its own, never a const one.
    if (!m_chosen)
        const_cast<Printer*>(this)->select(Printers::defaultName());
}

QPrinter& Printer::device() const
{
    choose();
    return *m_device;
}

const QString& Printer::name() const
{
    choose();
    return m_name;
}

void Printer::select(const QString& name)
{
    m_chosen = true;
    KillDoc();
    const bool known = Printers::installed(name);
    // A queue current already goes back to its defaults: a new device for
    // it would have Qt read the queue's details again. A device made while
    // the print server could not be reached is none of the queue's, and is
    // made again.
    const bool queues = m_device->outputFormat() == QPrinter::NativeFormat && m_device->printerName() == name;
    if (findTest(name) || !known || name != m_name || !m_defaults || !queues) {
        m_device = Printers::makeDevice(name);
        m_defaults = Defaults{m_device->pageLayout(), m_device->resolution(), m_device->colorMode(),
                              m_device->duplex(), m_device->paperSource()};
    } else {
        m_device->setPageLayout(m_defaults->layout);
        m_device->setResolution(m_defaults->resolution);
        m_device->setColorMode(QPrinter::ColorMode(m_defaults->color));
        m_device->setDuplex(QPrinter::DuplexMode(m_defaults->duplex));
        m_device->setPaperSource(QPrinter::PaperSource(m_defaults->source));
    }
    m_name = known ? name : m_device->printerName();
    m_outputFile.clear();
    m_bin.reset();
    m_quality.reset();
    m_duplex.reset();
    m_zoom = 100;
    m_custom = false;
    setJobChoices({});
    resetWindow();
}

QString Printer::DriverName() const
{
    return Printers::driverOf(name());
}

QString Printer::Port() const
{
    return Printers::portOf(name());
}

void Printer::applyMargins()
{
    if (const TestPrinter* test = findTest(name()))
        device().setPageMargins(QMarginsF(test->margin, test->margin, test->margin, test->margin),
                                 QPageLayout::Millimeter);
    resetWindow();
}

int Printer::PaperSize() const
{
    choose();
    if (m_custom)
        return 256;
    const QPageSize size = device().pageLayout().pageSize();
    const int code = size.id() == QPageSize::Custom ? 0 : size.windowsId();
    return code > 0 && code < 256 ? code : 256;
}

void Printer::setPaperSize(int code)
{
    const TestPrinter* test = findTest(name());
    const QPrinterInfo info = test ? QPrinterInfo() : printservice::printerInfo(name());
    if (code == 256) {
        const bool allowed = test ? test->customPaper : info.isNull() || info.supportsCustomPageSizes();
        if (!allowed)
            refuse();
        m_custom = true;
        return;
    }
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (code <= 0 || id == QPageSize::Custom)
        refuse();
    QList<QPageSize> offered;
    if (test)
        offered = test->papers;
    else if (!info.isNull())
        offered = info.supportedPageSizes();
    bool found = offered.isEmpty();
    for (const QPageSize& size : offered)
        found = found || size.id() == id;
    if (!found || !device().setPageSize(QPageSize(id)))
        refuse();
    m_custom = false;
    applyMargins();
}

double Printer::Width() const
{
    return device().pageLayout().fullRect(QPageLayout::Millimeter).width() * TwipsPerMillimetre;
}

double Printer::Height() const
{
    return device().pageLayout().fullRect(QPageLayout::Millimeter).height() * TwipsPerMillimetre;
}

namespace {
// A user-defined sheet given as it lies, in twips.
QPageSize customSheet(double width, double height, bool landscape)
{
    const QSizeF portrait = landscape ? QSizeF(height, width) : QSizeF(width, height);
    return QPageSize(portrait / TwipsPerMillimetre, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}
}  // namespace

void Printer::setWidth(double twips)
{
    if (!(twips > 0))
        refuse();
    setPaperSize(256);
    const bool landscape = Orientation() == 2;
    if (!device().setPageSize(customSheet(twips, Height(), landscape)))
        refuse();
    applyMargins();
}

void Printer::setHeight(double twips)
{
    if (!(twips > 0))
        refuse();
    setPaperSize(256);
    const bool landscape = Orientation() == 2;
    if (!device().setPageSize(customSheet(Width(), twips, landscape)))
        refuse();
    applyMargins();
}

int Printer::PaperBin() const
{
    choose();
    if (m_bin)
        return *m_bin;
    switch (device().paperSource()) {
    case QPrinter::Cassette: return 14;
    case QPrinter::FormSource: return 15;
    case QPrinter::CustomSource: return 256;
    default: return int(device().paperSource()) + 1;
    }
}

void Printer::setPaperBin(int code)
{
    choose();
    if (code >= 1 && code <= 11)
        device().setPaperSource(QPrinter::PaperSource(code - 1));
    else if (code == 14)
        device().setPaperSource(QPrinter::Cassette);
    else if (code == 15)
        device().setPaperSource(QPrinter::FormSource);
    m_bin = code;
}

int Printer::PrintQuality() const
{
    const int resolution = device().resolution();
    return m_quality.value_or(resolution);
}

void Printer::setPrintQuality(int quality)
{
    choose();
    if (quality > 0) {
        device().setResolution(quality);
        resetWindow();
    }
    m_quality = quality;
}

int Printer::ColorMode() const
{
    return device().colorMode() == QPrinter::GrayScale ? 1 : 2;
}

void Printer::setColorMode(int mode)
{
    if (mode != 1 && mode != 2)
        refuse();
    device().setColorMode(mode == 1 ? QPrinter::GrayScale : QPrinter::Color);
}

int Printer::Duplex() const
{
    choose();
    if (m_duplex)
        return *m_duplex;
    switch (device().duplex()) {
    case QPrinter::DuplexNone: return 1;
    case QPrinter::DuplexShortSide: return 3;
    default: return 2;
    }
}

void Printer::setDuplex(int mode)
{
    choose();
    if (mode < 1 || mode > 3)
        refuse();
    device().setDuplex(mode == 1 ? QPrinter::DuplexNone : mode == 2 ? QPrinter::DuplexLongSide
                                                                      : QPrinter::DuplexShortSide);
    m_duplex = mode;  // a device printing one side only keeps it as set
}

void Printer::setCopies(int copies)
{
    device().setCopyCount(qMax(1, copies));
}

void Printer::setJobChoices(const JobChoices& choices)
{
    device().setCollateCopies(choices.collate);
    device().setPageOrder(choices.lastPageFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    if (device().outputFormat() == QPrinter::NativeFormat)
        device().printEngine()->setProperty(SchedulerOptionsKey, choices.schedulerOptions);
}

int Printer::Orientation() const
{
    return device().pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void Printer::setOrientation(int orientation)
{
    if (orientation != 1 && orientation != 2)
        refuse();
    device().setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    applyMargins();
}

void Printer::setZoom(int percent)
{
    choose();
    if (percent <= 0)
        refuse();
    m_zoom = percent;
}

// The printable area as the device has it, which is also where its painter
// stops: Qt keeps a sheet and its margins in whole points (A4 is 595 pt,
// a little under 210 mm), so the area taken from the paper's millimetres
// would reach past the device's edge, and the tiles, the picture's clip and
// the lines would end in different places.
QSizeF Printer::deviceSize() const
{
    const QPrinter& device = document();
    return QSizeF(device.width(), device.height());
}

double Printer::dpiX() const
{
    return device().resolution();
}

double Printer::dpiY() const
{
    return device().resolution();
}

QString Printer::pdfTarget() const
{
    if (!m_outputFile.isEmpty())
        return m_outputFile;
    return device().outputFormat() == QPrinter::PdfFormat ? device().outputFileName() : QString();
}

bool Printer::hasOutput() const
{
    return !pdfTarget().isEmpty()
           || (device().outputFormat() == QPrinter::NativeFormat && !device().printerName().isEmpty());
}

QPrinter& Printer::document() const
{
    return m_pdf ? m_pdf->device : device();
}

void Printer::beginPage()
{
    if (!m_painter) {
        if (!hasOutput())
            printerFailed();
        // A queue's document (no PDF file named) goes to the spool, which
        // EndDoc hands to the scheduler.
        m_pdf = std::make_unique<PdfFile>(pdfTarget(), device(), m_docName);
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(&document())) {
            KillDoc();
            printerFailed();
        }
        // Nothing reaches the sheet's unprintable edge; the clip holds for
        // every page (set again at each drawing call, it would be written
        // into the document again each time).
        painter->setClipRect(QRectF(QPointF(0, 0), deviceSize()));
        m_painter = std::move(painter);
        m_sheets.clear();
        m_sheets.emplace_back();
    }
    for (; m_pendingPages > 0; --m_pendingPages) {
        document().newPage();
        m_sheets.emplace_back();
    }
}

void Printer::execute(const DrawCommand& command)
{
    if (command.kind == DrawCommand::Clear || command.drawMode == vbNop)
        return;
    if (beforeDraw)
        beforeDraw();
    beginPage();
    m_sheets.back().push_back(command);
    printCommand(*m_painter, command);
}

void Printer::NewPage()
{
    choose();
    ++m_pendingPages;
    CurrentX = 0;
    CurrentY = 0;
}

void Printer::EndDoc()
{
    // A document for a print queue (a test printer's own file stands for its queue's).
    const bool queued = m_painter && m_outputFile.isEmpty()
                        && (findTest(name()) || device().outputFormat() == QPrinter::NativeFormat);
    const bool spooled = queued && !findTest(name());
    const bool ended = !m_painter || m_painter->end();
    m_painter.reset();
    m_pendingPages = 0;
    const std::unique_ptr<PdfFile> pdf = std::move(m_pdf);
    if (!ended) {
        if (pdf)
            pdf->discard();
        printservice::forgetQueue(name());
        printerFailed();
    }
    if (pdf)
        pdf->keep();
    // The spool goes with `pdf`, whatever the hand-over's outcome.
    if (spooled) {
        handOver(pdf->written());
        return;
    }
    // The queue may have stopped taking jobs since it was asked.
    if (const QString refusal = queued ? printqueue::submissionRefusal() : QString(); !refusal.isEmpty()) {
        printservice::forgetQueue(name());
        vb::raise(vb::errPrinterError, QStringLiteral("プリンタ「%1」が印刷を受け付けませんでした。（%2）")
                                           .arg(name(), refusal));
    }
}

void Printer::handOver(const QString& spool)
{
    // The tray only when the drawing's is not the queue's own.
    const bool bin = m_bin && m_defaults && device().paperSource() != QPrinter::PaperSource(m_defaults->source);
    const printjob::Outcome outcome =
        printjob::handOver(name(), spool, m_docName, printjob::optionsOf(device(), bin));
    // The cancel promised for a print without the answer could not be made.
    if (outcome.lost)
        vb::MsgBox(QStringLiteral("印刷サーバーの応答がなかった印刷は、印刷サーバーで見つからず、取り消せませんでした。")
                       + vb::vbCrLf + QStringLiteral("その印刷が出てくることがあります。"),
                   vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
    if (outcome.job > 0)
        return;
    printservice::forgetQueue(name());
    // The user's own answer: raised as a cancel, told without an error number.
    if (outcome.noLogin)
        vb::raise(vb::errCancel,
                  QStringLiteral("プリンタ「%1」へは何も印刷されていません。").arg(name())
                      + QStringLiteral("\r\nこのプリンタへの印刷には、印刷サーバーに登録された名前とパスワードが必要です。"));
    if (outcome.reached)
        vb::raise(vb::errPrinterError,
                  QStringLiteral("プリンタ「%1」が印刷を受け付けませんでした。（%2）").arg(name(), outcome.reason));
    // Without the scheduler's answer the print may be on the queue all the
    // same; the job is cancelled at the next hand-over, so printing again
    // gives one sheet, not two.
    if (outcome.cut && !outcome.unsettled)
        vb::raise(vb::errPrinterError,
                  QStringLiteral("プリンタ「%1」へ印刷を渡せませんでした。印刷サーバーとの接続が切れました。").arg(name())
                      + QStringLiteral("\r\nしばらくしてから、もう一度印刷してください。"));
    vb::raise(vb::errPrinterError,
              outcome.unsettled
                  ? QStringLiteral("プリンタ「%1」へ印刷が届いていないかもしれません。印刷サーバーが応答しません。（%2）")
                            .arg(name(), outcome.reason)
                        + QStringLiteral("\r\n届いていた印刷は、次に印刷するときに取り消されます。"
                                         "しばらくしてから、もう一度印刷してください。")
                  : QStringLiteral("プリンタ「%1」へ印刷を渡せませんでした。印刷サーバーに接続できません。（%2）")
                            .arg(name(), outcome.reason)
                        + QStringLiteral("\r\nしばらくしてから、もう一度印刷してください。"));
}

void Printer::KillDoc()
{
    if (m_painter && !m_pdf && device().outputFormat() == QPrinter::NativeFormat)
        device().abort();
    if (m_painter)
        m_painter->end();
    m_painter.reset();
    m_pendingPages = 0;
    if (m_pdf)
        m_pdf->discard();
    m_pdf.reset();
    m_sheets.clear();
}

Printer& CurrentPrinter()
{
    static Printer* printer = new Printer;  // lives for the run
    return *printer;
}

}  // namespace platform
