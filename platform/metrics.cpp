#include "platform/metrics.h"

#include "platform/application.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyle>
#include <QWidget>

namespace platform {

namespace {
// Window borders and title bars are drawn by the window manager, which
// does not report them before a window is shown; these are the sizes of the
// classic desktop the layouts were made for.
constexpr int kFrame = 4;
constexpr int kCaption = 19;
}  // namespace

int metricPixels(Metric metric)
{
    QStyle* style = QApplication::style();
    switch (metric) {
    case Metric::VScrollWidth:
    case Metric::HScrollHeight:
        return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    case Metric::FrameWidth:
    case Metric::FrameHeight:
        return kFrame;
    case Metric::CaptionHeight:
        return kCaption;
    case Metric::MenuHeight: {
        static int height = 0;
        if (height == 0) {
            QMenuBar bar;
            bar.addMenu(QStringLiteral("M"));
            height = bar.sizeHint().height();
        }
        return height;
    }
    }
    return 0;
}

int metricTwips(Metric metric)
{
    return pixelsToTwips(metricPixels(metric));
}

void setTopMost(QWidget* window, bool topMost)
{
    if (!window)
        return;
    window = window->window();
    if (isTopMost(window) == topMost)
        return;
    // Changing window flags hides the window; put it back where it was.
    const bool shown = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (shown) {
        window->setGeometry(geometry);
        window->show();
    }
}

bool isTopMost(const QWidget* window)
{
    return window && window->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace platform
