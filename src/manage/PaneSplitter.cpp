#include "manage/PaneSplitter.h"

#include <QMouseEvent>

namespace kx {

PaneSplitter::PaneSplitter(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::SplitHCursor);
}

void PaneSplitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_startX = qRound(event->globalPosition().x());
    emit dragStarted();
}

void PaneSplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    emit dragged(qRound(event->globalPosition().x()) - m_startX);
}

void PaneSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

} // namespace kx
