#pragma once
// The printer as the runtime offered it: one current printer per run, a
// drawing surface over a QPrinter with the device properties (paper, bin,
// quality, colour, duplex, orientation, zoom) and the document calls
// NewPage, EndDoc and KillDoc; and the collection of installed printers.
//
// The document begins at the first drawing call, and NewPage takes effect at
// the next one, so EndDoc after a NewPage adds no blank sheet and a print
// that draws nothing makes no document at all. A sheet takes lines and
// figures as strokes and paths, and a picture's part with the picture's own
// pixels, all scaled by the device: nothing is made at its resolution.
// Raster operation 11 (no operation) draws nothing on paper; the other
// operations draw as the copy pen. A PDF is written beside its target under a name of its own and takes
// the target's name only once it is whole, so a failed or killed print
// leaves the old file as it was.

#include "platform/surface.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace platform {

// The runtime's number for a refused property value.
constexpr long errInvalidPropertyValue = 380;

// A printer that exists only for this run and prints to a PDF file, so
// printing is tested without a print server. The first paper is the default.
struct TestPrinter {
    QString name;
    QList<QPageSize> papers{QPageSize(QPageSize::A4)};
    bool customPaper = false;  // takes a user-defined size
    int resolution = 300;      // dots per inch
    double margin = 10;        // unprintable edge on every side, millimetres
    QString driver;            // make and model
    QString port;              // location
    QString outputFile;        // where a document goes
    QPrinter::PaperSource tray = QPrinter::Auto;  // its own, until told another
};

// What a print dialog chose for one print beyond the printer's settings:
// collation, the order of the pages, and the options Qt's dialog keeps for
// the print scheduler (pages per sheet and their layout, the page set, the
// job options, the queue description's own options), name, value, name,
// value ... A PDF file's device keeps no such options.
struct JobChoices {
    bool collate = true;
    bool lastPageFirst = false;
    QStringList schedulerOptions;
};
JobChoices jobChoicesOf(const QPrinter& device);

// The installed printers, in their collection order. With test printers
// registered they are the only ones and the first is the default.
namespace Printers {
void addTestPrinter(const TestPrinter& printer);
void clearTestPrinters();  // also returns the current printer to the default
QStringList names();
QString defaultName();
// A device set up for the named printer (its default paper); an unknown
// name gives the printer the runtime prints through when none is installed.
std::unique_ptr<QPrinter> makeDevice(const QString& name);
// The same for a print dialog: a queue's is the device the dialog before
// gave back with keepDialogDevice, when there is one.
std::unique_ptr<QPrinter> dialogDevice(const QString& name);
void keepDialogDevice(std::unique_ptr<QPrinter> device);
// Whether a printer of exactly this name is installed.
bool installed(const QString& name);
// Whether the named printer is a print queue whose server can't be reached
// now (shut down, silent, or none there): nothing would read its details or
// take its job. Asks as the scheduler's check does.
bool unreachable(const QString& name);
// Make and model, and location, of a printer ("" when unknown).
QString driverOf(const QString& name);
QString portOf(const QString& name);
}  // namespace Printers

class Printer : public DrawSurface {
public:
    // The current printer starts as the default one, made when first used
    // (the scheduler is asked then, not before); `None` is the device the
    // runtime prints through when no printer is installed (a PDF file), made
    // without asking anything.
    enum class Start { Default, None };
    explicit Printer(Start start = Start::Default);
    ~Printer() override;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Makes the named printer current with its default settings (any
    // document open on the previous one is killed).
    void select(const QString& name);
    // Makes the default printer current again, made when next used.
    void selectDefault();
    // Whether a printer was made current: reading this one asks nothing.
    bool chosen() const { return m_chosen; }

    QString DeviceName() const { return name(); }
    QString DriverName() const;
    QString Port() const;

    // The platform's paper codes (9 A4, 8 A3 ...); 256 a user-defined size,
    // whose size Width and Height then set. A paper the device lacks raises
    // error 380.
    int PaperSize() const;
    void setPaperSize(int code);
    // The sheet as it lies, in twips.
    double Width() const;
    double Height() const;
    void setWidth(double twips);
    void setHeight(double twips);
    // What the device cannot apply (a bin it lacks, a negative quality, a
    // duplex mode, the zoom) is kept as set and read back so.
    int PaperBin() const;
    void setPaperBin(int code);
    int PrintQuality() const;
    void setPrintQuality(int quality);
    int ColorMode() const;  // 1 monochrome, 2 colour
    void setColorMode(int mode);
    int Duplex() const;  // 1 none, 2 long side, 3 short side
    void setDuplex(int mode);
    int Orientation() const;  // 1 portrait, 2 landscape
    void setOrientation(int orientation);
    int Zoom() const
    {
        choose();
        return m_zoom;
    }
    void setZoom(int percent);

    // How many copies of the document a queue prints (a PDF file holds one).
    void setCopies(int copies);
    // What the print dialog chose for the next document; a printer made
    // current starts without any.
    void setJobChoices(const JobChoices& choices);

    // Where the document goes: a PDF file instead of the printer's own
    // output ("" gives that back; a new printer starts without one).
    void setOutputFile(const QString& path)
    {
        choose();
        m_outputFile = path;
    }
    // Whether a document has anywhere to go: a PDF file or a print queue.
    bool hasOutput() const;
    // The title of the next document (the print job's name).
    void setDocumentName(const QString& name) { m_docName = name; }

    void NewPage();
    // A queue's document is handed to the scheduler here (printjob.h).
    // Raises 482 when the printer refuses the document, and the file errors
    // (61, 75 ...) when a PDF can't be written whole.
    void EndDoc();
    void KillDoc();  // a partial PDF is removed; the recorded sheets are dropped
    // Starts the document and any pending page as a drawing call would,
    // drawing nothing: keeps a sheet whose drawing was all left out.
    void beginPage();
    bool documentOpen() const { return m_painter != nullptr; }

    // The commands of each sheet of the last document, in device pixels.
    const std::vector<std::vector<DrawCommand>>& sheets() const { return m_sheets; }

    // Runs before each drawing call reaches the sheet (tests make a print
    // fail midway with it).
    std::function<void()> beforeDraw;

    QSizeF deviceSize() const override;
    double dpiX() const override;
    double dpiY() const override;

protected:
    void execute(const DrawCommand& command) override;

private:
    struct PdfFile;
    void applyMargins();
    // Gives the queue the document drawn into `spool`; raises 482 with the
    // reason when it didn't take it.
    void handOver(const QString& spool);
    // The printer's device and name, the default printer's when none was
    // chosen yet.
    void choose() const;
    QPrinter& device() const;
    const QString& name() const;
    QString pdfTarget() const;
    QPrinter& document() const;
    std::unique_ptr<QPrinter> m_device;
    bool m_chosen = false;
    // What the device held when it was made for the printer.
    struct Defaults {
        QPageLayout layout;
        int resolution;
        int color;
        int duplex;
        int source;
    };
    std::optional<Defaults> m_defaults;
    std::unique_ptr<PdfFile> m_pdf;  // the document's file while one is open
    std::unique_ptr<QPainter> m_painter;
    QString m_name;
    QString m_outputFile;
    QString m_docName;
    int m_pendingPages = 0;
    std::optional<int> m_bin, m_quality, m_duplex;
    int m_zoom = 100;
    bool m_custom = false;
    std::vector<std::vector<DrawCommand>> m_sheets;
};

// The current printer of the run.
Printer& CurrentPrinter();

}  // namespace platform
