#pragma once
// Windows of the program: each is a class with a single instance, created
// (and loaded) when first used and released when it unloads, with the
// Load, Activate, Resize and Unload events, shown modal or modeless.

#include <QList>
#include <QMainWindow>
#include <QString>
#include <functional>

namespace platform {

enum ShowMode { vbModeless = 0, vbModal = 1 };

class Form : public QMainWindow {
    Q_OBJECT
public:
    // `name` is the window's name in the program ("frmMain"), kept as objectName.
    explicit Form(const QString& name, QWidget* parent = nullptr);
    ~Form() override;

    // Runs Form_Load once; every use of the instance does it first.
    void load();
    bool isLoaded() const { return m_loaded; }

    // Modal shows return when the window is hidden or unloaded. Every show
    // keeps the window inside the screen's work area (keepInWorkArea).
    void showForm(ShowMode mode = vbModeless);
    bool isShownModal() const { return m_modal; }

    // Asks Form_Unload; unless it cancels, the window hides and its single
    // instance is released. Returns false when the unload was cancelled.
    bool unload();

    // Places the window in the middle of the screen's work area: a window
    // manager left to place it may put it where its foot is off the screen.
    void centreInWorkArea();

    // The fixed dialog border: a title bar with only the close box (no
    // minimise or maximise) and a size that follows the client area, which
    // the user can't change.
    void setFixedDialogBorder();

    void setCaption(const QString& caption) { setWindowTitle(caption); }
    QString caption() const { return windowTitle(); }

    // Geometry in twips (15 twips a pixel), as the layout formulas compute it.
    void moveTwips(double left, double top, double width, double height);

    // The outer geometry in twips, as layout formulas count it: the client
    // area with the side frames, the title bar and, when the window has a
    // visible menu bar, one menu row (platform/metrics.h), so that the client
    // height a formula derives is exactly the height below the menu bar.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    // 0 normal, 1 minimized, 2 maximized.
    int WindowState() const;

    // The loaded windows, oldest first.
    static QList<Form*> loadedForms();
    static Form* findLoaded(const QString& name);

    // Called when the single instance must be dropped (set by Instance<T>).
    std::function<void()> releaseInstance;

signals:
    void loaded(platform::Form* form);
    void unloaded(platform::Form* form);

protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // A window larger than the work area (a small screen, or a scaled one)
    // is made to fit: one that can be resized is, and one of a fixed size
    // shows its contents in a scrolled area. A window the program placed,
    // or one made to fit, is moved inside the area; one that fits keeps
    // its size and the place the window manager gives it.
    void keepInWorkArea();
    QSize outerSize() const;  // with the frame, as the layout formulas count it or larger
    bool m_loaded = false;
    bool m_modal = false;
    bool m_unloading = false;
};

// Reaching every window's load and unload: the start window follows them to
// know whether an editor is open.
class FormRegistry : public QObject {
    Q_OBJECT
public:
    static FormRegistry& instance();
signals:
    void formLoaded(platform::Form* form);
    void formUnloaded(platform::Form* form);
};

// The single instance of window class T, created and loaded on first use.
template <class T>
class Instance {
public:
    static T& get()
    {
        if (!s_form) {
            s_form = new T();
            s_form->releaseInstance = [] { release(); };
            s_form->load();
        }
        return *s_form;
    }
    static bool exists() { return s_form != nullptr; }
    static T* pointer() { return s_form; }
    static void release()
    {
        T* form = s_form;
        s_form = nullptr;
        if (form)
            form->deleteLater();
    }

private:
    static inline T* s_form = nullptr;
};

// For tests: modal windows are not run in a nested event loop while a
// script is installed; each modal show takes the next step of the script,
// which acts on the window (fill boxes, click buttons). A window still shown
// after its step, or shown with no step left, is unloaded and reported.
class ModalScript {
public:
    using Step = std::function<void(Form&)>;
    ModalScript();
    ~ModalScript();
    void push(Step step) { m_steps.append(std::move(step)); }
    QStringList unexpected;  // windows shown modally with no step, or left open
    QStringList shown;       // names of the windows shown modally, in order
    bool allUsed() const { return m_steps.isEmpty() && unexpected.isEmpty(); }

    static ModalScript* active();
    void run(Form& form);

private:
    QList<Step> m_steps;
    ModalScript* m_previous;
};

}  // namespace platform
