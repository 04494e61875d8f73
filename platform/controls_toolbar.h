#pragma once
// The toolbar with keyed buttons and the tabbed container.

#include "platform/controls_base.h"

#include <QIcon>
#include <memory>
#include <vector>

class QAction;
class QTabBar;
class QToolBar;

namespace platform {

class Toolbar;

enum ButtonStyle : int {
    tbrDefault = 0,
    tbrCheck = 1,        // pressed and released by turns
    tbrButtonGroup = 2,  // pressing one releases the others of its run of group buttons
    tbrSeparator = 3,
    tbrPlaceholder = 4,  // an empty space as wide as Width
};

enum ButtonValue : int { tbrUnpressed = 0, tbrPressed = 1 };

// One button, by its 1-based index or its Key.
class ToolbarButton {
public:
    int Index() const { return m_index; }
    QString Key() const { return m_key; }
    QString Caption() const;
    void setCaption(const QString& caption);
    QString ToolTipText() const;
    void setToolTipText(const QString& text);
    int Style() const { return m_style; }
    void setStyle(int style);
    // Setting a group button pressed releases the others of its group. No
    // ButtonClick follows a change in code.
    int Value() const;
    void setValue(int value);
    bool Enabled() const;
    void setEnabled(bool on);
    bool Visible() const;
    void setVisible(bool on);
    int Width() const { return m_width; }  // twips, for placeholders
    void setWidth(int twips);
    void setImage(const QIcon& image);
    QString Tag;

    QAction* action() const { return m_action; }

private:
    friend class Toolbar;
    ToolbarButton(Toolbar* bar, int index, const QString& key);
    void applyStyle();
    Toolbar* m_bar;
    QAction* m_action = nullptr;
    QWidget* m_spacer = nullptr;
    int m_index;
    QString m_key;
    int m_style = tbrDefault;
    int m_width = 0;
};

class Toolbar : public Control {
    Q_OBJECT
public:
    Toolbar(const QString& name, QWidget* parent);
    ~Toolbar() override;

    ToolbarButton& AddButton(const QString& key = QString(), const QString& toolTip = QString(),
                             int style = tbrDefault, const QIcon& image = QIcon());
    int ButtonCount() const { return int(m_buttons.size()); }
    // A missing index or key raises 35600 or 35601.
    ToolbarButton& Buttons(int index) const;
    ToolbarButton& Buttons(const QString& key) const;

    // The user pressed a button (after its Value changed).
    Event<ToolbarButton&> ButtonClick;

    QToolBar* toolBar() const { return m_bar; }

private:
    friend class ToolbarButton;
    void clicked(ToolbarButton& button);
    void releaseGroup(ToolbarButton& pressed);
    QToolBar* m_bar;
    std::vector<std::unique_ptr<ToolbarButton>> m_buttons;
};

// A simple glyph for a toolbar button: up to two characters on a square.
QIcon glyphIcon(const QString& glyph, int size = 16);

// Tabs over one area. Each tab has its page, a transparent layer over the
// whole control (positions count from the control's top-left corner, the
// tab row included) that shows only while its tab is in front.
class TabControl : public Control {
    Q_OBJECT
public:
    TabControl(const QString& name, QWidget* parent, int tabs = 3);

    int Tabs() const;
    void setTabs(int count);
    // The tab in front; setting another raises Click(PreviousTab).
    int Tab() const;
    void setTab(int tab);
    QString TabCaption(int tab) const;
    void setTabCaption(int tab, const QString& caption);
    bool TabEnabled(int tab) const;
    void setTabEnabled(int tab, bool on);
    bool TabVisible(int tab) const;
    void setTabVisible(int tab, bool on);

    // The parent for the controls of a tab.
    QWidget* page(int tab) const;

    Event<int> Click;  // (PreviousTab)

    QTabBar* tabBar() const { return m_tabs; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void checkTab(int tab) const;
    void showPage();
    QTabBar* m_tabs;
    QWidget* m_panel;
    std::vector<QWidget*> m_pages;
    int m_current = 0;
};

}  // namespace platform
