#pragma once
// Menus: top-level menus of a window's menu bar (or of no bar: popups),
// their items and submenus, item arrays, separators, check marks, and the
// popup shown at the pointer.

#include "platform/controls_base.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace platform {

class Menu : public QObject {
    Q_OBJECT
public:
    // A top-level menu on a window's menu bar.
    Menu(const QString& name, const QString& caption, QMenuBar* bar);
    // A top-level menu on no bar: shown only by PopupMenu.
    Menu(const QString& name, const QString& caption, QWidget* owner);
    // An item of `parent`, which becomes a submenu by having items. The
    // caption "-" makes a separator.
    Menu(const QString& name, const QString& caption, Menu* parent);
    ~Menu() override;

    QString Name() const { return objectName(); }
    int Index() const { return m_index; }  // -1 outside item arrays
    void setIndex(int index) { m_index = index; }
    QString Tag;

    QString Caption() const;
    void setCaption(const QString& caption);
    // The check mark is the program's to set: choosing an item leaves it.
    bool Checked() const { return m_checked; }
    void setChecked(bool on);
    bool Enabled() const;
    void setEnabled(bool on);
    // A hidden top-level menu is off the bar but can still pop up.
    bool Visible() const;
    void setVisible(bool on);

    // An item chosen, or a menu about to open.
    Event<> Click;

    Menu* parentMenu() const { return m_parent; }
    QList<Menu*> items() const;
    bool isSeparator() const;
    bool hasItems() const;
    QAction* action() const { return m_action; }
    QMenu* menu();  // the item's submenu, made when first needed

    static Menu* of(const QAction* action);
    // An item array's new element, placed after `last` (array Load).
    Menu* loadSibling(const Menu& last) const;
    // Runs Click as the user's choice of the item does.
    void choose();

private:
    void registerAction();
    void connectAction();
    void connectMenu();
    QPointer<QAction> m_action;
    const QAction* m_key = nullptr;  // m_action as registered
    QPointer<QMenu> m_menu;
    Menu* m_parent = nullptr;
    int m_index = -1;
    bool m_checked = false;
};

// Shows `menu` at the pointer and returns when it closes; the chosen item's
// Click has run by then.
void PopupMenu(Menu& menu);

// For tests: while a script is installed, PopupMenu opens nothing; each
// popup takes the next step of the script, which names the item to choose
// (nullptr: the menu is dismissed). A popup with no step left, or a step
// naming an item the user could not choose (disabled, hidden, a separator,
// not in that menu), is recorded in `unexpected` and chooses nothing.
class PopupScript {
public:
    using Step = std::function<Menu*(Menu& popup)>;
    PopupScript();
    ~PopupScript();
    PopupScript(const PopupScript&) = delete;
    PopupScript& operator=(const PopupScript&) = delete;

    void push(Step step) { m_steps.append(std::move(step)); }
    void choose(Menu& item)
    {
        push([&item](Menu&) { return &item; });
    }
    void dismiss()
    {
        push([](Menu&) -> Menu* { return nullptr; });
    }

    QStringList shown;       // names of the menus popped up, in order
    QStringList unexpected;  // popups without a step, items that could not be chosen
    bool allUsed() const { return m_steps.isEmpty() && unexpected.isEmpty(); }

    static PopupScript* active();
    Menu* run(Menu& popup);

private:
    QList<Step> m_steps;
    PopupScript* m_previous;
};

}  // namespace platform
