#include "VeltFramework.h"

#include "VeltPanels.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPainter>
#include <QSplashScreen>
#include <QSysInfo>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

// The help text is a resource of this static library, so it has to be registered by hand.
static void registerHostResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(host);
        return true;
    }();
    (void)registered;
}

namespace {

constexpr int splashMilliseconds = 2500;

StyleFile& currentStyle() {
    static StyleFile style;
    return style;
}

// A style value for the panels' own texts, with the installation's usual answer when absent.
QString styleText(const char* name, const char* fallback) {
    const char* value = currentStyle().find(name);
    return QString::fromLatin1(value != nullptr ? value : fallback);
}

QString product() { return styleText("product", "Tintora"); }
QString vendor() { return styleText("vendor", "Veltrane"); }

QString versionText(const char* version) {
    return QString::fromLatin1(version != nullptr ? version : "").toHtmlEscaped();
}

// Opens the text panel objectName, or brings it forward when it is already open.
void showTextPanel(const QString& objectName, const QString& title, const QString& body) {
    VeltPanels::showOnce(objectName, [&] { return new HostPanel(objectName, title, body); });
}

QPixmap splashPixmap() {
    const QPixmap banner = VeltPanels::banner();
    const int width = banner.isNull() ? 480 : banner.width();
    const int bannerHeight = banner.isNull() ? 0 : banner.height();
    QPixmap pixmap(width, bannerHeight + 56);
    pixmap.fill(QColor(0xf4, 0xf5, 0xf7));
    QPainter painter(&pixmap);
    if (!banner.isNull())
        painter.drawPixmap(0, 0, banner);
    painter.setPen(QColor(0x33, 0x3a, 0x44));
    QFont font = painter.font();
    font.setPointSize(11);
    painter.setFont(font);
    painter.drawText(QRect(0, bannerHeight, width, 56), Qt::AlignCenter,
                     QObject::tr("Starting %1 ...").arg(product()));
    painter.setPen(QColor(0xc8, 0xcc, 0xd2));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

} // namespace

namespace VeltFramework {

void useStyle(const StyleFile& style) { currentStyle() = style; }

const char* velt_findStyleElement(const char* name) {
    if (name == nullptr)
        return nullptr;
    return currentStyle().find(name);
}

void velt_splashPanel() {
    auto* splash = new QSplashScreen(splashPixmap(), Qt::WindowStaysOnTopHint);
    splash->setObjectName("veltSplashPanel");
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    QTimer::singleShot(splashMilliseconds, splash, &QWidget::close);
    // The window is built before the event loop runs; let the splash paint meanwhile.
    QApplication::processEvents();
}

void velt_aboutPanel(const char* version) {
    showTextPanel("veltAboutPanel", QObject::tr("About %1").arg(product()),
                  QObject::tr("<h2>%1</h2>"
                              "<p>Version %2</p>"
                              "<p>Finds the device values that reproduce a spot colour as closely "
                              "as an ICC output profile allows.</p>"
                              "<p>&copy; %3</p>")
                      .arg(product(), versionText(version), vendor()));
}

void velt_showHelp() {
    VeltPanels::showOnce("veltHelpPanel", [] {
        auto* panel = new QDialog;
        panel->setObjectName("veltHelpPanel");
        panel->setWindowTitle(QObject::tr("%1 Help").arg(product()));
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->resize(620, 560);
        auto* layout = new QVBoxLayout(panel);
        auto* browser = new QTextBrowser(panel);
        browser->setObjectName("helpBrowser");
        browser->setOpenExternalLinks(true);
        registerHostResources();
        QFile help(":/host/help.html");
        if (help.open(QIODevice::ReadOnly))
            browser->setHtml(QString::fromUtf8(help.readAll()));
        layout->addWidget(browser);
        // Closed like the other panels, not only through the window manager.
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, panel);
        QObject::connect(buttons, &QDialogButtonBox::rejected, panel, &QDialog::close);
        layout->addWidget(buttons);
        return panel;
    });
}

void velt_searchUpdate() {
    showTextPanel("veltUpdatePanel", QObject::tr("Software Update"),
                  QObject::tr("<p><b>No update service is configured for this installation.</b></p>"
                              "<p>%1 did not look for a newer version. New versions are installed "
                              "from the packages of your distribution or your %2 supplier.</p>")
                      .arg(product(), vendor()));
}

void velt_showSupport(const char* version) {
    showTextPanel("veltSupportPanel", QObject::tr("Support"),
                  QObject::tr("<h3>%1 support</h3>"
                              "<p>Version %2, built with Qt %3, running on %4.</p>"
                              "<p>When you report a problem, please quote this version and include "
                              "the ICC profiles involved, the reference values you typed, the "
                              "rendering intent and the search settings. Messages that the "
                              "program printed on its standard error stream help as well.</p>")
                      .arg(product(), versionText(version), QString::fromLatin1(qVersion()),
                           QSysInfo::prettyProductName().toHtmlEscaped()));
}

} // namespace VeltFramework
