#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class Diagram;

// The tool tip of a diagram: when the pointer rests near a point, it names the point through
// the diagram's selectedAsTip signal and shows the tip text.
class DiagramTip : public QObject {
    Q_OBJECT

public:
    explicit DiagramTip(Diagram* diagram);

    // Looks for a point near the position (widget pixels); when there is one, emits the
    // diagram's selectedAsTip and shows the tip text there.
    void maybeTip(const QPoint& position);

    QString text;

private:
    Diagram* diagram_;
};
