#include "library/oldimport.h"

#include "app/globals.h"
#include "objects/objectarrays.h"
#include "platform/files.h"
#include "platform/inifile.h"
#include "platform/vberror.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace platform;
namespace files = platform::files;

namespace mdlFileAccess {

namespace {

void apply(LabelElement& e, const typOldLabel& r)
{
    e.Caption = r.Caption;
    e.ToolTipText = r.ToolTipText;
    e.Tag = r.Tag;
    e.Move(r.Left, r.Top);
    e.setWidth(r.Width);
    e.setHeight(r.Height);
    e.Alignment = r.Alignment;
    e.BackStyle = r.BackStyle;
    e.BorderStyle = r.BorderStyle;
    e.BackColor = r.BackColor;
    e.ForeColor = r.ForeColor;
    e.FontName = r.FontName;
    e.FontSize = double(r.FontSize);
    e.FontItalic = r.FontItalic;
    e.FontBold = r.FontBold;
    e.FontStrikethrough = r.FontStrikethru;
    e.FontUnderline = r.FontUnderline;
    e.Visible = r.Visible;
}

void apply(LineElement& e, const typOldLine& r)
{
    e.Visible = r.Visible;
    e.Tag = r.Tag;
    e.X1 = r.X1;
    e.Y1 = r.Y1;
    e.X2 = r.X2;
    e.Y2 = r.Y2;
    e.BorderColor = r.BorderColor;
    e.BorderWidth = r.BorderWidth;
    e.BorderStyle = r.BorderStyle;
    e.DrawMode = r.DrawMode;
}

void apply(ShapeElement& e, const typOldShape& r)
{
    e.Visible = r.Visible;
    e.Tag = r.Tag;
    e.Move(r.Left, r.Top, r.Width, r.Height);
    e.BackColor = r.BackColor;
    e.FillColor = r.FillColor;
    e.BorderColor = r.BorderColor;
    e.BorderWidth = r.BorderWidth;
    e.BackStyle = r.BackStyle;
    e.BorderStyle = r.BorderStyle;
    e.DrawMode = r.DrawMode;
    e.Shape = r.Shape;
    e.FillStyle = r.FillStyle;
}

template <class T, class R>
void applyRun(ElementArray<T>& elements, const typOldRun<R>& run)
{
    const int n = int(run.records.size());
    for (int k = 0; k < n + (run.added && n > 0 ? 1 : 0); ++k) {
        if (!elements.exists(k))
            elements.Load(k);
        if (k < n)
            apply(elements(k), run.records[k]);
    }
}

// The file's bytes; a file that is there but can't be read stops the import.
QByteArray readAll(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        vb::raise(vb::errPathFileAccess, name + QStringLiteral(": ") + vb::errorDescription(vb::errPathFileAccess));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        vb::raise(vb::errPathFileAccess, name + QStringLiteral(": ") + vb::errorDescription(vb::errPathFileAccess));
    return bytes;
}

// The run without its elements from `count` on; the element at `count`
// becomes the run's hidden end.
template <class R>
void keepFirst(typOldRun<R>& run, int count)
{
    if (run.upperBound() <= count)
        return;
    run.records.resize(count);
    run.added = true;
}

// Each distance is a label and a line with two extension lines and two end
// markers, paired by index; the editor relies on it. A data set whose record
// file is missing or whose counts disagree keeps the distances that are
// whole: the pieces beyond them have lost their partners and are dropped.
// Every element below a run's upper bound is visible, so the upper bound
// counts the pieces. Returns how many distances were left out: as many as
// the fullest run held pieces of.
int subPair_Distances(typOldRun<typOldLabel>& kyori, typOldRun<typOldLine>& ds, typOldRun<typOldLine>& hojo,
                      typOldRun<typOldShape>& snpo)
{
    const int whole = std::min({kyori.upperBound(), ds.upperBound(), hojo.upperBound() / 2, snpo.upperBound() / 2});
    const int some = std::max({kyori.upperBound(), ds.upperBound(), (hojo.upperBound() + 1) / 2,
                               (snpo.upperBound() + 1) / 2});
    keepFirst(kyori, whole);
    keepFirst(ds, whole);
    keepFirst(hojo, 2 * whole);
    keepFirst(snpo, 2 * whole);
    return some - whole;
}

}  // namespace

bool fncOld_NameAllowed(const QString& name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

void subApply_TextBin(ObjectArrays& a, const typOldTextBin& runs)
{
    applyRun(a.lblKyori, runs[runKyori]);
    applyRun(a.lblKeiroS, runs[runKeiroS]);
    applyRun(a.lblMensekiS, runs[runMensekiS]);
    applyRun(a.lblMoji, runs[runMoji]);
    applyRun(a.lblKeiIdoS, runs[runKeiIdoS]);
}

void subApply_LineBin(ObjectArrays& a, const typOldLineBin& runs)
{
    applyRun(a.lineHikidashi, runs[runHikidashi]);
    applyRun(a.lineHojoSave, runs[runHojoSave]);
    applyRun(a.lineDsSave, runs[runDsSave]);
    applyRun(a.linePS, runs[runPS]);
}

void subApply_ShapeBin(ObjectArrays& a, const typOldShapeBin& run) { applyRun(a.shpSnpo, run); }

typOldLeftOut subReadOld_Drawing(ObjectArrays& arrays, const QString& folder, const QString& iniPath)
{
    const platform::ini::Snapshot ini(iniPath);  // one reading for every key, however large the file
    typOldLeftOut left;
    const auto named = [&](const QString& key, bool* found = nullptr) {
        QString name = ini.value(OldSecFiles, key, QString(), found);
        name = name.left(name.indexOf(QChar(u'\0')));  // up to a NUL, as the platform reads it
        if (!fncOld_NameAllowed(name))
            vb::raise(vb::errBadFileName, key + QStringLiteral(" = ") + name + QStringLiteral(": ")
                                              + vb::errorDescription(vb::errBadFileName));
        return name;
    };
    const QString mapImage = named(OldKeyMapImage);
    const QString onDisk = files::findFileName(GE_strFolder, mapImage);
    // "" when the key is empty (noted when it is there) or the file is not
    // there (noted as missing).
    const auto recordFile = [&](const QString& key, QString& name) {
        bool present = false;
        name = named(key, &present);
        if (name.isEmpty()) {
            if (present)
                left.unnamed.append(key);
            return QByteArray();
        }
        const QString found = files::findFileName(folder, name);
        if (found.isEmpty()) {
            left.missing.append(files::join(folder, name));
            name.clear();
            return QByteArray();
        }
        name = found;
        return readAll(files::join(folder, found), found);
    };

    QString textName, lineName, shapeName;
    const QByteArray textBytes = recordFile(OldKeyTextBin, textName);
    const QByteArray lineBytes = recordFile(OldKeyLineBin, lineName);
    const QByteArray shapeBytes = recordFile(OldKeyShapeBin, shapeName);
    typOldTextBin text = textName.isEmpty() ? typOldTextBin{} : fncReadOld_TextBin(textBytes, textName);
    typOldLineBin lines = lineName.isEmpty() ? typOldLineBin{} : fncReadOld_LineBin(lineBytes, lineName);
    typOldShapeBin markers = shapeName.isEmpty() ? typOldShapeBin{} : fncReadOld_ShapeBin(shapeBytes, shapeName);
    left.distances = subPair_Distances(text[runKyori], lines[runDsSave], lines[runHojoSave], markers);

    subReadOld_Settings(ini, QFileInfo(iniPath).fileName());
    GE_strMapImage = onDisk.isEmpty() ? mapImage : onDisk;
    subApply_TextBin(arrays, text);
    subApply_LineBin(arrays, lines);
    subApply_ShapeBin(arrays, markers);
    return left;
}

QString fncOld_Notice(const typOldLeftOut& left)
{
    const QString crlf = QStringLiteral("\r\n");
    QStringList parts;
    if (!left.missing.isEmpty())
        parts << QStringLiteral("次のファイルが見つからなかったため、読み込んでいません。") + crlf + left.missing.join(crlf);
    if (!left.unnamed.isEmpty())
        parts << QStringLiteral("図面データの次の項目にファイル名がないため、読み込んでいません。") + crlf
                + left.unnamed.join(crlf);
    if (left.distances > 0)
        parts << QStringLiteral("部品がそろっていない距離・寸法 %1 件は、読み込んでいません。").arg(left.distances);
    return parts.join(crlf + crlf);
}

}  // namespace mdlFileAccess
