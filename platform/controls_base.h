#pragma once
// What every window control shares: its name and index in a control array,
// Tag, geometry in twips, own Visible and Enabled settings, colours, font,
// focus and key events; the event holder that runs handlers inside the
// dispatcher; and control arrays.
//
// Each control is a QWidget that holds one Qt widget filling it. Event
// handlers run as "<name>_<Event>" inside platform::dispatch, so a failure
// shows the standard box and the event ends.

#include "platform/events.h"
#include "platform/vberror.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <set>
#include <type_traits>
#include <vector>

namespace platform {

// An event handler: either takes the event's arguments, or the control's
// Index first and then the arguments (for control arrays).
template <class... Args>
class Event {
public:
    Event() = default;
    template <class F>
        requires(std::is_invocable_v<F&, Args...> || std::is_invocable_v<F&, int, Args...>)
    Event& operator=(F handler)
    {
        m_plain = nullptr;
        m_indexed = nullptr;
        if constexpr (std::is_invocable_v<F&, Args...>)
            m_plain = std::move(handler);
        else
            m_indexed = std::move(handler);
        return *this;
    }
    Event& operator=(std::nullptr_t)
    {
        m_plain = nullptr;
        m_indexed = nullptr;
        return *this;
    }
    explicit operator bool() const { return m_plain || m_indexed; }

    // Runs the handler, if any, inside the dispatcher under `procedure`.
    void raise(const QString& procedure, int index, Args... args) const
    {
        if (!*this)
            return;
        // Copies: the handler may replace itself or unload its control.
        const auto plain = m_plain;
        const auto indexed = m_indexed;
        dispatch(procedure, [&] {
            if (indexed)
                indexed(index, args...);
            else
                plain(args...);
        });
    }

private:
    std::function<void(Args...)> m_plain;
    std::function<void(int, Args...)> m_indexed;
};

class Control : public QWidget {
    Q_OBJECT
public:
    Control(const QString& name, QWidget* parent);
    ~Control() override;

    QString Name() const { return objectName(); }
    int Index() const { return m_index; }  // -1 outside control arrays
    void setIndex(int index) { m_index = index; }
    QString Tag;

    // Geometry in twips relative to the container, snapped to whole pixels.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width = -1, int height = -1);

    // Docking to the container's edge, following its size: 0 none, 1 top,
    // 2 bottom. Docked controls stack in the order they were made.
    int Align() const { return m_align; }
    void setAlign(int align);

    // The control's own settings, also while its window is hidden.
    bool Visible() const;
    bool Enabled() const;

    QString ToolTipText() const;
    void setToolTipText(const QString& text);

    // Colours as the runtime's numbers (0x00BBGGRR or a system colour).
    qint32 ForeColor() const { return m_foreColor; }
    qint32 BackColor() const { return m_backColor; }
    void setForeColor(qint32 color);
    void setBackColor(qint32 color);

    double FontSize() const;
    bool FontBold() const;
    bool FontItalic() const;
    bool FontUnderline() const;
    bool FontStrikethrough() const;
    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikethrough(bool on);

    bool TabStop() const;
    void setTabStop(bool on);
    void SetFocus();

    Event<> GotFocus, LostFocus;
    Event<int&, int> KeyDown, KeyUp;  // (KeyCode, Shift)
    Event<int&> KeyPress;             // (KeyAscii)

    // Makes this control look and act like `model` (loading an array element).
    virtual void copyFrom(const Control& model);

    // Raises event `name` with the control's procedure name and index.
    template <class... A, class... P>
    void raise(const Event<A...>& event, const char* name, P&&... args) const
    {
        event.raise(procedure(name), m_index, std::forward<P>(args)...);
    }
    QString procedure(const char* event) const;

protected:
    // The Qt widget that fills the control; it takes focus, keys and tooltips.
    void setInner(QWidget* inner);
    QWidget* inner() const { return m_inner; }
    // The widget that receives keys and focus when it is not the inner one
    // (the edit field of an editable combo box).
    void setKeyTarget(QWidget* target);
    // Colours the inner widget; kinds with special parts add to it.
    virtual void applyColors();
    void setDefaultColors(qint32 fore, qint32 back);
    bool colorsSet() const { return m_colorsSet; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool handleKey(QKeyEvent* event);
    void layoutDocked();

    QWidget* m_inner = nullptr;
    QPointer<QWidget> m_keyTarget;
    int m_index = -1;
    int m_align = 0;
    quint64 m_sequence;
    qint32 m_foreColor;
    qint32 m_backColor;
    bool m_colorsSet = false;
};

// A control array: elements by index, the ones made with the window and the
// ones loaded at run time. A loaded element copies the lowest element and
// starts hidden. Elements belong to their Qt parents.
template <class T>
class ControlArray {
public:
    explicit ControlArray(const QString& name = QString()) : m_name(name) {}

    // An element made with the window.
    T& add(int index, T* element)
    {
        if (exists(index))
            vb::raise(vb::errAlreadyLoaded);
        element->setIndex(index);
        m_items[index] = element;
        m_designTime.insert(index);
        return *element;
    }
    T& operator()(int index) const
    {
        T* element = find(index);
        if (!element)
            vb::raise(vb::errNoElement, vb::noElementDescription(index));
        return *element;
    }
    T* find(int index) const
    {
        auto it = m_items.find(index);
        return it == m_items.end() ? nullptr : it->second.data();
    }
    bool exists(int index) const { return find(index) != nullptr; }
    int LBound() const { return m_items.empty() ? 0 : m_items.begin()->first; }
    int UBound() const { return m_items.empty() ? -1 : m_items.rbegin()->first; }
    int Count() const { return int(m_items.size()); }
    std::vector<int> indices() const
    {
        std::vector<int> result;
        for (const auto& item : m_items)
            result.push_back(item.first);
        return result;
    }
    template <class F>
    void forEach(F f) const
    {
        for (int index : indices()) {
            if (T* element = find(index))
                f(*element);
        }
    }

    void Load(int index)
    {
        if (exists(index))
            vb::raise(vb::errAlreadyLoaded);
        if (m_items.empty())
            vb::raise(vb::errNoElement, vb::noElementDescription(index));
        const T& model = operator()(LBound());
        T* element = nullptr;
        if constexpr (std::is_base_of_v<Control, T>) {
            element = new T(model.Name(), model.parentWidget());
            element->copyFrom(model);
            element->hide();
        } else {
            element = model.loadSibling(operator()(UBound()));
        }
        element->setIndex(index);
        m_items[index] = element;
    }
    void Unload(int index)
    {
        T* element = &operator()(index);
        if (m_designTime.count(index))
            vb::raise(vb::errDesignTimeUnload);
        m_items.erase(index);
        if constexpr (std::is_base_of_v<Control, T>)
            element->hide();
        else
            element->setVisible(false);
        // Later: the element may be the one whose handler is running.
        element->deleteLater();
    }

private:
    QString m_name;
    std::map<int, QPointer<T>> m_items;
    std::set<int> m_designTime;
};

}  // namespace platform
