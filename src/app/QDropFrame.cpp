#include "QDropFrame.h"

#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

QDropFrame::QDropFrame(QWidget* parent, Qt::WindowFlags flags) : QFrame(parent, flags) {
    setAcceptDrops(true);
}

bool QDropFrame::canDecode(const QMimeData* data) {
    if (data == nullptr)
        return false;
    return data->hasText() || !decodeLocalFiles(data).isEmpty();
}

QStringList QDropFrame::decodeLocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

void QDropFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (canDecode(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void QDropFrame::dropEvent(QDropEvent* event) {
    const QStringList files = decodeLocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();

    emit receivedDropList(files);
    qDebug("qdropframe::dropEvent: uri");
    for (const QString& file : files) {
        qDebug("list contains <%s>", qPrintable(file));
        emit receivedDrop(file);
    }
}
