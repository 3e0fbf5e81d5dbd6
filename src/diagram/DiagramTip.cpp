#include "DiagramTip.h"

#include "Diagram.h"

#include <QToolTip>

DiagramTip::DiagramTip(Diagram* diagram) : QObject(diagram), diagram_(diagram) {}

void DiagramTip::maybeTip(const QPoint& position) {
    const Diagram::NearestPoint nearest = diagram_->findNearestPoint(position);
    if (!nearest.found)
        return;
    emit diagram_->selectedAsTip(nearest.list, nearest.tag, nearest.y);
    QToolTip::showText(diagram_->mapToGlobal(position), text, diagram_);
}
