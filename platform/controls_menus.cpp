#include "platform/controls_menus.h"

#include <QAction>
#include <QCursor>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

namespace platform {

namespace {

QHash<const QAction*, Menu*>& registry()
{
    static QHash<const QAction*, Menu*> menus;
    return menus;
}

PopupScript*& activeScript()
{
    static PopupScript* script = nullptr;
    return script;
}

// While a popup runs, the choice is taken from its result, not from the
// triggered signal, so that the item's Click runs after the popup closed.
int s_popupDepth = 0;

const QString kSeparator = QStringLiteral("-");

}  // namespace

Menu::Menu(const QString& name, const QString& caption, QMenuBar* bar) : QObject(bar)
{
    setObjectName(name);
    m_menu = bar->addMenu(caption);
    m_action = m_menu->menuAction();
    connectMenu();
}

Menu::Menu(const QString& name, const QString& caption, QWidget* owner) : QObject(owner)
{
    setObjectName(name);
    m_menu = new QMenu(caption, owner);
    m_action = m_menu->menuAction();
    connectMenu();
}

Menu::Menu(const QString& name, const QString& caption, Menu* parent) : QObject(parent), m_parent(parent)
{
    setObjectName(name);
    QMenu* container = parent->menu();
    // A separator shows no text: some styles would draw its "-".
    m_action = new QAction(caption == kSeparator ? QString() : caption, container);
    m_action->setSeparator(caption == kSeparator);
    container->addAction(m_action);
    connectAction();
}

Menu::~Menu()
{
    if (registry().value(m_key) == this)
        registry().remove(m_key);
    if (m_parent) {
        delete m_menu.data();
        delete m_action.data();
    } else {
        delete m_menu.data();
    }
}

void Menu::registerAction()
{
    m_key = m_action.data();
    registry().insert(m_key, this);
    connect(m_action, &QObject::destroyed, this, [this, key = m_key] {
        if (registry().value(key) == this)
            registry().remove(key);
    });
}

void Menu::connectAction()
{
    registerAction();
    m_action->setObjectName(objectName());
    connect(m_action, &QAction::triggered, this, [this] {
        if (s_popupDepth == 0)
            choose();
    });
}

void Menu::connectMenu()
{
    if (m_key != m_action.data())
        registerAction();
    m_menu->setObjectName(objectName());
    connect(m_menu, &QMenu::aboutToShow, this, [this] { Click.raise(Name() + QStringLiteral("_Click"), m_index); });
}

QMenu* Menu::menu()
{
    if (!m_menu) {
        // An item that gets items of its own becomes a submenu.
        m_menu = new QMenu(m_action->text(), qobject_cast<QWidget*>(m_action->parent()));
        m_action->setMenu(m_menu.data());
        connectMenu();
    }
    return m_menu;
}

Menu* Menu::of(const QAction* action)
{
    return action ? registry().value(action, nullptr) : nullptr;
}

QString Menu::Caption() const
{
    return m_action->isSeparator() ? kSeparator : m_action->text();
}

void Menu::setCaption(const QString& caption)
{
    const bool separator = m_parent && caption == kSeparator;
    m_action->setText(separator ? QString() : caption);
    m_action->setSeparator(separator);
    if (m_menu)
        m_menu->setTitle(caption);
}

void Menu::setChecked(bool on)
{
    m_checked = on;
    m_action->setCheckable(on);
    m_action->setChecked(on);
}

bool Menu::Enabled() const
{
    return m_action->isEnabled();
}

void Menu::setEnabled(bool on)
{
    m_action->setEnabled(on);
}

bool Menu::Visible() const
{
    return m_action->isVisible();
}

void Menu::setVisible(bool on)
{
    m_action->setVisible(on);
}

QList<Menu*> Menu::items() const
{
    QList<Menu*> result;
    if (m_menu) {
        for (const QAction* action : m_menu->actions()) {
            if (Menu* item = of(action))
                result << item;
        }
    }
    return result;
}

bool Menu::isSeparator() const
{
    return m_action->isSeparator();
}

bool Menu::hasItems() const
{
    return m_menu && !m_menu->actions().isEmpty();
}

void Menu::choose()
{
    // A checkable action toggles itself; the mark stays as the program set it.
    m_action->setChecked(m_checked);
    Click.raise(Name() + QStringLiteral("_Click"), m_index);
}

Menu* Menu::loadSibling(const Menu& last) const
{
    if (!m_parent)
        vb::raise(vb::errInvalidCall);
    auto* item = new Menu(Name(), Caption(), m_parent);
    QMenu* container = m_parent->menu();
    const QList<QAction*> actions = container->actions();
    const int at = int(actions.indexOf(last.m_action.data()));
    container->removeAction(item->m_action);
    container->insertAction(at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr, item->m_action);
    item->setChecked(m_checked);
    item->setEnabled(Enabled());
    item->setVisible(Visible());
    item->Tag = Tag;
    item->Click = Click;
    return item;
}

void PopupMenu(Menu& menu)
{
    Menu* chosen = nullptr;
    if (PopupScript* script = PopupScript::active()) {
        chosen = script->run(menu);
    } else {
        ++s_popupDepth;
        QAction* action = menu.menu()->exec(QCursor::pos());
        --s_popupDepth;
        chosen = Menu::of(action);
    }
    if (chosen)
        chosen->choose();
}

PopupScript::PopupScript() : m_previous(activeScript())
{
    activeScript() = this;
}

PopupScript::~PopupScript()
{
    activeScript() = m_previous;
}

PopupScript* PopupScript::active()
{
    return activeScript();
}

Menu* PopupScript::run(Menu& popup)
{
    shown << popup.Name();
    emit popup.menu()->aboutToShow();
    if (m_steps.isEmpty()) {
        unexpected << popup.Name() + QStringLiteral(": no step");
        return nullptr;
    }
    Menu* item = m_steps.takeFirst()(popup);
    if (!item)
        return nullptr;
    // The user reaches an item only through enabled, visible submenus.
    QList<Menu*> path;
    Menu* above = item->parentMenu();
    while (above && above != &popup) {
        path.prepend(above);
        above = above->parentMenu();
    }
    const bool inPopup = above == &popup;
    bool reachable = inPopup && item->Enabled() && item->Visible() && !item->isSeparator() && !item->hasItems();
    for (Menu* submenu : path) {
        reachable = reachable && submenu->Enabled() && submenu->Visible();
        if (reachable)
            emit submenu->menu()->aboutToShow();
    }
    if (!reachable) {
        unexpected << item->Name() + QStringLiteral(": cannot be chosen");
        return nullptr;
    }
    return item;
}

}  // namespace platform
