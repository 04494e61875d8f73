#include "platform/form.h"

#include "platform/application.h"
#include "platform/events.h"
#include "platform/metrics.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

namespace platform {

namespace {
QList<Form*>& loadedList()
{
    static QList<Form*> list;
    return list;
}
ModalScript*& activeScript()
{
    static ModalScript* script = nullptr;
    return script;
}
}  // namespace

FormRegistry& FormRegistry::instance()
{
    static FormRegistry registry;
    return registry;
}

Form::Form(const QString& name, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Form::~Form()
{
    loadedList().removeAll(this);
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    loadedList().append(this);
    dispatch(objectName() + QStringLiteral(".Form_Load"), [this] { Form_Load(); });
    emit loaded(this);
    emit FormRegistry::instance().formLoaded(this);
}

void Form::showForm(ShowMode mode)
{
    load();
    if (!m_loaded)
        return;
    keepInWorkArea();
    if (mode == vbModeless) {
        show();
        raise();
        activateWindow();
        return;
    }
    m_modal = true;
    setWindowModality(Qt::ApplicationModal);
    QPointer<Form> self(this);
    if (ModalScript* script = ModalScript::active()) {
        show();
        script->run(*this);
    } else {
        show();
        QEventLoop loop;
        connect(this, &Form::unloaded, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        // Hidden without unloading (Me.Hide) also ends the modal show.
        while (self && self->isVisible() && self->m_loaded)
            loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (self) {
        m_modal = false;
        setWindowModality(Qt::NonModal);
    }
}

bool Form::unload()
{
    if (!m_loaded || m_unloading)
        return true;
    m_unloading = true;
    int cancel = 0;
    dispatch(objectName() + QStringLiteral(".Form_Unload"), [this, &cancel] { Form_Unload(cancel); });
    m_unloading = false;
    if (cancel != 0)
        return false;
    m_loaded = false;
    loadedList().removeAll(this);
    hide();
    emit unloaded(this);
    emit FormRegistry::instance().formUnloaded(this);
    if (releaseInstance)
        releaseInstance();
    return true;
}

void Form::setFixedDialogBorder()
{
    const bool topMost = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | (topMost ? Qt::WindowStaysOnTopHint : Qt::WindowFlags()));
    // Equal least and largest sizes: a window manager then offers no
    // maximise either, whatever it makes of the flags.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form::moveTwips(double left, double top, double width, double height)
{
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

namespace {

// The menu row a window's client area starts below, as it is laid out now.
int menuRowPixels(const QMainWindow& window)
{
    const QWidget* bar = window.menuWidget();
    if (!bar || bar->isHidden())
        return 0;
    if (window.isVisible())
        return bar->height();
    const int forWidth = bar->heightForWidth(window.width());
    return forWidth > 0 ? forWidth : bar->sizeHint().height();
}

// Title bar, top and bottom frames and the counted menu row, less the menu
// row the window really has (that one lies inside the widget already).
int outerExtraHeight(const QMainWindow& window)
{
    const int menu = menuRowPixels(window);
    const int counted = menu > 0 ? metricPixels(Metric::MenuHeight) : 0;
    return metricPixels(Metric::CaptionHeight) + 2 * metricPixels(Metric::FrameHeight) + counted - menu;
}

}  // namespace

QSize Form::outerSize() const
{
    // The window manager's frame may be wider than the one the layout
    // formulas count; a window shown already tells it.
    QSize frame(2 * metricPixels(Metric::FrameWidth), outerExtraHeight(*this));
    for (const Form* form : loadedList()) {
        if (form->isVisible() || form == this)
            frame = frame.expandedTo(form->frameGeometry().size() - form->size());
    }
    return size() + frame;
}

void Form::keepInWorkArea()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The size the window is about to show at, as show() would give it.
    ensurePolished();
    if (layout())
        layout()->activate();
    if (!isVisible() && !testAttribute(Qt::WA_Resized))
        adjustSize();
    const QRect area = screen->availableGeometry();
    const QSize frame = outerSize() - size();
    const QSize room = (area.size() - frame).expandedTo(QSize(1, 1));
    const bool tooLarge = width() > room.width() || height() > room.height();
    if (tooLarge) {
        if (minimumWidth() <= room.width() && minimumHeight() <= room.height()) {
            resize(size().boundedTo(room));
        } else {
            // The contents keep their size and scroll; the window takes what
            // the area leaves, with room for the scroll bars it needs.
            const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            const QSize whole = size();
            bool across = whole.width() > room.width();
            const bool down = whole.height() + (across ? bar : 0) > room.height();
            across = whole.width() + (down ? bar : 0) > room.width();
            const QSize fitted =
                QSize(whole.width() + (down ? bar : 0), whole.height() + (across ? bar : 0)).boundedTo(room);
            auto* scroll = new QScrollArea;
            scroll->setFrameShape(QFrame::NoFrame);
            scroll->setWidget(takeCentralWidget());
            setCentralWidget(scroll);
            layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
            setFixedSize(fitted);
        }
    }
    if (!tooLarge && !testAttribute(Qt::WA_Moved))
        return;
    const QSize outer = outerSize();
    const QPoint inside(std::max(area.left(), std::min(x(), area.left() + area.width() - outer.width())),
                        std::max(area.top(), std::min(y(), area.top() + area.height() - outer.height())));
    if (inside != pos())
        move(inside);
}

void Form::centreInWorkArea()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer = outerSize();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

int Form::Left() const { return pixelsToTwips(x()); }
int Form::Top() const { return pixelsToTwips(y()); }
int Form::Width() const { return pixelsToTwips(width() + 2 * metricPixels(Metric::FrameWidth)); }
int Form::Height() const { return pixelsToTwips(height() + outerExtraHeight(*this)); }

void Form::setLeft(int twips) { move(twipsToPixels(twips), y()); }
void Form::setTop(int twips) { move(x(), twipsToPixels(twips)); }

void Form::setWidth(int twips)
{
    resize(std::max(0, twipsToPixels(twips) - 2 * metricPixels(Metric::FrameWidth)), height());
}

void Form::setHeight(int twips)
{
    resize(width(), std::max(0, twipsToPixels(twips) - outerExtraHeight(*this)));
}

int Form::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

QList<Form*> Form::loadedForms()
{
    return loadedList();
}

Form* Form::findLoaded(const QString& name)
{
    for (Form* form : loadedList()) {
        if (form->objectName() == name)
            return form;
    }
    return nullptr;
}

void Form::closeEvent(QCloseEvent* event)
{
    if (unload())
        event->accept();
    else
        event->ignore();
}

void Form::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_loaded)
        dispatch(objectName() + QStringLiteral(".Form_Resize"), [this] { Form_Resize(); });
}

bool Form::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && m_loaded)
        dispatch(objectName() + QStringLiteral(".Form_Activate"), [this] { Form_Activate(); });
    return QMainWindow::event(event);
}

ModalScript::ModalScript() : m_previous(activeScript())
{
    activeScript() = this;
}

ModalScript::~ModalScript()
{
    activeScript() = m_previous;
}

ModalScript* ModalScript::active()
{
    return activeScript();
}

void ModalScript::run(Form& form)
{
    shown.append(form.objectName());
    QPointer<Form> guard(&form);
    if (m_steps.isEmpty()) {
        unexpected.append(form.objectName() + QStringLiteral(": no step"));
        form.unload();
        return;
    }
    Step step = m_steps.takeFirst();
    step(form);
    if (guard && guard->isLoaded() && guard->isVisible()) {
        unexpected.append(form.objectName() + QStringLiteral(": left open"));
        guard->unload();
    }
}

}  // namespace platform
