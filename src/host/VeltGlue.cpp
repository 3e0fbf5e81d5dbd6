#include "VeltGlue.h"

#include "DataDirectory.h"
#include "VeltFramework.h"
#include "velt.h"

#include <QCoreApplication>

VeltGlue::VeltGlue(const std::string& applicationDirectory, std::FILE* errors)
    : applicationDirectory_(applicationDirectory) {
    if (!style_.load(applicationDirectory_ + "/style.xml") &&
        !style_.load(applicationDirectory_ + "/Resources/style.xml")) {
        // The message is the one installations have always printed; the program does go on,
        // with an empty title and the update entry in place.
        std::fprintf(errors, "Could not load 'style.xml'. Error='%s'. Exiting.\n",
                     style_.error().c_str());
    }
}

VeltGlue& VeltGlue::instance() {
    static VeltGlue& glue = []() -> VeltGlue& {
        static VeltGlue created(dataDirectory().toStdString(), stderr);
        VeltFramework::useStyle(created.style());
        return created;
    }();
    return glue;
}

void velt_splashPanel() {
    VeltGlue::instance();
    VeltFramework::velt_splashPanel();
}

void velt_aboutPanel(const char* version) {
    VeltGlue::instance();
    VeltFramework::velt_aboutPanel(version);
}

void velt_showHelp() {
    VeltGlue::instance();
    VeltFramework::velt_showHelp();
}

void velt_searchUpdate() {
    VeltGlue::instance();
    VeltFramework::velt_searchUpdate();
}

void velt_showSupport(const char* version) {
    VeltGlue::instance();
    VeltFramework::velt_showSupport(version);
}

const char* velt_findStyleElement(const char* name) {
    VeltGlue::instance();
    return VeltFramework::velt_findStyleElement(name);
}
