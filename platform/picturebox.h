#pragma once
// The picture box: a window with a picture (as loaded), a persistent drawn
// layer, a scale mode, and lightweight elements (lines, shapes, labels)
// painted above the layer. Only the part that is exposed is ever rendered,
// so a large picture at a high zoom never becomes a full-size copy.
//
// Composition, bottom to top: BackColor, the Picture at (0,0) at its own size,
// the drawn layer, then the elements in creation order (lines and shapes,
// then labels above them), each with its raster operation against what lies
// beneath. Composition is done in a QImage of the exposed area, so raster
// operations (exclusive-or marks) behave exactly, with antialiasing off.

#include "platform/surface.h"

#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

class QImageReader;

namespace platform {

class Element;
class LabelElement;

class PictureBox : public QWidget, public PictureLayer {
    Q_OBJECT
public:
    explicit PictureBox(const QString& name, QWidget* parent = nullptr);
    ~PictureBox() override;
    // Both bases render: the widget onto a device, the layer onto a painter.
    using QWidget::render;
    using PictureLayer::render;

    // The picture as loaded; shared, never copied. A null pointer removes it.
    void setPicture(const SharedImage& picture);
    const SharedImage& picture() const { return m_picture; }
    bool hasPicture() const { return m_picture && !m_picture->isNull(); }

    // 0 none, 1 fixed single (a sunken 2-pixel frame): outer = inner + frame.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    static int frameWidthPixels(int borderStyle);

    // Outer geometry in the parent's scale units when the parent is a
    // PictureBox, else in pixels; inner size = ScaleWidth/ScaleHeight.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void Move(double left, double top, double width = -1, double height = -1);
    void setLeft(double v) { Move(v, Top()); }
    void setTop(double v) { Move(Left(), v); }
    void setWidth(double v) { Move(Left(), Top(), v, Height()); }
    void setHeight(double v) { Move(Left(), Top(), Width(), v); }

    QSizeF deviceSize() const override;  // inner size in pixels
    void setBackColor(qint32 color);

    // Elements living on this box, in creation order (each element registers
    // itself with its container and leaves when it is destroyed).
    void addElement(Element* element);
    void removeElement(Element* element);
    const QList<Element*>& elements() const;
    // Gives these elements of the box the places they hold among themselves
    // in the order given (bottom to top); every other element keeps its place.
    void restack(const std::vector<Element*>& bottomToTop);
    // The topmost visible label that takes the mouse at a point (device
    // pixels), or nullptr.
    LabelElement* labelAt(const QPointF& device) const;
    // Repaint the part of the box an element covers (device pixels).
    void invalidate(const QRectF& device);

    // Mouse events of the box itself, positions in its scale units;
    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt.
    std::function<void(int button, int shift, double x, double y)> MouseDown, MouseMove, MouseUp;
    std::function<void()> Click, DblClick;

    // Renders the box as it shows, for the bitmap export and tests; without
    // the elements, only the picture and the drawn layer.
    QImage renderArea(const QRect& devicePixels, bool withElements = true) const;
    // The same into a caller's RGB32 image of the area's size, so a long run
    // of strips reuses one buffer.
    void renderInto(QImage& image, const QPoint& deviceOrigin, bool withElements = true) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;  // tooltips of labels
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class Element;
    // False while no repaint request would be kept: the box is not shown, or
    // its whole visible part already waits for its paint. Elements changed
    // meanwhile need not work out where they lie until the next paint.
    bool takesRepaints() const { return !m_wholeInvalid && isVisible(); }
    // An element that changed while no repaints were taken: its place is
    // worked out again at the next paint.
    void markStale() { ++m_stale; }
    void unmarkStale() { m_stale = std::max(0, m_stale - 1); }
    QPointF innerOrigin() const;  // inner top-left in widget pixels
    QRect visibleRect() const;    // the part not cut off by the parents (widget pixels)
    void sizeChanged();           // a standard scale follows the new inner size
    void fireMouse(int kind, QMouseEvent* event);
    void compactElements() const;
    void refreshStaleBounds();
    SharedImage m_picture;
    int m_borderStyle = 1;
    // In creation order; a removed element leaves a null slot until the
    // list is compacted, so that removal never shifts the whole list.
    mutable QList<Element*> m_elements;
    mutable int m_holes = 0;
    int m_stale = 0;                // elements waiting for their bounds since the last paint
    LabelElement* m_captured = nullptr;  // the label that took the mouse-down
    bool m_pressedOnBox = false;
    bool m_afterDblClick = false;  // the release that ends a double click is no click
    int m_invalidations = 0;        // repaint requests since the last paint
    bool m_wholeInvalid = false;    // the whole visible part waits for its paint
};

// Loads BMP, JPEG or GIF as stored (no EXIF rotation). Raises vb::Error with
// a Japanese description naming the file for an unreadable file (the
// reader's own text after it) and for a picture beyond MaxPicturePixels.
// With `scaledTo` the picture is decoded at that size (a JPEG decoder
// scales while it decodes), never at full size first.
SharedImage LoadPicture(const QString& path, const QSize& scaledTo = QSize());
// The same from a reader set on a file already open; `name` names it.
SharedImage LoadPicture(QImageReader& reader, const QString& name, const QSize& scaledTo = QSize());
constexpr qint64 MaxPicturePixels = 16384LL * 16384LL;

}  // namespace platform
