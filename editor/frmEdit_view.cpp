// The picture and its working copies, the search for a missing picture,
// zooming and scrolling.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "db/mdlSQL.h"
#include "measure/optionrules.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/picturefile.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

using namespace platform;
using namespace vb;

namespace {

const QString kNoCopy = QStringLiteral("画像が読み込まれていないか、拡大縮小の不可能な画像、または設定です。");

// The zoom presets of the View menu, largest first.
constexpr float kPresets[] = {2.0f, 1.75f, 1.5f, 1.25f, 1.0f, 0.75f, 0.5f, 0.25f};

// A picture box sized to its picture, as a box that sizes itself does.
void fitToPicture(PictureBox& box)
{
    const int frame = 2 * PictureBox::frameWidthPixels(box.BorderStyle());
    const QSize size = box.picture()->size() + QSize(frame, frame);
    const PictureBox* parent = qobject_cast<const PictureBox*>(box.parentWidget());
    const double width = parent ? parent->ScaleX(size.width(), vbPixels, parent->ScaleMode()) : size.width();
    const double height = parent ? parent->ScaleY(size.height(), vbPixels, parent->ScaleMode()) : size.height();
    box.Move(box.Left(), box.Top(), width, height);
}

// The map's inside made exactly as large as the copy painted into it: the
// picture's pixels times the zoom (the height also times the aspect
// factor), so that its last column and row can be seen and picked at every
// zoom. A pixel belongs to the box when its centre lies on the copy. The
// box never grows beyond what a widget can be, whatever the zoom.
void fitToCopy(PictureBox& map, const PictureBox& window, float zoom, float aspect)
{
    const QSize picture = map.picture()->size();
    const int frame = 2 * PictureBox::frameWidthPixels(map.BorderStyle());
    const auto pixels = [frame](double extent) {
        return std::clamp(std::ceil(extent - 0.5), 1.0, double(QWIDGETSIZE_MAX - frame));
    };
    const double width = pixels(picture.width() * double(zoom)) + frame;
    const double height = pixels(picture.height() * double(zoom) * aspect) + frame;
    map.Move(map.Left(), map.Top(), window.ScaleX(width, vbPixels, window.ScaleMode()),
             window.ScaleY(height, vbPixels, window.ScaleMode()));
}

}  // namespace

// A stored drawing's picture: one cut short is shown, with a warning, so
// that the drawing's work stays in view where the picture is whole.
void frmEdit::subPictDraw(const QString& path)
{
    if (const SharedImage picture = fncLoad_Picture(path, false))
        subShow_Picture(picture);
}

SharedImage frmEdit::fncLoad_Picture(const QString& path, bool refuseCutShort)
{
    SharedImage picture;
    bool cutShort = false;
    try {
        Hourglass busy(this);
        picture = LoadPicture(path);
        cutShort = pictureCutShort(path);
    } catch (const vb::Error& error) {
        MsgBox(QStringLiteral("subPictDraw()") + vbCr + error.description(), vbOKOnly,
               QStringLiteral("ピクチャーボックスに像ロード時エラー"));
        return SharedImage();
    }
    if (!cutShort)
        return picture;
    // What the file lacks shows as a plain band: nothing there may be
    // measured as if it were the map.
    const QString damaged = path + vbCrLf + QStringLiteral("この画像ファイルは途中で切れています（壊れているか、コピーが途中で終わっています）。");
    if (refuseCutShort) {
        MsgBox(damaged + vbCrLf + QStringLiteral("画像の一部が欠けているため、取り込みません。"), vbExclamation,
               QStringLiteral("画像取り込み"));
        return SharedImage();
    }
    MsgBox(damaged + vbCrLf + QStringLiteral("欠けた部分は画像として表示されません。その部分では計測しないでください。"),
           vbExclamation, QStringLiteral("画像ファイルの破損"));
    return picture;
}

void frmEdit::subShow_Picture(const SharedImage& picture)
{
    {
        Hourglass busy(this);
        // Decoded once: the map and the full-size holder share the pixels.
        pictMap->setPicture(picture);
        fitToPicture(*pictMap);
        pictOrg->setPicture(picture);
        fitToPicture(*pictOrg);
    }
    Form_Resize();
}

void frmEdit::subFind_Picture(const QString& path, bool& found)
{
    found = false;
    if (files::fileExists(path)) {
        found = true;
        return;
    }
    const QString prompt = path + vbCrLf + QStringLiteral("画像ファイルが、見つかりませんでした・・・") + vbCrLf
        + QStringLiteral("自分で探しますか？");
    if (MsgBox(prompt, vbYesNo + vbExclamation, QStringLiteral("画像ファイル無し")) != vbYes)
        return;
    if (!fncPick_Picture(QStringLiteral("画像検索")))
        return;
    GE_tpPrint.strFileName = GE_strMapImage;
    GE_tpPrint.strPath = GE_strFolder;
    mdlSQL::fncSQL_Print_UpdateText(GE_tpPrint.Print_Id, QStringLiteral("strPath"), GE_tpPrint.strPath);
    mdlSQL::fncSQL_Print_UpdateText(GE_tpPrint.Print_Id, QStringLiteral("strFileName"), GE_tpPrint.strFileName);
    GE_booDbUpdate = true;
    found = true;
}

void frmEdit::subPictOrg_CopyAdj(float zoom)
{
    copyPicture(zoom, true);
}

void frmEdit::subPictOrg_Copy(float zoom)
{
    copyPicture(zoom, false);
}

// Repaints the map from the full-size picture at `zoom`; with `adjusted` the
// drawn layer is cleared first and the picture's height takes the aspect
// factor. The box takes the size of the copy.
void frmEdit::copyPicture(float zoom, bool adjusted)
{
    if (!pictMap->hasPicture()) {
        // A drawing opened without its picture: the white map is the copy,
        // and what was burnt into it (an export, another zoom's hatching)
        // goes as a copy's repaint would take it.
        if (adjusted)
            pictMap->Cls();
        return;
    }
    bool failed = false;
    QString failure;
    {
        Hourglass busy(this);
        // The map's outer size is read and set in millimetres meanwhile.
        pictWindow->setScaleMode(vbMillimeters);
        try {
            const float stretch = adjusted ? measure::shownStretch(GE_sngPictAdj) : 1.0f;
            const float width = float(pictOrg->ScaleWidth()) * zoom;
            const float height = float(pictOrg->ScaleHeight()) * zoom * stretch;
            if (adjusted)
                pictMap->Cls();
            fitToCopy(*pictMap, *pictWindow, zoom, stretch);
            if (height < pictMap->ScaleHeight()) {
                // Below a picture drawn shorter than the box lies a blank band,
                // not the picture as loaded.
                const int mode = pictMap->DrawMode;
                pictMap->DrawMode = vbCopyPen;
                pictMap->Line(0, height, pictMap->ScaleWidth(), pictMap->ScaleHeight(), pictMap->BackColor,
                              LineBox::BF);
                pictMap->DrawMode = mode;
            }
            pictMap->PaintPicture(pictOrg->picture(), 0, 0, width, height);
        } catch (const vb::Error& error) {
            failed = true;
            failure = error.description();
        }
        pictWindow->setScaleMode(vbPixels);
    }
    if (failed) {
        const QString title = adjusted ? QStringLiteral("subPictOrg_CopyAdj() 画像コピー時エラー")
                                       : QStringLiteral("subPictOrg_Copy() 画像コピー時エラー");
        MsgBox(kNoCopy + vbCr + failure, vbOKOnly, title);
    }
}

void frmEdit::sZoom(float zoom)
{
    zoomTo(zoom, true);
}

void frmEdit::sZoom_NoAdj(float zoom)
{
    zoomTo(zoom, false);
}

// Each step reports its own failure and the next step still runs.
void frmEdit::zoomTo(float zoom, bool adjusted)
{
    const auto step = [](const std::function<void()>& work) {
        try {
            work();
        } catch (const vb::Error& error) {
            MsgBox(kNoCopy + vbCr + error.description(), vbOKOnly, QStringLiteral("sZoom() 拡大縮小時エラー"));
        }
    };
    step([&] { copyPicture(zoom, adjusted); });
    step([&] { Form_Resize(); });
    // The re-lay ends by drawing the hatching the repaint wiped (once: an
    // exclusive-or pen drawn twice would cancel out).
    step([&] { subDisp_Object(); });
    step([&] {
        subSetup_PageR();
        subDisp_Paper(zoom, true);
        subDisp_PaperR(true);
    });
    step([&] { stsTip->Panels(8).setText(Format(zoom, QStringLiteral("##0%"))); });
    subFollow_Pointer();
}

void frmEdit::mnuDispEandR_Click(int index)
{
    subReset_ViewMode();
    GE_sngZoom = kPresets[index];
    mnuDispEandR(index).setChecked(true);
    sZoom(GE_sngZoom);
}

void frmEdit::subSet_Scroll()
{
    vscY->setVisible(pictWindow->Height() < pictMap->Height());
    hscX->setVisible(pictWindow->Width() < pictMap->Width());
    setScrollMaxima();
}

void frmEdit::subReset_ViewMode()
{
    // A line being measured is dropped below: the length and angle read
    // out were its own, and no release may bring them back.
    if (booMesDownD || booMesDownK || lblDistance.Visible) {
        lblDistance.Caption = QString();
        stsTip->Panels(4).setText(QString());
        stsTip->Panels(5).setText(QString());
    }
    mnuDispEnlarge->setChecked(false);
    sub_mnuCheck_False(mnuDispEandR);
    mnuDispAll->setChecked(false);
    subCircle_Hide();
    lblDistance.Visible = false;
    lineDistance.Visible = false;
    subHojo_Visible(false);
    subAllClr_LineMenseki();
    booRenzoku = false;
    // A line begun at another zoom is not finished at this one.
    booMesDownD = booMesDownK = false;
    booMesMoveD = booMesMoveK = false;
}

// The templates keep about 10 mm from the visible top-left corner; a screen
// pixel is 0.2645 mm.
void frmEdit::vscY_Change()
{
    const int v = vscY->Value();
    pictMap->setTop(-v);
    lblDefault.Top = float(v * 0.2645 + 10);
    linDefault.Y1 = lblDefault.Top + 4;
    linDefault.Y2 = lblDefault.Top + 4;
    shpDefault.Top = lblDefault.Top + 8;
    subFollow_Pointer();
}

void frmEdit::hscX_Change()
{
    const int v = hscX->Value();
    pictMap->setLeft(-v);
    lblDefault.Left = float(v * 0.2645 + 10);
    linDefault.X1 = lblDefault.Left;
    linDefault.X2 = linDefault.X1 + lblDefault.Width();
    shpDefault.Left = lblDefault.Left;
    subFollow_Pointer();
}

// The map moved under a pointer that rests (a wheel turned on a scroll
// bar, a zoom chosen): once the command that moved it has ended, the
// readouts name the point now under the pointer, through a move there, or
// none. A held button leaves it to the next move.
void frmEdit::subFollow_Pointer()
{
    if (booFollowPending)
        return;
    booFollowPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            booFollowPending = false;
            if (QApplication::mouseButtons() != Qt::NoButton)
                return;
            const QPoint global = QCursor::pos();
            if (QApplication::widgetAt(global) != pictMap) {
                // Off the map (on a scroll bar), or another window over it:
                // the point last read out is no longer beside the pointer.
                subClear_Position();
                return;
            }
            QMouseEvent move(QEvent::MouseMove, QPointF(pictMap->mapFromGlobal(global)), QPointF(global),
                             Qt::NoButton, Qt::NoButton, QApplication::keyboardModifiers());
            QCoreApplication::sendEvent(pictMap, &move);
        },
        Qt::QueuedConnection);
}
