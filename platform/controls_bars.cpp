#include "platform/controls_bars.h"

#include "platform/application.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>

#include <array>

namespace platform {

namespace {

[[noreturn]] void badValue()
{
    vb::raise(vb::errBadPropertyValue);
}

constexpr int kPanelGap = 2;     // pixels between panels
constexpr int kPanelMargin = 8;  // pixels around a panel's text when it sizes to it

}  // namespace

// --- ScrollBar -------------------------------------------------------------

ScrollBar::ScrollBar(const QString& name, QWidget* parent, Qt::Orientation orientation)
    : Control(name, parent), m_bar(new QScrollBar(orientation, this))
{
    m_bar->setRange(0, 32767);
    m_bar->setSingleStep(1);
    m_bar->setPageStep(1);
    setInner(m_bar);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_bar->isSliderDown()) {
            raise(Scroll, "Scroll");
            return;
        }
        m_changedValue = value;
        raise(Change, "Change");
    });
    connect(m_bar, &QScrollBar::sliderReleased, this, [this] {
        if (m_bar->value() != m_changedValue) {
            m_changedValue = m_bar->value();
            raise(Change, "Change");
        }
    });
}

int ScrollBar::Value() const
{
    return m_bar->value();
}

void ScrollBar::setValue(int value)
{
    if (value < m_bar->minimum() || value > m_bar->maximum())
        badValue();
    m_bar->setValue(value);
}

int ScrollBar::Min() const
{
    return m_bar->minimum();
}

void ScrollBar::setMin(int min)
{
    m_bar->setMinimum(min);
}

int ScrollBar::Max() const
{
    return m_bar->maximum();
}

void ScrollBar::setMax(int max)
{
    m_bar->setMaximum(max);
}

int ScrollBar::SmallChange() const
{
    return m_bar->singleStep();
}

void ScrollBar::setSmallChange(int step)
{
    if (step < 1)
        badValue();
    m_bar->setSingleStep(step);
}

int ScrollBar::LargeChange() const
{
    return m_bar->pageStep();
}

void ScrollBar::setLargeChange(int step)
{
    if (step < 1)
        badValue();
    m_bar->setPageStep(step);
}

void ScrollBar::copyFrom(const Control& model)
{
    Control::copyFrom(model);
    if (auto* other = dynamic_cast<const ScrollBar*>(&model)) {
        m_bar->setRange(other->Min(), other->Max());
        m_bar->setSingleStep(other->SmallChange());
        m_bar->setPageStep(other->LargeChange());
        Change = other->Change;
        Scroll = other->Scroll;
    }
}

// --- ProgressBar -----------------------------------------------------------

ProgressBar::ProgressBar(const QString& name, QWidget* parent) : Control(name, parent), m_bar(new QProgressBar(this))
{
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    setInner(m_bar);
    setFocusPolicy(Qt::NoFocus);
}

int ProgressBar::Min() const
{
    return m_bar->minimum();
}

void ProgressBar::setMin(int min)
{
    m_bar->setMinimum(min);
}

int ProgressBar::Max() const
{
    return m_bar->maximum();
}

void ProgressBar::setMax(int max)
{
    m_bar->setMaximum(max);
}

int ProgressBar::Value() const
{
    return m_bar->value();
}

void ProgressBar::setValue(int value)
{
    m_bar->setValue(qBound(m_bar->minimum(), value, m_bar->maximum()));
}

// --- StatusBar -------------------------------------------------------------

StatusPanel::StatusPanel(StatusBar* bar, int index) : m_bar(bar), m_label(new QLabel(bar->m_area)), m_index(index)
{
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label->show();
}

void StatusPanel::setText(const QString& text)
{
    m_text = text;
    m_label->setText(text);
    // A fixed panel's text counts only where the bar is short of room.
    if (m_autoSize != sbrNoAutoSize || m_bar->m_squeezed)
        m_bar->relayout();
}

QString StatusPanel::ToolTipText() const
{
    return m_label->toolTip();
}

void StatusPanel::setToolTipText(const QString& text)
{
    m_label->setToolTip(text);
}

int StatusPanel::Width() const
{
    return m_visible ? pixelsToTwips(m_laidOut) : m_width;
}

void StatusPanel::setWidth(int twips)
{
    if (twips < 0)
        badValue();
    m_width = twips;
    if (twips < m_minWidth)
        m_minWidth = twips;
    m_bar->relayout();
}

void StatusPanel::setMinWidth(int twips)
{
    if (twips < 0)
        badValue();
    m_minWidth = twips;
    m_bar->relayout();
}

void StatusPanel::setAutoSize(int mode)
{
    if (mode < sbrNoAutoSize || mode > sbrContents)
        badValue();
    m_autoSize = mode;
    m_bar->relayout();
}

void StatusPanel::setAlignment(int alignment)
{
    if (alignment < 0 || alignment > 2)
        badValue();
    m_alignment = alignment;
    const Qt::Alignment horizontal = alignment == 1 ? Qt::AlignHCenter : alignment == 2 ? Qt::AlignRight : Qt::AlignLeft;
    m_label->setAlignment(horizontal | Qt::AlignVCenter);
}

void StatusPanel::setVisible(bool visible)
{
    m_visible = visible;
    m_label->setVisible(visible);
    m_bar->relayout();
}

StatusBar::StatusBar(const QString& name, QWidget* parent) : Control(name, parent), m_area(new QWidget(this))
{
    setInner(m_area);
    setFocusPolicy(Qt::NoFocus);
    resize(width(), 23);
    AddPanel();
}

StatusBar::~StatusBar() = default;

StatusPanel& StatusBar::Panels(int index) const
{
    if (index < 1 || index > PanelCount())
        vb::raise(vb::errIndexOutOfBounds);
    return *m_panels[size_t(index - 1)];
}

StatusPanel& StatusBar::AddPanel()
{
    m_panels.emplace_back(new StatusPanel(this, PanelCount() + 1));
    relayout();
    return *m_panels.back();
}

void StatusBar::RemovePanel(int index)
{
    Panels(index);
    delete m_panels[size_t(index - 1)]->m_label;
    m_panels.erase(m_panels.begin() + (index - 1));
    for (int i = 0; i < PanelCount(); ++i)
        m_panels[size_t(i)]->m_index = i + 1;
    relayout();
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    Control::resizeEvent(event);
    relayout();
}

void StatusBar::relayout()
{
    // Fixed panels take their width, the others at least their text's;
    // springs share what is left.
    std::vector<int> widths, needs;
    int used = 0;
    int springs = 0;
    for (const auto& panel : m_panels) {
        int w = 0, need = 0;
        if (panel->m_visible) {
            const int minimum = twipsToPixels(panel->m_minWidth);
            if (!panel->m_text.isEmpty())
                need = panel->m_label->fontMetrics().horizontalAdvance(panel->m_text) + kPanelMargin;
            if (panel->m_autoSize == StatusPanel::sbrContents)
                w = qMax(minimum, need);
            else if (panel->m_autoSize == StatusPanel::sbrSpring)
                w = qMax(minimum, need), ++springs;
            else
                w = twipsToPixels(panel->m_width);
            used += w + kPanelGap;
        }
        widths.push_back(w);
        needs.push_back(need);
    }
    // A bar narrower than its panels (a small screen at a large scale): first
    // every panel gives up the room its text leaves, so that what each says
    // (the length being measured, the pointer's place) stays whole; then the
    // text goes: a panel sized to its text first (the editor's long hint of
    // the next step), then the fixed panels' from the left, so that the last
    // ones (the editor's snap and zoom) stay whole in view, and the springs'
    // (the length being measured) last of all.
    int excess = used - kPanelGap - width();
    m_squeezed = excess > 0;
    for (const bool textToo : {false, true}) {
        const auto order = textToo
            ? std::array{StatusPanel::sbrContents, StatusPanel::sbrNoAutoSize, StatusPanel::sbrSpring}
            : std::array{StatusPanel::sbrSpring, StatusPanel::sbrNoAutoSize, StatusPanel::sbrContents};
        for (const int mode : order) {
            for (size_t i = 0; i < m_panels.size() && excess > 0; ++i) {
                if (m_panels[i]->m_autoSize != mode)
                    continue;
                const int room = textToo ? widths[i] : qMax(0, widths[i] - needs[i]);
                const int given = qMin(room, excess);
                widths[i] -= given;
                used -= given;
                excess -= given;
            }
        }
    }
    // The bar's own size: its inner parts follow it only once it is shown.
    int spare = qMax(0, width() - used + kPanelGap);
    int x = 0;
    for (size_t i = 0; i < m_panels.size(); ++i) {
        StatusPanel& panel = *m_panels[i];
        if (!panel.m_visible)
            continue;
        int w = widths[i];
        if (panel.m_autoSize == StatusPanel::sbrSpring && springs > 0) {
            const int share = spare / springs;
            w += share;
            spare -= share;
            --springs;
        }
        panel.m_laidOut = w;
        panel.m_label->setGeometry(x, 0, w, height());
        x += w + kPanelGap;
    }
}

}  // namespace platform
