#pragma once

#include <QFrame>

// The a-b and C-L diagram areas of the main window. For now this is only the framed area that
// holds the diagram's place in the layout; the plotting itself is not drawn yet.
class DiagramLAB : public QFrame {
    Q_OBJECT

public:
    explicit DiagramLAB(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    QSize sizeHint() const override;
};
