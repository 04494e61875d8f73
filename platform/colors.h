#pragma once
// Colours stay the runtime's 32-bit numbers everywhere in the program: plain
// colours are 0x00BBGGRR (255 is red, 65535 yellow, 0xFF0000 blue), and
// 0x8000000n names system colour n, resolved from the application palette at
// the moment it is drawn. Only the drawing code turns them into QColor.

#include <QColor>
#include <QtGlobal>

namespace vb {

constexpr qint32 RGB(int red, int green, int blue)
{
    return qint32((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

constexpr qint32 vbBlack = 0x000000;
constexpr qint32 vbWhite = 0xFFFFFF;
constexpr qint32 vbRed = 0x0000FF;
constexpr qint32 vbGreen = 0x00FF00;
constexpr qint32 vbBlue = 0xFF0000;
constexpr qint32 vbYellow = 0x00FFFF;
constexpr qint32 vbMagenta = 0xFF00FF;
constexpr qint32 vbCyan = 0xFFFF00;

// System colours: the index in the low byte, the high bit set.
constexpr qint32 systemColor(int index) { return qint32(0x80000000u | unsigned(index)); }

constexpr qint32 vbScrollBars = systemColor(0);
constexpr qint32 vbDesktop = systemColor(1);
constexpr qint32 vbActiveTitleBar = systemColor(2);
constexpr qint32 vbInactiveTitleBar = systemColor(3);
constexpr qint32 vbMenuBar = systemColor(4);
constexpr qint32 vbWindowBackground = systemColor(5);
constexpr qint32 vbWindowFrame = systemColor(6);
constexpr qint32 vbMenuText = systemColor(7);
constexpr qint32 vbWindowText = systemColor(8);
constexpr qint32 vbTitleBarText = systemColor(9);
constexpr qint32 vbActiveBorder = systemColor(10);
constexpr qint32 vbInactiveBorder = systemColor(11);
constexpr qint32 vbApplicationWorkspace = systemColor(12);
constexpr qint32 vbHighlight = systemColor(13);
constexpr qint32 vbHighlightText = systemColor(14);
constexpr qint32 vbButtonFace = systemColor(15);
constexpr qint32 vbButtonShadow = systemColor(16);
constexpr qint32 vbGrayText = systemColor(17);
constexpr qint32 vbButtonText = systemColor(18);
constexpr qint32 vbInactiveCaptionText = systemColor(19);
constexpr qint32 vb3DHighlight = systemColor(20);
constexpr qint32 vb3DDKShadow = systemColor(21);
constexpr qint32 vb3DLight = systemColor(22);
constexpr qint32 vbInfoText = systemColor(23);
constexpr qint32 vbInfoBackground = systemColor(24);

}  // namespace vb

namespace platform {

// True for the 0x8000000n system colour numbers.
bool isSystemColor(qint32 color);

// The colour a number stands for; system colours come from the application
// palette (QGuiApplication::palette()); an unknown system index gives black.
QColor toQColor(qint32 color);

// Back to 0x00BBGGRR; the alpha channel is dropped.
qint32 fromQColor(const QColor& color);

}  // namespace platform
