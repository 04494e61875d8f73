#include "platform/picturebox.h"

#include "platform/colors.h"
#include "platform/elements.h"
#include "platform/vberror.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QtWidgets/qdrawutil.h>

#include <cmath>

namespace platform {

namespace {

constexpr long errInvalidPicture = 481;
// Beyond this many rectangles an exposed region is composed as one.
constexpr int kMaxExposedRects = 8;

enum MouseKind { MouseDownKind, MouseMoveKind, MouseUpKind };

PictureBox* parentBox(const QWidget* widget)
{
    return qobject_cast<PictureBox*>(widget->parentWidget());
}

int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

}  // namespace

PictureBox::PictureBox(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setMouseTracking(true);  // MouseMove with no button held
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: scrolling can blit
    changed = [this](const QRectF& device) { invalidate(device); };
    resetWindow();
}

PictureBox::~PictureBox()
{
    for (Element* element : std::as_const(m_elements)) {
        if (element)
            element->m_container = nullptr;
    }
}

void PictureBox::setPicture(const SharedImage& picture)
{
    m_picture = picture;
    update();
}

int PictureBox::frameWidthPixels(int borderStyle)
{
    return borderStyle == 1 ? 2 : 0;
}

void PictureBox::setBorderStyle(int style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    sizeChanged();
    update();
}

QPointF PictureBox::innerOrigin() const
{
    const int frame = frameWidthPixels(m_borderStyle);
    return QPointF(frame, frame);
}

QSizeF PictureBox::deviceSize() const
{
    const int frame = 2 * frameWidthPixels(m_borderStyle);
    return QSizeF(std::max(0, width() - frame), std::max(0, height() - frame));
}

void PictureBox::sizeChanged()
{
    if (ScaleMode() != vbUser)
        resetWindow();
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    sizeChanged();
}

// --- geometry in the parent's units ------------------------------------------

double PictureBox::Left() const
{
    if (const PictureBox* p = parentBox(this))
        return p->fromDevice(QPointF(pos()) - p->innerOrigin()).x();
    return x();
}

double PictureBox::Top() const
{
    if (const PictureBox* p = parentBox(this))
        return p->fromDevice(QPointF(pos()) - p->innerOrigin()).y();
    return y();
}

double PictureBox::Width() const
{
    if (const PictureBox* p = parentBox(this))
        return p->fromDevice(QPointF(width(), 0)).x() - p->fromDevice(QPointF(0, 0)).x();
    return width();
}

double PictureBox::Height() const
{
    if (const PictureBox* p = parentBox(this))
        return p->fromDevice(QPointF(0, height())).y() - p->fromDevice(QPointF(0, 0)).y();
    return height();
}

void PictureBox::Move(double left, double top, double width, double height)
{
    QRect g = geometry();
    if (const PictureBox* p = parentBox(this)) {
        const QPointF at = p->toDevice(left, top);
        g.moveTopLeft((at + p->innerOrigin()).toPoint());
        if (width >= 0)
            g.setWidth(qRound(p->toDevice(left + width, top).x() - at.x()));
        if (height >= 0)
            g.setHeight(qRound(p->toDevice(left, top + height).y() - at.y()));
    } else {
        g.moveTopLeft(QPoint(qRound(left), qRound(top)));
        if (width >= 0)
            g.setWidth(qRound(width));
        if (height >= 0)
            g.setHeight(qRound(height));
    }
    const QSize before = size();
    setGeometry(g);
    if (size() != before)
        sizeChanged();  // a hidden box gets its resize event only when shown
}

void PictureBox::setBackColor(qint32 color)
{
    BackColor = color;
    update();
}

// --- elements -------------------------------------------------------------------

void PictureBox::addElement(Element* element)
{
    element->m_slot = int(m_elements.size());
    m_elements.append(element);
}

// A drawing holds tens of thousands of elements and clearing it removes them
// one by one: the slot is emptied at once, and the list is compacted only
// when holes make up half of it, so removal costs the same at any size.
void PictureBox::removeElement(Element* element)
{
    const int slot = element->m_slot;
    if (slot >= 0 && slot < m_elements.size() && m_elements[slot] == element) {
        m_elements[slot] = nullptr;
        ++m_holes;
    } else {
        m_elements.removeOne(element);
        compactElements();
    }
    element->m_slot = -1;
    if (element->m_boundsStale && m_stale > 0)
        --m_stale;
    if (m_captured == element)
        m_captured = nullptr;
    if (m_holes > 64 && m_holes * 2 > m_elements.size())
        compactElements();
}

void PictureBox::compactElements() const
{
    m_elements.removeAll(nullptr);
    for (int i = 0; i < m_elements.size(); ++i)
        m_elements[i]->m_slot = i;
    m_holes = 0;
}

const QList<Element*>& PictureBox::elements() const
{
    if (m_holes)
        compactElements();
    return m_elements;
}

void PictureBox::restack(const std::vector<Element*>& bottomToTop)
{
    std::vector<int> places;
    places.reserve(bottomToTop.size());
    for (const Element* element : bottomToTop) {
        if (element->m_container != this || element->m_slot < 0 || m_elements.value(element->m_slot) != element)
            return;
        places.push_back(element->m_slot);
    }
    std::sort(places.begin(), places.end());
    if (std::adjacent_find(places.begin(), places.end()) != places.end())
        return;  // an element named twice
    for (std::size_t i = 0; i < places.size(); ++i) {
        m_elements[places[i]] = bottomToTop[i];
        bottomToTop[i]->m_slot = places[i];
    }
    update();
}

// Elements changed while the box took no repaints are painted now as they
// are: from here on their old place is where this paint puts them.
void PictureBox::refreshStaleBounds()
{
    if (m_stale == 0)
        return;
    for (Element* element : std::as_const(m_elements)) {
        if (element && element->m_boundsStale) {
            element->m_lastBounds = element->Visible ? element->deviceBounds() : QRectF();
            element->m_boundsStale = false;
        }
    }
    m_stale = 0;
}

LabelElement* PictureBox::labelAt(const QPointF& device) const
{
    for (auto it = m_elements.crbegin(); it != m_elements.crend(); ++it) {
        Element* element = *it;
        if (element && element->isLabel() && element->Visible) {
            auto* label = static_cast<LabelElement*>(element);
            if (!label->TransparentForMouse && label->deviceRect().contains(device))
                return label;
        }
    }
    return nullptr;
}

QRect PictureBox::visibleRect() const
{
    QRect visible = rect();
    QPoint offset;
    for (const QWidget* w = this; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        offset += w->pos();
        visible &= w->parentWidget()->rect().translated(-offset);
    }
    return visible;
}

// The toolkit gathers repaint requests in a region whose cost grows with
// every rectangle added, also for parts scrolled out of sight: requests are
// cut to the visible part, and past a few dozen before the next paint the
// whole visible part is repainted instead, which costs a few milliseconds.
void PictureBox::invalidate(const QRectF& device)
{
    constexpr int kSeparateRequests = 48;
    if (device.isEmpty() || m_wholeInvalid || !isVisible())
        return;
    const QRect visible = visibleRect();
    // Only the box itself can need a repaint: a request reaching far beyond
    // it (or undefined) is cut to it before it becomes whole pixels.
    const QRectF box = QRectF(QPointF(0, 0), deviceSize()).adjusted(-2, -2, 2, 2);
    const bool finite = std::isfinite(device.x()) && std::isfinite(device.y()) && std::isfinite(device.width())
        && std::isfinite(device.height());
    const QRectF part = finite ? device.normalized().intersected(box) : box;
    if (part.isEmpty())
        return;
    const QRect r = part.translated(innerOrigin()).toAlignedRect().adjusted(-1, -1, 1, 1) & visible;
    if (r.isEmpty())
        return;
    if (++m_invalidations > kSeparateRequests) {
        m_wholeInvalid = true;
        update(visible);
    } else {
        update(r);
    }
}

// --- painting --------------------------------------------------------------------

QImage PictureBox::renderArea(const QRect& area, bool withElements) const
{
    QImage image(area.size(), QImage::Format_RGB32);
    if (!image.isNull())
        renderInto(image, area.topLeft(), withElements);
    return image;
}

void PictureBox::renderInto(QImage& image, const QPoint& deviceOrigin, bool withElements) const
{
    const QRect area(deviceOrigin, image.size());
    image.setDotsPerMeterX(3780);  // 96 dpi, the scale the box measures in
    image.setDotsPerMeterY(3780);
    const QRect part = hasPicture() ? area & m_picture->rect() : QRect();
    // Where an opaque picture covers the whole area the background never shows.
    if (!hasPicture() || part != area || m_picture->hasAlphaChannel())
        image.fill(toQColor(BackColor));
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    if (!part.isEmpty())
        painter.drawImage(part.topLeft(), *m_picture, part);
    render(painter, QRectF(area));
    if (!withElements)
        return;
    // Lines and shapes first, labels above them; later above earlier.
    const QRectF areaF(area);
    for (int pass = 0; pass < 2; ++pass) {
        for (const Element* element : std::as_const(m_elements)) {
            if (!element || element->isLabel() != (pass == 1) || !element->Visible)
                continue;
            if (element->deviceBounds().intersects(areaF))
                element->paint(painter);
        }
    }
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    m_invalidations = 0;
    m_wholeInvalid = false;
    refreshStaleBounds();
    QPainter painter(this);
    const QRect inner(innerOrigin().toPoint(), deviceSize().toSize());
    const QRegion& region = event->region();
    auto compose = [&](const QRect& exposed) {
        const QRect part = exposed & inner;
        if (!part.isEmpty())
            painter.drawImage(part.topLeft(), renderArea(part.translated(-inner.topLeft())));
    };
    if (region.rectCount() <= kMaxExposedRects) {
        for (const QRect& exposed : region)
            compose(exposed & rect());
    } else {
        compose(event->rect() & rect());
    }
    if (m_borderStyle == 1)
        qDrawWinPanel(&painter, rect(), palette(), true);
}

// --- mouse -------------------------------------------------------------------------

void PictureBox::fireMouse(int kind, QMouseEvent* event)
{
    const QPointF device = event->position() - innerOrigin();
    const int shift = shiftCode(event->modifiers());
    const int button = kind == MouseMoveKind ? buttonCode(event->buttons()) : buttonCode(event->button());
    LabelElement* label = m_captured;
    if (kind == MouseMoveKind && !label && !m_pressedOnBox && event->buttons() == Qt::NoButton)
        label = labelAt(device);  // a label under a free pointer gets its moves
    if (label) {
        const QPointF at = device - label->deviceRect().topLeft();
        const float x = float(at.x() * 1440.0 / dpiX());
        const float y = float(at.y() * 1440.0 / dpiY());
        const auto& handler = kind == MouseDownKind ? label->MouseDown : kind == MouseMoveKind ? label->MouseMove : label->MouseUp;
        if (handler)
            handler(label->Index, button, shift, x, y);
        return;
    }
    const QPointF at = fromDevice(device);
    const auto& handler = kind == MouseDownKind ? MouseDown : kind == MouseMoveKind ? MouseMove : MouseUp;
    if (handler)
        handler(button, shift, at.x(), at.y());
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    // A further button while one is held goes where the first went.
    const bool firstButton = (event->buttons() & ~event->button()) == Qt::NoButton;
    if (firstButton || (!m_captured && !m_pressedOnBox)) {
        m_afterDblClick = false;
        m_captured = labelAt(event->position() - innerOrigin());
        m_pressedOnBox = !m_captured;
    }
    fireMouse(MouseDownKind, event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    // A hold ends with its buttons, whatever took their release: a menu or a
    // dialog run inside the press, another window that took the mouse.
    if (event->buttons() == Qt::NoButton) {
        m_captured = nullptr;
        m_pressedOnBox = false;
        m_afterDblClick = false;
    }
    fireMouse(MouseMoveKind, event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    LabelElement* label = m_captured;
    const bool onBox = m_pressedOnBox;
    if (!label && !onBox)
        return;
    fireMouse(MouseUpKind, event);
    const QPointF device = event->position() - innerOrigin();
    const bool last = event->buttons() == Qt::NoButton;
    const bool click = !m_afterDblClick;
    if (last) {
        m_captured = nullptr;
        m_pressedOnBox = false;
        m_afterDblClick = false;
    }
    if (!click)
        return;
    // The handlers may have unloaded the label: look it up again.
    if (label && m_elements.contains(label)) {
        if (label->deviceRect().contains(device) && label->Click)
            label->Click(label->Index);
    } else if (onBox && rect().contains(event->position().toPoint()) && Click) {
        Click();
    }
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    m_captured = labelAt(event->position() - innerOrigin());
    m_pressedOnBox = !m_captured;
    m_afterDblClick = true;
    if (m_captured) {
        if (m_captured->DblClick)
            m_captured->DblClick(m_captured->Index);
    } else if (DblClick) {
        DblClick();
    }
}

bool PictureBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (LabelElement* label = labelAt(QPointF(help->pos()) - innerOrigin())) {
            if (label->ToolTipText.get().isEmpty()) {
                QToolTip::hideText();
            } else {
                const QRect area = label->deviceRect().translated(innerOrigin()).toAlignedRect();
                QToolTip::showText(help->globalPos(), label->ToolTipText, this, area);
            }
            return true;
        }
    }
    return QWidget::event(event);
}

// --- pictures -----------------------------------------------------------------------

SharedImage LoadPicture(const QString& path, const QSize& scaledTo)
{
    if (!QFileInfo(path).isFile())
        vb::raise(vb::errFileNotFound, vb::errorDescription(vb::errFileNotFound) + QLatin1Char(' ') + path);
    QImageReader reader(path);
    return LoadPicture(reader, QFileInfo(path).fileName(), scaledTo);
}

SharedImage LoadPicture(QImageReader& reader, const QString& name, const QSize& scaledTo)
{
    auto tooLarge = [&name](const QSize& size) {
        return QStringLiteral("画像ファイル %1 は %2 x %3 ピクセルあり、表示できる大きさ（%4 ピクセル）を超えています。")
            .arg(name, QString::number(size.width()), QString::number(size.height()),
                 QString::number(MaxPicturePixels));
    };
    // Large scans must load: allow the largest picture accepted, as 32-bit pixels.
    QImageReader::setAllocationLimit(int((MaxPicturePixels * 4) >> 20) + 1);
    reader.setAutoTransform(false);  // stored coordinates refer to the picture as stored
    const QSize announced = reader.size();
    if (announced.isValid() && qint64(announced.width()) * announced.height() > MaxPicturePixels)
        vb::raise(errInvalidPicture, tooLarge(announced));
    if (scaledTo.isValid())
        reader.setScaledSize(scaledTo);
    QImage image;
    if (!reader.read(&image))
        vb::raise(errInvalidPicture, QStringLiteral("画像ファイル %1 を読み込めません。（%2）").arg(name, reader.errorString()));
    if (qint64(image.width()) * image.height() > MaxPicturePixels)
        vb::raise(errInvalidPicture, tooLarge(image.size()));
    if (scaledTo.isValid() && image.size() != scaledTo)
        image = image.scaled(scaledTo, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.format() != QImage::Format_RGB32) {
        if (image.hasAlphaChannel()) {
            // Transparent parts show white, as on paper.
            QImage opaque(image.size(), QImage::Format_RGB32);
            if (!opaque.isNull()) {
                opaque.fill(Qt::white);
                QPainter(&opaque).drawImage(0, 0, image);
            }
            image = std::move(opaque);
        } else {
            image = std::move(image).convertToFormat(QImage::Format_RGB32);
        }
        if (image.isNull())
            vb::raise(vb::errOutOfMemory);
    }
    return SharedImage(new QImage(std::move(image)));
}

}  // namespace platform
