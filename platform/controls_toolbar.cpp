#include "platform/controls_toolbar.h"

#include "platform/application.h"

#include <QAction>
#include <QFrame>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolBar>

namespace platform {

namespace {

[[noreturn]] void badValue()
{
    vb::raise(vb::errBadPropertyValue);
}

bool isToggle(int style)
{
    return style == tbrCheck || style == tbrButtonGroup;
}

}  // namespace

// --- ToolbarButton ---------------------------------------------------------

ToolbarButton::ToolbarButton(Toolbar* bar, int index, const QString& key) : m_bar(bar), m_index(index), m_key(key) {}

QString ToolbarButton::Caption() const
{
    return m_action->text();
}

void ToolbarButton::setCaption(const QString& caption)
{
    m_action->setText(caption);
}

QString ToolbarButton::ToolTipText() const
{
    return m_action->toolTip();
}

void ToolbarButton::setToolTipText(const QString& text)
{
    m_action->setToolTip(text);
}

void ToolbarButton::setStyle(int style)
{
    if (style < tbrDefault || style > tbrPlaceholder)
        badValue();
    m_style = style;
    applyStyle();
}

void ToolbarButton::applyStyle()
{
    if (m_spacer)
        return;  // a placeholder keeps its space
    m_action->setSeparator(m_style == tbrSeparator);
    const bool toggle = isToggle(m_style);
    if (!toggle)
        m_action->setChecked(false);
    m_action->setCheckable(toggle);
}

int ToolbarButton::Value() const
{
    return m_action->isChecked() ? tbrPressed : tbrUnpressed;
}

void ToolbarButton::setValue(int value)
{
    if (value != tbrUnpressed && value != tbrPressed)
        badValue();
    if (!isToggle(m_style))
        return;
    if (value == tbrPressed && m_style == tbrButtonGroup)
        m_bar->releaseGroup(*this);
    m_action->setChecked(value == tbrPressed);
}

bool ToolbarButton::Enabled() const
{
    return m_action->isEnabled();
}

void ToolbarButton::setEnabled(bool on)
{
    m_action->setEnabled(on);
}

bool ToolbarButton::Visible() const
{
    return m_action->isVisible();
}

void ToolbarButton::setVisible(bool on)
{
    m_action->setVisible(on);
}

void ToolbarButton::setWidth(int twips)
{
    if (twips < 0)
        badValue();
    m_width = twips;
    if (m_spacer)
        m_spacer->setFixedWidth(twipsToPixels(twips));
}

void ToolbarButton::setImage(const QIcon& image)
{
    m_action->setIcon(image);
}

// --- Toolbar ---------------------------------------------------------------

Toolbar::Toolbar(const QString& name, QWidget* parent) : Control(name, parent), m_bar(new QToolBar(this))
{
    m_bar->setMovable(false);
    m_bar->setFloatable(false);
    m_bar->setIconSize(QSize(16, 16));
    m_bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    setInner(m_bar);
    setFocusPolicy(Qt::NoFocus);
    resize(width(), m_bar->sizeHint().height());
}

Toolbar::~Toolbar() = default;

ToolbarButton& Toolbar::AddButton(const QString& key, const QString& toolTip, int style, const QIcon& image)
{
    if (style < tbrDefault || style > tbrPlaceholder)
        badValue();
    if (!key.isEmpty()) {
        for (const auto& button : m_buttons) {
            if (button->m_key.compare(key, Qt::CaseInsensitive) == 0)
                vb::raise(vb::errKeyNotUnique);
        }
    }
    auto* button = new ToolbarButton(this, ButtonCount() + 1, key);
    m_buttons.emplace_back(button);
    button->m_style = style;
    if (style == tbrSeparator) {
        button->m_action = m_bar->addSeparator();
    } else if (style == tbrPlaceholder) {
        button->m_spacer = new QWidget(m_bar);
        button->m_action = m_bar->addWidget(button->m_spacer);
        button->setWidth(0);
    } else {
        button->m_action = m_bar->addAction(image, QString());
        button->m_action->setObjectName(key);
        connect(button->m_action, &QAction::triggered, this, [this, button] { clicked(*button); });
    }
    button->setToolTipText(toolTip);
    button->applyStyle();
    return *button;
}

ToolbarButton& Toolbar::Buttons(int index) const
{
    if (index < 1 || index > ButtonCount())
        vb::raise(vb::errIndexOutOfBounds);
    return *m_buttons[size_t(index - 1)];
}

ToolbarButton& Toolbar::Buttons(const QString& key) const
{
    for (const auto& button : m_buttons) {
        if (button->m_key.compare(key, Qt::CaseInsensitive) == 0)
            return *button;
    }
    vb::raise(vb::errElementNotFound);
}

void Toolbar::clicked(ToolbarButton& button)
{
    if (button.m_style == tbrButtonGroup) {
        // Pressing the pressed group button leaves it pressed.
        button.m_action->setChecked(true);
        releaseGroup(button);
    }
    raise(ButtonClick, "ButtonClick", button);
}

void Toolbar::releaseGroup(ToolbarButton& pressed)
{
    const int at = pressed.m_index - 1;
    for (int i = at - 1; i >= 0 && m_buttons[size_t(i)]->m_style == tbrButtonGroup; --i)
        m_buttons[size_t(i)]->m_action->setChecked(false);
    for (int i = at + 1; i < ButtonCount() && m_buttons[size_t(i)]->m_style == tbrButtonGroup; ++i)
        m_buttons[size_t(i)]->m_action->setChecked(false);
}

QIcon glyphIcon(const QString& glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(0, 0, size - 1, size - 1);
    QFont font = painter.font();
    font.setPixelSize(glyph.size() > 1 ? size / 2 : size * 3 / 4);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph.left(2));
    return QIcon(pixmap);
}

// --- TabControl ------------------------------------------------------------

TabControl::TabControl(const QString& name, QWidget* parent, int tabs)
    : Control(name, parent), m_tabs(nullptr), m_panel(nullptr)
{
    auto* area = new QWidget(this);
    auto* panel = new QFrame(area);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_panel = panel;
    m_tabs = new QTabBar(area);
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    setInner(area);
    setKeyTarget(m_tabs);
    setTabs(tabs);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        const int previous = m_current;
        m_current = tab;
        showPage();
        if (tab != previous && tab >= 0)
            raise(Click, "Click", previous);
    });
}

void TabControl::checkTab(int tab) const
{
    if (tab < 0 || tab >= Tabs())
        vb::raise(vb::errBadPropertyValue);
}

int TabControl::Tabs() const
{
    return m_tabs->count();
}

void TabControl::setTabs(int count)
{
    if (count < 1)
        badValue();
    const QSignalBlocker block(m_tabs);
    while (m_tabs->count() < count) {
        const int tab = m_tabs->count();
        m_tabs->addTab(QStringLiteral("Tab %1").arg(tab));
        auto* page = new QWidget(inner());
        page->setGeometry(rect());
        m_pages.push_back(page);
    }
    while (m_tabs->count() > count) {
        m_tabs->removeTab(m_tabs->count() - 1);
        delete m_pages.back();
        m_pages.pop_back();
    }
    m_current = qMax(0, m_tabs->currentIndex());
    m_tabs->setCurrentIndex(m_current);
    m_tabs->raise();
    showPage();
}

int TabControl::Tab() const
{
    return m_current;
}

void TabControl::setTab(int tab)
{
    checkTab(tab);
    m_tabs->setCurrentIndex(tab);
}

QString TabControl::TabCaption(int tab) const
{
    checkTab(tab);
    return m_tabs->tabText(tab);
}

void TabControl::setTabCaption(int tab, const QString& caption)
{
    checkTab(tab);
    m_tabs->setTabText(tab, caption);
}

bool TabControl::TabEnabled(int tab) const
{
    checkTab(tab);
    return m_tabs->isTabEnabled(tab);
}

void TabControl::setTabEnabled(int tab, bool on)
{
    checkTab(tab);
    m_tabs->setTabEnabled(tab, on);
}

bool TabControl::TabVisible(int tab) const
{
    checkTab(tab);
    return m_tabs->isTabVisible(tab);
}

void TabControl::setTabVisible(int tab, bool on)
{
    checkTab(tab);
    m_tabs->setTabVisible(tab, on);
}

QWidget* TabControl::page(int tab) const
{
    checkTab(tab);
    return m_pages[size_t(tab)];
}

void TabControl::showPage()
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setVisible(int(i) == m_current);
}

void TabControl::resizeEvent(QResizeEvent* event)
{
    Control::resizeEvent(event);
    const int tabHeight = m_tabs->sizeHint().height();
    m_tabs->setGeometry(0, 0, width(), tabHeight);
    m_panel->setGeometry(0, tabHeight - 1, width(), qMax(0, height() - tabHeight + 1));
    for (QWidget* page : m_pages)
        page->setGeometry(rect());
    m_tabs->raise();
}

}  // namespace platform
