// Qt's print dialog, and what the user chose about the paper in it.
//
// On a print queue the dialog builds its page set-up (the "Properties" of
// the printer) from the queue's default paper size rather than the device's,
// and when accepted it puts that page set-up on the device, whether the
// user opened it or not. So the paper the device held shows in the page
// set-up when it opens, and only the user's own picks there count as a
// choice. The widgets are found by the object names Qt gives them; where a
// page set-up was shown and they are not found (another Qt), a paper the
// device holds afterwards that differs from the one it opened on is taken
// as the user's choice: a queue's default may then stand, a pick never lost.
//
// The page set-up hands its layout back with margins rounded to whole
// points, and a queue's engine refuses a layout whose margins are under
// the printer's (5 mm, 14.17 pt): the dialog ignores the refusal. Another
// printer chosen afterwards gets a page set-up of its own, opened on its
// default. So the paper picked is read from the page set-up itself and put
// on the device after the dialog, whichever printer it ends on.

#include "platform/printlogin.h"
#include "platform/printscheduler.h"
#include "platform/ui.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

// Selects the paper in the page set-up's size list: the listed size that
// is the same, else the user-defined entry (the one without a size) with
// the sheet's width and height as it lies.
void showPaper(QWidget& pageSetup, const QPageSize& paper)
{
    auto* sizes = pageSetup.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
    if (!sizes)
        return;
    int custom = -1;
    for (int i = 0; i < sizes->count(); ++i) {
        const QVariant size = sizes->itemData(i);
        if (!size.isValid())
            custom = i;
        else if (size.value<QPageSize>().isEquivalentTo(paper)) {
            sizes->setCurrentIndex(i);
            return;
        }
    }
    auto* width = pageSetup.findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"));
    auto* height = pageSetup.findChild<QDoubleSpinBox*>(QStringLiteral("pageHeight"));
    auto* units = pageSetup.findChild<QComboBox*>(QStringLiteral("unitCombo"));
    auto* landscape = pageSetup.findChild<QRadioButton*>(QStringLiteral("landscape"));
    if (custom < 0 || !width || !height || !units || !landscape)
        return;
    sizes->setCurrentIndex(custom);
    QSizeF sheet = paper.size(QPageSize::Unit(units->currentData().value<QPageLayout::Unit>()));
    if (landscape->isChecked())
        sheet.transpose();
    width->setValue(sheet.width());
    height->setValue(sheet.height());
}

// The paper the page set-up shows: the listed size, else the user-defined
// one of the width and height given (upright), and how the sheet lies.
struct Paper {
    QPageSize size;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

std::optional<Paper> shownPaper(QWidget& pageSetup)
{
    auto* sizes = pageSetup.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
    auto* landscape = pageSetup.findChild<QRadioButton*>(QStringLiteral("landscape"));
    if (!sizes || !landscape)
        return std::nullopt;
    Paper shown;
    shown.orientation = landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (const QVariant size = sizes->currentData(); size.isValid()) {
        shown.size = size.value<QPageSize>();
        return shown;
    }
    auto* width = pageSetup.findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"));
    auto* height = pageSetup.findChild<QDoubleSpinBox*>(QStringLiteral("pageHeight"));
    auto* units = pageSetup.findChild<QComboBox*>(QStringLiteral("unitCombo"));
    if (!width || !height || !units)
        return std::nullopt;
    QSizeF sheet(width->value(), height->value());
    if (landscape->isChecked())
        sheet.transpose();
    shown.size = QPageSize(sheet, QPageSize::Unit(units->currentData().value<QPageLayout::Unit>()), QString(),
                           QPageSize::ExactMatch);
    return shown;
}

// Follows one print dialog: shows the device's paper in each page set-up the
// dialog opens, or the one the user picked and kept there, for whichever
// printer is chosen.
class PaperWatch : public QObject {
public:
    PaperWatch(QPrintDialog& dialog, const QPageSize& paper) : m_dialog(&dialog), m_paper(paper)
    {
        dialog.installEventFilter(this);
    }

    bool chosen() const { return m_chosen.has_value(); }
    // The pick kept, put on the device; false where the device refuses it.
    bool apply(QPrinter& device) const
    {
        if (!m_chosen)
            return true;
        device.setPageOrientation(m_chosen->orientation);
        return device.pageLayout().pageSize().isEquivalentTo(m_chosen->size) || device.setPageSize(m_chosen->size);
    }
    // A page set-up was shown whose size list wasn't found.
    bool unread() const { return m_unread; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The page set-up is a dialog of the print dialog's own, made when
        // first needed.
        if (watched == m_dialog) {
            if (event->type() == QEvent::ChildAdded)
                static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        } else if (event->type() == QEvent::Show) {
            // A warning the print dialog gives is no page set-up.
            auto* pageSetup = qobject_cast<QDialog*>(watched);
            if (pageSetup && !qobject_cast<QMessageBox*>(watched))
                shown(*pageSetup);
        }
        return false;
    }

private:
    void shown(QDialog& pageSetup)
    {
        auto* sizes = pageSetup.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
        if (!sizes) {
            m_unread = true;
            return;
        }
        if (!pageSetup.property(Watched).toBool()) {
            pageSetup.setProperty(Watched, true);
            const auto picked = [this] { m_picked = true; };
            connect(sizes, &QComboBox::activated, this, picked);
            for (const char* name : {"pageWidth", "pageHeight"})
                if (auto* box = pageSetup.findChild<QAbstractSpinBox*>(QLatin1String(name)))
                    connect(box, &QAbstractSpinBox::editingFinished, this, picked);
            for (const char* name : {"portrait", "landscape"})
                if (auto* button = pageSetup.findChild<QRadioButton*>(QLatin1String(name)))
                    connect(button, &QRadioButton::clicked, this, picked);
            connect(&pageSetup, &QDialog::finished, this, [this, &pageSetup](int result) {
                if (result == QDialog::Accepted && (m_picked || m_chosen))
                    if (auto shown = shownPaper(pageSetup))
                        m_chosen = shown;
                m_picked = false;
            });
        }
        showPaper(pageSetup, m_chosen ? m_chosen->size : m_paper);
        // The sheet's margins are the printer's own: the drawing is laid
        // out on its printable area, and margins set here would be dropped.
        for (const char* name : {"topMargin", "leftMargin", "rightMargin", "bottomMargin"})
            if (auto* margin = pageSetup.findChild<QWidget*>(QLatin1String(name)))
                margin->setEnabled(false);
    }

    static constexpr const char* Watched = "nemuPaperWatched";
    QObject* m_dialog;
    QPageSize m_paper;
    bool m_picked = false;          // in the page set-up now open
    std::optional<Paper> m_chosen;  // kept with its OK
    bool m_unread = false;
};

// A PDF file holds one copy of each sheet, in order, and no job options:
// what the print dialog offers beyond that reaches a print queue only (as
// options of its job), so it is not offered while the PDF file is chosen.
// The dialog lists the queues first and the PDF file last.
class FileOffers : public QObject {
public:
    explicit FileOffers(QPrintDialog& dialog) : m_dialog(&dialog)
    {
        dialog.installEventFilter(this);
        if (auto* printers = list())
            connect(printers, &QComboBox::currentIndexChanged, this, [this] { offer(*m_dialog); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_dialog && event->type() == QEvent::ChildAdded)
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        else if (event->type() == QEvent::Show)
            if (auto* shown = qobject_cast<QDialog*>(watched))
                offer(*shown);
        return false;
    }

private:
    QComboBox* list() const { return m_dialog->findChild<QComboBox*>(QStringLiteral("printers")); }

    // Sets what `window` (the dialog or its printer properties) offers.
    void offer(QDialog& window) const
    {
        const QComboBox* printers = list();
        const bool file = printers && printers->currentIndex() == printers->count() - 1;
        if (file && &window == m_dialog) {
            if (auto* all = window.findChild<QRadioButton*>(QStringLiteral("printAll")))
                all->setChecked(true);
            if (auto* copies = window.findChild<QSpinBox*>(QStringLiteral("copies")))
                copies->setValue(1);
            if (auto* reverse = window.findChild<QAbstractButton*>(QStringLiteral("reverse")))
                reverse->setChecked(false);
        }
        for (const char* name : {"copies", "collate", "reverse", "printRange", "pagesRadioButton", "QCupsJobWidget"})
            if (auto* choice = window.findChild<QWidget*>(QLatin1String(name)))
                choice->setEnabled(!file);
    }

    QDialog* m_dialog;
};

// Qt's dialog, once accepted on a print queue, fetches that queue's details
// from the scheduler through libcups, which waits a minute for each answer:
// a scheduler that stopped answering while the dialog was open would
// freeze the window for minutes. It is asked first with the bounded wait;
// when it stays silent it is set aside, so Qt's questions fail at once and
// the print is told the printers can't be reached.
//
// Choosing another queue in the dialog has Qt fetch that queue's details at
// once, by a slot of its own that the printer list's change is connected
// to by name. Where that connection is found, the change reaches Qt's slot
// only after the same bounded question; where it isn't (another Qt), the
// change goes to Qt as it is.
class BoundedPrintDialog : public QPrintDialog {
public:
    BoundedPrintDialog(QPrinter* device, QWidget* parent) : QPrintDialog(device, parent)
    {
        QComboBox* printers = list();
        if (!printers)
            return;
        for (QObject* owner = printers->parent(); owner; owner = owner->parent()) {
            if (owner->metaObject()->indexOfMethod("_q_printerChanged(int)") < 0)
                continue;
            if (QObject::disconnect(printers, SIGNAL(currentIndexChanged(int)), owner, SLOT(_q_printerChanged(int))))
                connect(printers, &QComboBox::currentIndexChanged, owner, [this, owner](int index) {
                    confirmForQueue(index);
                    QMetaObject::invokeMethod(owner, "_q_printerChanged", Qt::DirectConnection, Q_ARG(int, index));
                });
            return;
        }
    }

    void accept() override
    {
        const QComboBox* printers = list();
        confirmForQueue(printers ? printers->currentIndex() : 0);
        QPrintDialog::accept();
    }

private:
    QComboBox* list() const { return findChild<QComboBox*>(QStringLiteral("printers")); }

    // The dialog lists the queues first and a PDF file last; without the
    // list, any choice is taken for a queue.
    void confirmForQueue(int index) const
    {
        const QComboBox* printers = list();
        if (!printers || index < printers->count() - 1)
            printscheduler::confirm();
    }
};

// Qt's dialog grows downwards from where it opened when its options are
// shown: on a small screen at a large scale its buttons went below the
// screen's foot. It is moved back into the work area whenever it grows
// (where the window system lets a program place its windows).
class KeepInside : public QObject {
public:
    explicit KeepInside(QWidget& dialog) { dialog.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QWidget*>(watched); dialog && dialog->isWindow() && dialog->screen())
                keepInside(*dialog);
        return false;
    }

private:
    static void keepInside(QWidget& dialog)
    {
        const QRect area = dialog.screen()->availableGeometry();
        const QRect frame = dialog.frameGeometry();
        QPoint shift;
        if (frame.right() > area.right())
            shift.rx() = area.right() - frame.right();
        if (frame.bottom() > area.bottom())
            shift.ry() = area.bottom() - frame.bottom();
        // Taller or wider than the area: its top and left edges stay in view.
        shift.rx() = std::max(shift.x(), area.left() - frame.left());
        shift.ry() = std::max(shift.y(), area.top() - frame.top());
        if (!shift.isNull())
            dialog.move(dialog.pos() + shift);
    }
};

}  // namespace

PrintDialogResult QtUserInterface::printDialog(QPrinter& device, QString& deviceName, PrintDialogKind kind)
{
    // Qt's dialog reads the queues and their details from the scheduler on
    // this thread, from its making on.
    printlogin::answerOnThisThread();
    const QPageSize paper = device.pageLayout().pageSize();
    BoundedPrintDialog dialog(&device, boxParent());
    if (kind == PrintDialogKind::Setup) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
        dialog.setWindowTitle(QStringLiteral("プリンタの設定"));
    }
    std::optional<FileOffers> offers;
    if (kind == PrintDialogKind::Print) {
        // A page range left to the program would be dropped: Qt's dialog
        // then gives it to the queue, as its job's pages.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        offers.emplace(dialog);
    }
    PaperWatch watch(dialog, paper);
    KeepInside inside(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return PrintDialogResult::Cancelled;
    if (!device.printerName().isEmpty())
        deviceName = device.printerName();
    // The pick the device can't take is told, not replaced by another paper.
    if (!watch.apply(device)) {
        const bool setup = kind == PrintDialogKind::Setup;
        vb::MsgBox(QStringLiteral("選んだ用紙は、プリンタ「%1」では使えません。").arg(device.printerName()) + vb::vbCrLf
                       + (setup ? QStringLiteral("プリンタの設定は変わりません。") : QStringLiteral("何も印刷されていません。")),
                   vb::vbExclamation, setup ? QStringLiteral("プリンタの設定") : QStringLiteral("印刷"));
        return PrintDialogResult::Cancelled;
    }
    if (watch.chosen() || (watch.unread() && !device.pageLayout().pageSize().isEquivalentTo(paper)))
        return PrintDialogResult::PaperChosen;
    return PrintDialogResult::Accepted;
}

}  // namespace platform
