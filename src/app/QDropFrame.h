#pragma once

#include <QFrame>
#include <QStringList>

class QMimeData;

// A frame that takes profile files dropped onto it and reports their local paths.
class QDropFrame : public QFrame {
    Q_OBJECT

public:
    explicit QDropFrame(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // Whether a drag carries something a drop could use: text or local file URLs.
    static bool canDecode(const QMimeData* data);
    // The local file paths of a drop, in order; empty when it holds none.
    static QStringList decodeLocalFiles(const QMimeData* data);

signals:
    // Once per dropped file, in drop order.
    void receivedDrop(const QString& path);
    // Once per drop, with all its files.
    void receivedDropList(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
