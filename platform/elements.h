#pragma once
// Lightweight elements on a picture box, in element arrays: lines, shapes
// and labels with the properties the program stores and shows. Assigning a
// property repaints what it changed.
//
// Positions and sizes are in the container's scale units (millimetres on the
// map). An array's element 0 lives as long as the array; Load(k) copies every
// property of element 0 and starts hidden; Unload(k) is for k >= 1.

#include "platform/picturebox.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

class Element;

// A property that repaints its element when assigned.
template <typename T>
class Prop {
public:
    explicit Prop(Element* owner, T value = T()) : m_owner(owner), m_value(value) {}
    Prop& operator=(const T& value);
    Prop& operator=(const Prop& other) { return *this = other.m_value; }
    operator const T&() const { return m_value; }
    const T& get() const { return m_value; }
    template <typename U> Prop& operator+=(const U& d) { return *this = T(m_value + d); }
    template <typename U> Prop& operator-=(const U& d) { return *this = T(m_value - d); }
    template <typename U> Prop& operator*=(const U& f) { return *this = T(m_value * f); }
    template <typename U> Prop& operator/=(const U& f) { return *this = T(m_value / f); }

private:
    Element* m_owner;
    T m_value;
};

class Element {
public:
    explicit Element(PictureBox* container);
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    QString Name;   // the array's name ("lblKyori")
    int Index = 0;
    QString Tag;
    Prop<bool> Visible{this, true};

    PictureBox* container() const { return m_container; }
    virtual bool isLabel() const { return false; }
    // Device pixels the element may paint (for repaints and culling).
    virtual QRectF deviceBounds() const = 0;
    // Paints with its raster operation onto an image painter whose origin is device (0,0).
    virtual void paint(QPainter& painter) const = 0;
    // Copies every property of `other` (Load).
    virtual void copyFrom(const Element& other) = 0;
    quint64 sequence() const { return m_sequence; }  // creation order
    // Its place among its box's elements, bottom to top (comparable between
    // elements of one box; -1 when on none).
    int stackPlace() const { return m_slot; }

    // Repaints old and new bounds. While the container takes no repaints
    // (not shown, or wholly waiting for its paint) the bounds are left to
    // its next paint, so a drawing loaded unseen measures nothing.
    void changed();

protected:
    friend class PictureBox;  // clears m_container when the box goes first
    // Called by changed() before the new bounds are taken (cached layouts).
    virtual void propertiesChanged() {}
    PictureBox* m_container;
    QRectF m_lastBounds;
    quint64 m_sequence;
    int m_slot = -1;             // place in the container's list
    bool m_boundsStale = false;  // changed while the container took no repaints
};

class LineElement : public Element {
public:
    explicit LineElement(PictureBox* container);
    Prop<float> X1{this}, Y1{this}, X2{this}, Y2{this};
    Prop<qint32> BorderColor{this, 0};
    Prop<int> BorderStyle{this, 1};  // 0 transparent, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 inside solid
    Prop<int> BorderWidth{this, 1};  // pixels
    Prop<int> DrawMode{this, vbCopyPen};
    QRectF deviceBounds() const override;
    void paint(QPainter& painter) const override;
    void copyFrom(const Element& other) override;
};

class ShapeElement : public Element {
public:
    explicit ShapeElement(PictureBox* container);
    Prop<float> Left{this}, Top{this};
    // Width and Height: a negative value raises error 380.
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void setWidth(float w);
    void setHeight(float h);
    void Move(float left, float top, float width, float height);
    Prop<int> Shape{this, 0};  // 0 rectangle, 1 square, 2 oval, 3 circle, 4 rounded rectangle, 5 rounded square
    Prop<qint32> BackColor{this, 0xFFFFFF};
    Prop<int> BackStyle{this, 0};  // 0 transparent, 1 opaque
    Prop<qint32> BorderColor{this, 0};
    Prop<int> BorderStyle{this, 1};
    Prop<int> BorderWidth{this, 1};
    Prop<qint32> FillColor{this, 0};
    Prop<int> FillStyle{this, 1};  // 0 solid, 1 transparent, 2..7 patterns
    Prop<int> DrawMode{this, vbCopyPen};
    QRectF deviceBounds() const override;
    void paint(QPainter& painter) const override;
    void copyFrom(const Element& other) override;
    QRectF deviceRect() const;  // the shape's box in device pixels

private:
    float m_width = 0, m_height = 0;
};

class LabelElement : public Element {
public:
    explicit LabelElement(PictureBox* container);
    Prop<QString> Caption{this};
    Prop<QString> ToolTipText{this};
    Prop<int> Alignment{this, 0};   // 0 left, 1 right, 2 centre
    Prop<int> Appearance{this, 1};  // 0 flat, 1 3D
    Prop<int> BorderStyle{this, 0};  // 0 none, 1 fixed single
    Prop<int> BackStyle{this, 1};    // 0 transparent, 1 opaque
    Prop<qint32> ForeColor{this, 0};
    Prop<qint32> BackColor{this, 0xFFFFFF};
    Prop<QString> FontName{this};
    Prop<double> FontSize{this, 9};  // points; fractions kept
    Prop<bool> FontBold{this, false};
    Prop<bool> FontItalic{this, false};
    Prop<bool> FontUnderline{this, false};
    Prop<bool> FontStrikethrough{this, false};
    Prop<bool> AutoSize{this, false};
    Prop<bool> WordWrap{this, false};
    Prop<float> Left{this}, Top{this};
    // With AutoSize the size follows the caption and font.
    float Width() const;
    float Height() const;
    void setWidth(float w);
    void setHeight(float h);
    void Move(float left, float top);
    QFont font() const;
    // Width and Height the label would have at another font size, measured
    // without changing it.
    QSizeF sizeAtFontSize(double size) const;

    bool isLabel() const override { return true; }
    QRectF deviceBounds() const override;
    void paint(QPainter& painter) const override;
    void copyFrom(const Element& other) override;

    // Mouse events, in the runtime's order: down, up, click, (double-click, up).
    // Positions are twips relative to the label's top-left.
    std::function<void(int index, int button, int shift, float x, float y)> MouseDown, MouseMove, MouseUp;
    std::function<void(int index)> Click, DblClick;
    // A label that only shows a value: the mouse passes through it to the
    // box beneath, press, move and release alike, as if it were not there.
    bool TransparentForMouse = false;

    QRectF deviceRect() const;  // the label's box in device pixels

protected:
    void propertiesChanged() override { m_measured = false; }

private:
    int borderPixels() const;
    QSizeF autoSizePixels() const;  // caption and font measured, border included
    QSizeF measurePixels(const QFont& textFont) const;
    float m_width = 0, m_height = 0;
    mutable bool m_measured = false;
    mutable QSizeF m_autoSize;
};

// An element array: element 0 always exists. Indices run from 0 to 32767,
// so the elements sit in a vector by index, absent ones as null.
template <class T>
class ElementArray {
public:
    ElementArray(const QString& name, PictureBox* container);
    ~ElementArray();
    ElementArray(const ElementArray&) = delete;
    ElementArray& operator=(const ElementArray&) = delete;
    T& operator()(int k);
    const T& operator()(int k) const;
    int UBound() const { return int(m_elements.size()) - 1; }  // the last slot is never empty
    bool exists(int k) const { return k >= 0 && size_t(k) < m_elements.size() && m_elements[size_t(k)]; }
    void Load(int k);    // raises 360 when k exists
    void Unload(int k);  // raises 362 for k = 0, 340 for a missing k
    const QString& Name() const { return m_name; }
    int Count() const { return m_count; }
    // Handlers copied onto every element the array creates (labels).
    std::function<void(T&)> onCreate;
    // Sets onCreate and runs it on the elements that exist already (element 0).
    void setOnCreate(std::function<void(T&)> handler);

private:
    QString m_name;
    QPointer<PictureBox> m_container;  // a box deleted first leaves new elements without one
    std::vector<std::unique_ptr<T>> m_elements;
    int m_count = 0;
};

}  // namespace platform

#include "platform/elements_impl.h"
