#include "platform/colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <iterator>

namespace platform {

namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette entry that plays the part of each system colour index.
constexpr SystemRole systemRoles[] = {
    {QPalette::Active, QPalette::Button},           // 0 scroll bars
    {QPalette::Active, QPalette::Window},           // 1 desktop
    {QPalette::Active, QPalette::Highlight},        // 2 active title bar
    {QPalette::Inactive, QPalette::Mid},            // 3 inactive title bar
    {QPalette::Active, QPalette::Window},           // 4 menu bar
    {QPalette::Active, QPalette::Base},             // 5 window background
    {QPalette::Active, QPalette::Shadow},           // 6 window frame
    {QPalette::Active, QPalette::WindowText},       // 7 menu text
    {QPalette::Active, QPalette::Text},             // 8 window text
    {QPalette::Active, QPalette::HighlightedText},  // 9 title bar text
    {QPalette::Active, QPalette::Window},           // 10 active border
    {QPalette::Inactive, QPalette::Window},         // 11 inactive border
    {QPalette::Active, QPalette::Dark},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},        // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},  // 14 highlight text
    {QPalette::Active, QPalette::Button},           // 15 button face
    {QPalette::Active, QPalette::Dark},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},           // 17 gray text
    {QPalette::Active, QPalette::ButtonText},       // 18 button text
    {QPalette::Disabled, QPalette::WindowText},     // 19 inactive caption text
    {QPalette::Active, QPalette::Light},            // 20 3D highlight
    {QPalette::Active, QPalette::Shadow},           // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},      // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},      // 24 info background
};

}  // namespace

bool isSystemColor(qint32 color)
{
    return (quint32(color) & 0xFF000000u) == 0x80000000u;
}

QColor toQColor(qint32 color)
{
    const quint32 bits = quint32(color);
    if (isSystemColor(color)) {
        const quint32 index = bits & 0x00FFFFFFu;
        if (index >= std::size(systemRoles))
            return QColor(Qt::black);
        const SystemRole& r = systemRoles[index];
        return QGuiApplication::palette().color(r.group, r.role);
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

qint32 fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return vb::RGB(rgb.red(), rgb.green(), rgb.blue());
}

}  // namespace platform
