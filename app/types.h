#pragma once
// The records shared across the program.

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The open drawing's record: the key fields of its tPrint row.
struct typPrint {
    qint32 Print_Id = 0;  // 0 new, -1 imported from the previous version, 1.. stored
    QString strNo;        // management number, at most 10 characters
    QString strName;
    QString strPassWord;
    bool booEdit = true;
    bool booVisible = true;
    QString strFileName;  // image file name
    QString strPath;      // image folder
    QDateTime datHizuke;  // created
    QDateTime datRenew;   // last written
};

// The tSystem row; System_Id is the schema version.
struct typSystem {
    qint32 System_Id = 0;
    QString strPassWord;
    QString strUserId;
    QString strComment;
    QString strCopyRight;
};

struct typPointS {
    float sngX = 0;
    float sngY = 0;
};

struct typPointD {
    double dblX = 0;
    double dblY = 0;
};

struct typLonLat {
    double dblLongitude = 0;  // seconds of arc
    double dblLatitude = 0;
};

struct typDMS {
    qint16 intDeg = 0;
    qint16 intMin = 0;
    float sngSec = 0;
};

// The schema version this program writes.
constexpr qint32 CurrentSystemId = 200911;

// --- hatching ---
// The hatching of one area result, one per area label; the segments themselves
// live in the area's cache file in TEMP.
struct typHatching {
    qint16 intIndex = 0;     // the area label the record belongs to
    qint16 iUbound = 0;      // last index of the area's segment list
    qint16 iStyle = 0;       // 0 no hatching, 1 to 6 the hatch styles
    qint16 BorderStyle = 0;  // line style of the hatch lines
    qint32 BorderColor = 0;
    qint16 BorderWidth = 0;
    qint16 DrawMode = 0;
    qint16 iPitch = 0;       // millimetres between hatch lines
    qint16 iTilt = 0;        // degrees
    QString Tag;             // the area's key
};

// One hatch segment, from (X1, Y1) to (X2, Y2), unzoomed map coordinates.
// The fields stand in their order in the cache file.
struct typHatchLine {
    float X1 = 0;
    float X2 = 0;
    float Y1 = 0;
    float Y2 = 0;
};

// --- printer settings ---
// A drawing's printer settings, kept with the drawing as its tPrinter row.
struct typPrinter {
    qint32 lngReserved = 0;  // leading field of the record; not stored
    QString strDeviceName;
    qint16 intPaperSize = 0;  // 256 a user-defined size
    float sngPaperWidth = 0;
    float sngPaperLength = 0;
    float sngWidth = 0;        // page width, twips
    float sngHeight = 0;       // page height, twips
    float sngScaleWidth = 0;   // printable width, millimetres
    float sngScaleHeight = 0;  // printable height, millimetres
    qint16 intScaleMode = 0;
    qint16 intPaperBin = 0;
    qint16 intPrintQuality = 0;
    qint16 intColorMode = 0;    // 1 monochrome, 2 colour
    qint16 intDuplex = 0;       // 1 simplex, 2 vertical, 3 horizontal
    qint16 intOrientation = 0;  // 1 portrait, 2 landscape
    qint16 intZoom = 0;         // per cent
    QString strDriverName;
    QString strPort;
    QString strFormName;
};

// The platform's device-mode block as the print dialogs exchanged it: its
// fields and rules, held as values (no byte image is built). The two names
// are 32 characters, cut or blank-padded.
struct typDEVMODE {
    QString dmDeviceName;
    qint16 dmSpecVersion = 0;
    qint16 dmDriverVersion = 0;
    qint16 dmSize = 0;
    qint16 dmDriverExtra = 0;
    qint32 dmFields = 0;  // which of the fields below hold a setting
    qint16 dmOrientation = 0;
    qint16 dmPaperSize = 0;
    // User-defined paper only, hundredths of a millimetre, portrait. Held in
    // 32 bits: A1 and A0, which have no paper code of their own, are wider
    // than 327.67 mm.
    qint32 dmPaperLength = 0;
    qint32 dmPaperWidth = 0;
    qint16 dmScale = 0;
    qint16 dmCopies = 0;
    qint16 dmDefaultSource = 0;
    qint16 dmPrintQuality = 0;
    qint16 dmColor = 0;
    qint16 dmDuplex = 0;
    qint16 dmYResolution = 0;
    qint16 dmTTOption = 0;
    qint16 dmCollate = 0;
    QString dmFormName;
};

// The platform's device-name block: offsets counted in bytes of the
// single-byte code page from the block's start (the text area starts at 8),
// and the text area with the driver, device and port names, each ended by a
// NUL.
struct typDEVNAMES {
    qint16 wDriverOffset = 0;
    qint16 wDeviceOffset = 0;
    qint16 wOutputOffset = 0;
    qint16 wDefault = 0;
    QString strText;
};
