#pragma once
// Labels and keys in the editor's tests: objects made straight in the
// arrays, labels of a fixed size, keys sent to the window, the selection set
// as a press leaves it.

#include "tests/interaction/mapmouse.h"

namespace labelkeys {

const QString Key = QStringLiteral("240101090000");

template <class T>
T& shown(platform::ElementArray<T>& a, int k)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Visible = true;
    return a(k);
}

template <class T>
void spare(platform::ElementArray<T>& a)
{
    a.Load(a.UBound() + 1);
    a(a.UBound()).Visible = false;
}

inline platform::LabelElement& box(platform::ElementArray<platform::LabelElement>& a, int k, float left, float top,
                                   const QString& tag = QString())
{
    platform::LabelElement& l = shown(a, k);
    l.AutoSize = false;
    l.Move(left, top);
    l.setWidth(20);
    l.setHeight(10);
    l.Tag = tag;
    return l;
}

inline platform::LineElement& line(platform::ElementArray<platform::LineElement>& a, int k, float x1, float y1,
                                   float x2, float y2, const QString& tag = QString())
{
    platform::LineElement& l = shown(a, k);
    l.X1 = x1, l.Y1 = y1, l.X2 = x2, l.Y2 = y2;
    l.Tag = tag;
    return l;
}

// An area round (10, 100), (50, 100), (50, 140) with its label at (20, 60)
// and one side distance on its first side.
inline void area(frmEdit& e)
{
    line(e.linePS, 0, 10, 100, 50, 100, QStringLiteral("_") + Key);
    line(e.linePS, 1, 50, 100, 50, 140, QStringLiteral("_") + Key);
    line(e.linePS, 2, 50, 140, 10, 100, QStringLiteral("_") + Key);
    spare(e.linePS);
    box(e.lblMensekiS, 0, 20, 60, QStringLiteral("202:800_") + Key).Caption = QStringLiteral("200.00 m2 ");
    spare(e.lblMensekiS);
    line(e.lineHojoSave, 0, 10, 100, 10, 85, Key);
    line(e.lineHojoSave, 1, 50, 100, 50, 85, Key);
    spare(e.lineHojoSave);
    line(e.lineDsSave, 0, 10, 85, 50, 85, Key);
    spare(e.lineDsSave);
    box(e.lblKyori, 0, 25, 80, QStringLiteral("022:20_") + Key);
    spare(e.lblKyori);
}

inline void select(frmEdit& e, const char* name, int index)
{
    e.strSelObjName = QString::fromLatin1(name);
    e.intSelIndex = qint16(index);
}

inline void press(frmEdit& e, Qt::Key key) { QTest::keyPress(&e, key); }
inline void release(frmEdit& e, Qt::Key key) { QTest::keyRelease(&e, key); }
inline void tap(frmEdit& e, Qt::Key key) { press(e, key), release(e, key); }

}  // namespace labelkeys
