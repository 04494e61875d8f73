#pragma once
// The previous version's drawing data, read without windows: its settings
// file into the drawing settings, and its three record files (CP932 text,
// one property a line, lines ending at CR or CR LF, or at LF in a file
// without CR) into records, run by run.
//
// Every value is checked as the element it is meant for would check it; a
// damaged file raises vb::Error whose description names the file and the
// line ("L.txt の 16 行目で、記録が途中で終わっています。") or the key, so
// that the import stops rather than bring in half a drawing.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>

namespace platform::ini {
class Snapshot;
}

namespace mdlFileAccess {

// The sections of the settings file.
inline const QString OldSecFiles = QStringLiteral("データファイル名");
inline const QString OldKeyMapImage = QStringLiteral("fMei_MapImage");
inline const QString OldKeyTextBin = QStringLiteral("Text_Bin");
inline const QString OldKeyLineBin = QStringLiteral("Line_Bin");
inline const QString OldKeyShapeBin = QStringLiteral("Shape_Bin");

struct typOldLabel {
    bool Visible = false;
    QString Caption, ToolTipText, Tag;
    float Top = 0, Left = 0, Width = 0, Height = 0;
    qint16 Alignment = 0, BackStyle = 0, BorderStyle = 0;
    qint32 BackColor = 0, ForeColor = 0;
    QString FontName;
    float FontSize = 9;
    bool FontItalic = false, FontBold = false, FontStrikethru = false, FontUnderline = false;
};

struct typOldLine {
    bool Visible = false;
    QString Tag;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    qint32 BorderColor = 0;
    qint16 BorderWidth = 1, BorderStyle = 1, DrawMode = 13;
};

struct typOldShape {
    bool Visible = false;
    QString Tag;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    qint32 BackColor = 0, FillColor = 0, BorderColor = 0;
    qint16 BorderWidth = 1, BackStyle = 0, BorderStyle = 1, DrawMode = 13, Shape = 0, FillStyle = 1;
};

// One array's run: record k fills element k. `added`: the file ended where
// the next record would have begun, after the element for it was added
// (hidden, as element 0 looks).
template <class R>
struct typOldRun {
    QList<R> records;
    bool added = false;
    // The array's highest index once the run is applied.
    int upperBound() const { return records.isEmpty() ? 0 : int(records.size()) - 1 + (added ? 1 : 0); }
};

// Runs in file order.
enum OldTextRun { runKyori, runKeiroS, runMensekiS, runMoji, runKeiIdoS };
enum OldLineRun { runHikidashi, runHojoSave, runDsSave, runPS };
using typOldTextBin = std::array<typOldRun<typOldLabel>, 5>;
using typOldLineBin = std::array<typOldRun<typOldLine>, 4>;
using typOldShapeBin = typOldRun<typOldShape>;  // shpSnpo

// A record file's bytes; `fileName` names it in failures.
typOldTextBin fncReadOld_TextBin(const QByteArray& bytes, const QString& fileName);
typOldLineBin fncReadOld_LineBin(const QByteArray& bytes, const QString& fileName);
typOldShapeBin fncReadOld_ShapeBin(const QByteArray& bytes, const QString& fileName);

// The conversions of the data set: "True"/"False" in any case or a number
// (else error 13), and the leading number of a text.
bool fncOld_Truth(const QString& text);

// Reads the 60 settings keys into the drawing settings, all or none: a key
// that is absent keeps the value it has; a truth value absent or unreadable
// and a number beyond its type raise, naming the file and key. A unit index
// outside the 14 units becomes 2 (metres, square metres). The file is read
// once; `file` is its name in failures.
void subReadOld_Settings(const QString& iniPath);
void subReadOld_Settings(const platform::ini::Snapshot& ini, const QString& file);

}  // namespace mdlFileAccess
