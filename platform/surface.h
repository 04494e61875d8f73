#pragma once
// One drawing surface with the runtime's drawing model: pen, fill and text
// state held between calls, scale modes, Line/Circle/Print/PaintPicture/Cls.
// The picture box's persistent layer and the printer both implement it, so
// a renderer is written once.
//
// Every call is turned into a DrawCommand in device pixels (doubles) and
// handed to the implementation; renderCommand() paints one command with a
// QPainter pixel for pixel as the runtime did, printCommand() paints it on
// a printer.

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSharedPointer>
#include <QSizeF>
#include <QString>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

class QPainter;

namespace platform {

enum ScaleModeKind : int {
    vbUser = 0,
    vbTwips = 1,
    vbPoints = 2,
    vbPixels = 3,
    vbCharacters = 4,
    vbInches = 5,
    vbMillimeters = 6,
    vbCentimeters = 7,
    vbHimetric = 8,
    vbContainerPosition = 9,
    vbContainerSize = 10,
};

// The runtime's raster operations (DrawMode 1..16).
enum DrawModeKind : int {
    vbBlackness = 1,
    vbNotMergePen = 2,
    vbMaskNotPen = 3,
    vbNotCopyPen = 4,
    vbMaskPenNot = 5,
    vbInvert = 6,
    vbXorPen = 7,
    vbNotMaskPen = 8,
    vbMaskPen = 9,
    vbNotXorPen = 10,
    vbNop = 11,
    vbMergeNotPen = 12,
    vbCopyPen = 13,
    vbMergePenNot = 14,
    vbMergePen = 15,
    vbWhiteness = 16,
};

// A decoded picture shared between holders (the same pixels are never copied).
using SharedImage = QSharedPointer<const QImage>;

enum class LineBox { None, B, BF };

// One drawing operation in device pixels, with the state it was drawn with.
struct DrawCommand {
    enum Kind { Segment, Box, Ellipse, Text, Picture, Clear } kind = Segment;
    QRectF rect;           // Box/Ellipse bounds; Text box (top-left = origin); Picture target
    QPointF p1, p2;        // Segment ends
    // Circle arcs, radians counter-clockwise from 3 o'clock; negative also
    // draws the radius to that end; NaN when the circle is whole.
    double startAngle = std::numeric_limits<double>::quiet_NaN();
    double endAngle = std::numeric_limits<double>::quiet_NaN();
    qint32 color = 0;      // pen colour (0x00BBGGRR)
    int drawMode = vbCopyPen;
    int drawStyle = 0;     // 0 solid .. 6 inside solid
    double penWidth = 1;   // device pixels
    int fillStyle = 1;     // 0 solid, 1 transparent, 2..7 patterns
    qint32 fillColor = 0;
    bool filledWithPen = false;  // BF: the box is filled in the pen colour
    QFont font;
    bool fontTransparent = true;
    qint32 backColor = 0xFFFFFF;  // behind opaque text
    QString text;
    SharedImage picture;
    QRectF source;         // Picture source rectangle in picture pixels
    QRectF bounds() const;  // device pixels it may touch (for culling)
};

// The brush pattern of a fill style, the one mapping for the map, the
// bitmap and paper: 0 solid, 2 horizontal, 3 vertical, 4 diagonals falling
// to the right, 5 rising to the right, 6 cross, 7 diagonal cross; NoBrush
// for 1 (transparent) and anything else.
Qt::BrushStyle fillPattern(int fillStyle);

// Paints one command; the painter must be on a QImage for raster operations
// (other devices draw them as the copy pen). Only the painter's clip area is
// rendered: a picture is scaled for that part alone.
void renderCommand(QPainter& painter, const DrawCommand& command);
// Paints one command on paper, whose device scales what it is given:
// figures as vector strokes and paths, a picture's part on the sheet from
// its own pixels. A wide pen, dashes and hatch patterns keep their size on
// a 96 dpi screen (a one-pixel pen is the device's thinnest line). Raster
// operations draw as the copy pen.
void printCommand(QPainter& painter, const DrawCommand& command);

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    // --- state held between calls --------------------------------------------
    int DrawMode = vbCopyPen;
    int DrawStyle = 0;
    int DrawWidth = 1;  // device pixels
    int FillStyle = 1;
    qint32 FillColor = 0;
    qint32 ForeColor = 0;
    qint32 BackColor = 0xFFFFFF;
    QString FontName;
    double FontSize = 9;  // points
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    bool FontTransparent = true;
    double CurrentX = 0;
    double CurrentY = 0;

    // --- coordinates -------------------------------------------------------
    // In a fixed unit the window is always the device's inner size in that
    // unit (it follows a resize); a user window keeps its unit size and origin.
    int ScaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);  // resets the window to the device's inner size in that unit
    double ScaleLeft() const { return m_left; }
    double ScaleTop() const { return m_top; }
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Each setter turns the window into a user window; a zero width, height
    // or mode outside 0..8 raises error 380, an empty Scale error 5.
    void setScaleLeft(double v);
    void setScaleTop(double v);
    void setScaleWidth(double v);
    void setScaleHeight(double v);
    void Scale(double x1, double y1, double x2, double y2);  // user mode
    void Scale();                                             // back to twips
    // Converts a width/height between units; vbUser means this surface's window.
    double ScaleX(double value, int fromMode, int toMode) const;
    double ScaleY(double value, int fromMode, int toMode) const;
    QPointF toDevice(double x, double y) const;  // current window -> device pixels
    QPointF fromDevice(const QPointF& device) const;

    // --- operations ----------------------------------------------------------
    // Color -1 means ForeColor (system colours are negative numbers too and
    // draw as themselves). Moves CurrentX/Y to the end point.
    void Line(double x1, double y1, double x2, double y2, qint32 color = -1, LineBox box = LineBox::None);
    // Aspect: vertical to horizontal semi-axis; the radius is the horizontal
    // semi-axis when aspect < 1, the vertical one otherwise. Moves CurrentX/Y
    // to the centre.
    void Circle(double x, double y, double radius, qint32 color = -1,
                double start = std::numeric_limits<double>::quiet_NaN(),
                double end = std::numeric_limits<double>::quiet_NaN(), double aspect = 1.0);
    // Text at CurrentX/CurrentY; afterwards CurrentY moves down by the text's
    // height and CurrentX returns to the left of the window, as the runtime's
    // Print. Lines break at CR LF, CR or LF.
    void Print(const QString& text);
    // Current window units, signed as the window's axes (negative when flipped);
    // the height is the line spacing times the number of lines.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;
    // Target in the current window; source in picture pixels (sw/sh < 0: whole).
    // Nearest-neighbour scaling when enlarging or at the same size, area
    // averages when reducing; a reversed target is not mirrored. Raises
    // error 5 without a picture.
    void PaintPicture(const SharedImage& picture, double x, double y, double width, double height,
                      double sx = 0, double sy = 0, double sw = -1, double sh = -1);
    void Cls();

    QFont currentFont() const;  // the text state as a font, sized for the device

    // --- the device ------------------------------------------------------------
    virtual QSizeF deviceSize() const = 0;  // inner size in device pixels
    virtual double dpiX() const { return 96; }
    virtual double dpiY() const { return 96; }

protected:
    virtual void execute(const DrawCommand& command) = 0;
    DrawCommand stamped(DrawCommand::Kind kind) const;  // a command with the current state
    void resetWindow();  // window = device size in the current unit

private:
    double unitsPerInch(int mode, bool horizontal) const;
    double unitsPerPixel(bool horizontal) const;  // signed: negative when flipped
    void becomeUser();                            // keeps the current window
    int m_scaleMode = vbTwips;
    double m_left = 0, m_top = 0;
    double m_userX = 1, m_userY = 1;  // user window: units per device pixel
};

// A font of `points` on a device of `dpi`, in whole pixels as a screen
// gives them. Its glyphs are hinted one way whatever the desktop's font
// settings (Qt drops hinting on a scaled screen, and a fully hinted glyph
// is wider), so text measures the same at any screen scaling and on any
// desktop, and a label keeps its size and place on the map, in the bitmap
// and on paper. Vertical hinting keeps the text crisp and its widths the
// font's own.
QFont devicePixelFont(QFont font, double points, double dpi);

// The persistent layer of a picture box: what was drawn since the last Cls,
// kept as a list and rendered only where it is needed.
class PictureLayer : public DrawSurface {
public:
    explicit PictureLayer(std::function<QSizeF()> deviceSize = {});
    QSizeF deviceSize() const override;
    const std::vector<DrawCommand>& commands() const { return m_commands; }
    // Renders the commands that touch `device` (device pixels) onto `painter`,
    // whose origin is device (0,0).
    void render(QPainter& painter, const QRectF& device) const;
    std::function<void(const QRectF&)> changed;  // the area that needs a repaint

protected:
    void execute(const DrawCommand& command) override;

private:
    std::function<QSizeF()> m_deviceSize;
    std::vector<DrawCommand> m_commands;
};

}  // namespace platform
