#pragma once
// Scroll bars, the progress bar and the status bar.

#include "platform/controls_base.h"

#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QScrollBar;

namespace platform {

// Value runs from Min to Max (32-bit, so large pictures at a high zoom do
// not overflow). Change follows every change of Value: an arrow or page
// click, the end of a drag, or Value, Min or Max set in code (a Max below
// Value pulls Value down with it). Scroll follows each step of a drag.
class ScrollBar : public Control {
    Q_OBJECT
public:
    int Value() const;
    void setValue(int value);  // outside Min..Max raises 380
    int Min() const;
    void setMin(int min);
    int Max() const;
    void setMax(int max);
    int SmallChange() const;
    void setSmallChange(int step);
    int LargeChange() const;
    void setLargeChange(int step);

    Event<> Change, Scroll;

    QScrollBar* scrollBar() const { return m_bar; }
    void copyFrom(const Control& model) override;

protected:
    ScrollBar(const QString& name, QWidget* parent, Qt::Orientation orientation);

private:
    QScrollBar* m_bar;
    int m_changedValue = 0;  // the value the last Change reported
};

class HScrollBar : public ScrollBar {
    Q_OBJECT
public:
    HScrollBar(const QString& name, QWidget* parent) : ScrollBar(name, parent, Qt::Horizontal) {}
};

class VScrollBar : public ScrollBar {
    Q_OBJECT
public:
    VScrollBar(const QString& name, QWidget* parent) : ScrollBar(name, parent, Qt::Vertical) {}
};

// Values outside Min..Max are brought to the nearer end.
class ProgressBar : public Control {
    Q_OBJECT
public:
    ProgressBar(const QString& name, QWidget* parent);

    int Min() const;
    void setMin(int min);
    int Max() const;
    void setMax(int max);
    int Value() const;
    void setValue(int value);

    QProgressBar* progressBar() const { return m_bar; }

private:
    QProgressBar* m_bar;
};

class StatusBar;

// One panel of a status bar.
class StatusPanel {
public:
    enum AutoSizeMode { sbrNoAutoSize = 0, sbrSpring = 1, sbrContents = 2 };

    QString Text() const { return m_text; }
    void setText(const QString& text);
    QString ToolTipText() const;
    void setToolTipText(const QString& text);
    // The width in twips as laid out; setting it applies without AutoSize.
    int Width() const;
    void setWidth(int twips);
    int MinWidth() const { return m_minWidth; }
    void setMinWidth(int twips);
    int AutoSize() const { return m_autoSize; }
    void setAutoSize(int mode);
    int Alignment() const { return m_alignment; }  // 0 left, 1 centre, 2 right
    void setAlignment(int alignment);
    // 0 text; the other styles show their Text too.
    int Style() const { return m_style; }
    void setStyle(int style) { m_style = style; }
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    int Index() const { return m_index; }
    QString Key;

    QLabel* label() const { return m_label; }

private:
    friend class StatusBar;
    StatusPanel(StatusBar* bar, int index);
    StatusBar* m_bar;
    QLabel* m_label;
    QString m_text;
    int m_index;
    int m_width = 1440;
    int m_minWidth = 1440;
    int m_laidOut = 0;  // pixels
    int m_autoSize = sbrNoAutoSize;
    int m_alignment = 0;
    int m_style = 0;
    bool m_visible = true;
};

// Panels count from 1. A new bar has one panel.
class StatusBar : public Control {
    Q_OBJECT
public:
    StatusBar(const QString& name, QWidget* parent);
    ~StatusBar() override;

    StatusPanel& Panels(int index) const;  // a missing panel raises 35600
    int PanelCount() const { return int(m_panels.size()); }
    StatusPanel& AddPanel();
    void RemovePanel(int index);

    void relayout();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class StatusPanel;
    QWidget* m_area;
    std::vector<std::unique_ptr<StatusPanel>> m_panels;
    bool m_squeezed = false;  // narrower than its panels at the last layout
};

}  // namespace platform
