#pragma once

#include <QWidget>

namespace kx {

/** A bar between two panes that the user drags sideways; the window moves its panes. */
class PaneSplitter : public QWidget
{
    Q_OBJECT

public:
    explicit PaneSplitter(QWidget* parent);

signals:
    /** The user took hold of the bar. */
    void dragStarted();
    /** The bar is dragged `dx` pixels away from where it was taken hold of. */
    void dragged(int dx);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_dragging = false;
    int m_startX = 0;
};

} // namespace kx
