#pragma once

#include <QFrame>

class QSplitter;

namespace korbana {

// A left-aligned pane inside the lists' splitter; its width is the splitter's size for it.
class SidePanel final : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(int Width READ panelWidth WRITE setPanelWidth)
    Q_DISABLE_COPY_MOVE(SidePanel)

public:
    explicit SidePanel(int width, QWidget* parent = nullptr);

    int panelWidth() const;
    void setPanelWidth(int width);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSplitter* splitter() const;
    int m_width;
    const int m_designWidth;
    // The splitter's sizes are real once it has been laid out for a showing, also while its page is hidden.
    bool m_laidOut = false;
};

// A pane dragged to this width or less collapses to nothing.
inline constexpr int kCollapseWidth = 30;

} // namespace korbana
