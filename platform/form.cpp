#include "platform/form.h"

#include "platform/application.h"
#include "platform/events.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>

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

void Form::moveTwips(double left, double top, double width, double height)
{
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
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
