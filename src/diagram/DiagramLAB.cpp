#include "DiagramLAB.h"

DiagramLAB::DiagramLAB(QWidget* parent, Qt::WindowFlags flags) : QFrame(parent, flags) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

// Square-ish by default: both views plot two axes of similar extent.
QSize DiagramLAB::sizeHint() const { return {240, 220}; }
