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
