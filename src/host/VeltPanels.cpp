#include "VeltPanels.h"

#include "DataDirectory.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QVBoxLayout>

#include <map>

HostPanel::HostPanel(const QString& objectName, const QString& title, const QString& bodyHtml,
                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    const QPixmap pixmap = VeltPanels::banner();
    if (!pixmap.isNull()) {
        auto* bannerLabel = new QLabel(this);
        bannerLabel->setObjectName("panelBanner");
        bannerLabel->setPixmap(pixmap);
        bannerLabel->setAlignment(Qt::AlignCenter);
        layout->addWidget(bannerLabel);
    }
    auto* body = new QLabel(bodyHtml, this);
    body->setObjectName("panelBody");
    body->setTextFormat(Qt::RichText);
    body->setWordWrap(true);
    body->setTextInteractionFlags(Qt::TextBrowserInteraction);
    body->setOpenExternalLinks(true);
    body->setMargin(8);
    layout->addWidget(body);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
}

namespace VeltPanels {

QPixmap banner() { return QPixmap(dataDirectory() + "/Resources/banner.png"); }

QDialog* showOnce(const QString& objectName, const std::function<QDialog*()>& make) {
    static std::map<QString, QPointer<QDialog>> open;
    QPointer<QDialog>& panel = open[objectName];
    if (panel.isNull())
        panel = make();
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

} // namespace VeltPanels
