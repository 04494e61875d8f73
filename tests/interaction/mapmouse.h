#pragma once
// The map's mouse in the editor's tests: a drawing with a 400 x 400 pixel
// picture, known-distance mode at ratio 0.5 in metres with 2 decimals,
// 15 mm extension lines, and presses and moves at map points.

#include "tests/editor/editorfixture.h"

#include "app/mdlFileAccess.h"
#include "platform/keyboard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

namespace mapmouse {

inline bool near(double a, double b, double t = 0.001) { return qAbs(a - b) <= t; }

inline frmEdit& openMeasuring(editortest::Session& s, const QString& temp)
{
    editortest::writePicture(s.fx->dir.path(), QStringLiteral("map.bmp"), QSize(400, 400));
    if (s.fx->storeDrawing(QStringLiteral("M-1"), s.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
        qFatal("no drawing stored");
    GE_sngZoom = 1.0f;
    frmEdit& e = editortest::Fixture::open();
    GE_strTempPath = temp;
    GE_booModeDis = true;
    GE_booModeKei = false;
    GE_tpPtoD_r = typPointD{0.5, 0.5};
    GE_dblHosei = {};
    GE_sngHosei = {};
    GE_intUnitDIndex = 2;
    GE_strUnitD = QStringLiteral("m ");
    GE_intDPointD = 2;
    GE_intUnitSIndex = 2;
    GE_strUnitS = QStringLiteral("m2 ");
    GE_intDPointS = 2;
    GE_sngHojoLen = 15;
    GE_dblAspectM = 1;
    e.booDrawChange = false;
    return e;
}

inline void tool(frmEdit& e, int button)
{
    e.Toolbar1->Buttons(button).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(button));
}

// A platform event at the pixel nearest to the map point (a move with the
// buttons given held); the millimetres the handler received.
enum Kind { Press, Move, Release };
inline QPointF mouse(frmEdit& e, Kind kind, float x, float y, Qt::MouseButton button = Qt::LeftButton)
{
    QPointF received(-1, -1);
    auto& slot = kind == Press ? e.pictMap->MouseDown : kind == Move ? e.pictMap->MouseMove : e.pictMap->MouseUp;
    const auto handler = slot;
    slot = [&](int b, int sh, double mx, double my) {
        received = QPointF(mx, my);
        handler(b, sh, mx, my);
    };
    const QPoint pixel = e.pictMap->toDevice(x, y).toPoint() + QPoint(2, 2);  // inside the frame
    if (kind == Press)
        QTest::mousePress(e.pictMap, button, Qt::NoModifier, pixel);
    else if (kind == Release)
        QTest::mouseRelease(e.pictMap, button, Qt::NoModifier, pixel);
    else {
        // Sent as the window system would, also with no button held (the
        // test library moves the cursor instead, which a hidden window misses).
        const Qt::MouseButtons held = button == Qt::NoButton ? Qt::MouseButtons() : Qt::MouseButtons(button);
        QMouseEvent move(QEvent::MouseMove, pixel, e.pictMap->mapToGlobal(pixel), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(e.pictMap, &move);
    }
    slot = handler;
    return received;
}

inline bool at(const platform::LineElement& l, double x1, double y1, double x2, double y2)
{
    return near(l.X1, x1) && near(l.Y1, y1) && near(l.X2, x2) && near(l.Y2, y2);
}

inline QPointF centre(const platform::LabelElement& l) { return {l.Left + l.Width() / 2, l.Top + l.Height() / 2}; }

inline void shift(bool down) { platform::setKeyDown(vb::vbKeyShift, down); }

}  // namespace mapmouse
