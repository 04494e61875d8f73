#pragma once
// The common-dialog control: its properties are set, one of its Show methods
// runs the dialog, and the choice is read back from the properties. With
// CancelError set, a cancel raises error 32755 as the runtime did.

#include "platform/ui.h"

#include <QString>

namespace platform {

class CommonDialog {
public:
    QString DialogTitle;
    QString Filter;  // "description|pattern|description|pattern"
    int FilterIndex = 1;
    QString InitDir;
    QString FileName;  // in: suggested name; out: the full path chosen
    QString DefaultExt;
    bool CancelError = false;
    long Flags = 0;
    qint32 Color = 0;
    QString FontName;
    double FontSize = 9;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    // The print dialogs work on a device: it opens with the device's settings
    // and keeps the choice; PrinterName names the printer chosen. A paper
    // size the user did not choose stays as the device held it where the
    // printer chosen offers it. Flags with cdlPDPrintSetup show the set-up
    // dialog.
    QPrinter* PrinterDevice = nullptr;
    QString PrinterName;
    static constexpr long cdlPDPrintSetup = 0x40;

    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowFont();
    void ShowPrinter();

private:
    FileDialogRequest request() const;
    void cancelled();
};

}  // namespace platform
