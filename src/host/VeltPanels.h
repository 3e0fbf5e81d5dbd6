#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QPixmap;

// A plain framework panel: the installation's banner (when there is one), a body of rich text
// and a Close button. The about, update and support panels are all of this kind.
class HostPanel : public QDialog {
    Q_OBJECT

public:
    HostPanel(const QString& objectName, const QString& title, const QString& bodyHtml,
              QWidget* parent = nullptr);
};

namespace VeltPanels {

// The banner of the installation (Resources/banner.png in the data folder); null when absent.
QPixmap banner();

// Panels are not modal and exist once: showing a panel that is already open brings it to the
// front instead of opening a second one. make() builds the panel when none is open.
QDialog* showOnce(const QString& objectName, const std::function<QDialog*()>& make);

} // namespace VeltPanels
