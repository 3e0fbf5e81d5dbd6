#include "QDropFrame.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QMimeData> urls(const QList<QUrl>& list) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(list);
    return data;
}

class QDropFrameTest : public testing::Test {
protected:
    void drop(const QMimeData* data) {
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        // The application passes drops only to the target of a drag in progress; without a
        // real drag the event goes to the widget directly.
        static_cast<QObject&>(frame).event(&event);
    }
    bool acceptsDrag(const QMimeData* data) {
        QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        event.setAccepted(false);
        QApplication::sendEvent(&frame, &event);
        return event.isAccepted();
    }

    QDropFrame frame;
    QSignalSpy each{&frame, &QDropFrame::receivedDrop};
    QSignalSpy lists{&frame, &QDropFrame::receivedDropList};
};

// Local files are reported as a list and then one by one, in order; remote links are left out,
// and a drop without local files reports nothing.
TEST_F(QDropFrameTest, LocalFilesAreReportedOneByOneInOrder) {
    EXPECT_TRUE(frame.acceptDrops());
    drop(urls({QUrl::fromLocalFile("/p/a.icc"), QUrl("https://example.org/x.icc"),
               QUrl::fromLocalFile("/p/b b.icc")})
             .get());
    ASSERT_EQ(lists.count(), 1);
    EXPECT_EQ(lists.at(0).at(0).toStringList(), (QStringList{"/p/a.icc", "/p/b b.icc"}));
    ASSERT_EQ(each.count(), 2);
    EXPECT_EQ(each.at(1).at(0).toString(), "/p/b b.icc");
    drop(urls({QUrl("https://example.org/x.icc")}).get());
    EXPECT_EQ(lists.count(), 1);
    EXPECT_EQ(each.count(), 2);
}

TEST_F(QDropFrameTest, DragIsAcceptedForTextOrLocalFilesOnly) {
    QMimeData text;
    text.setText("anything");
    EXPECT_TRUE(acceptsDrag(&text));
    EXPECT_TRUE(acceptsDrag(urls({QUrl::fromLocalFile("/p/a.icc")}).get()));

    QMimeData image;
    image.setData("image/png", QByteArray("\x89PNG", 4));
    EXPECT_FALSE(acceptsDrag(&image));
}

} // namespace
