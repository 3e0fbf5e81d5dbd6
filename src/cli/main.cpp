// tintora-cli: Tintora's colour library and search on the command line, without a window.

#include "ProfileInfo.h"

#include <tintora/version.h>

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"tintora-cli " TINTORA_VERSION
                 ": spot colour search in ICC output profiles, without the window"};
    app.set_version_flag("--version", std::string("tintora-cli ") + TINTORA_VERSION);
    app.require_subcommand(1);

    std::string profilePath;
    bool json = false;
    CLI::App* info = app.add_subcommand(
        "info", "Show a profile's header fields, its tag table (shared data marked), its "
                "description, how far its header is valid and whether its required tags are "
                "present");
    info->add_option("PROFILE", profilePath, "ICC profile file")->required();
    info->add_flag("--json", json, "Write the information as JSON");

    CLI11_PARSE(app, argc, argv);

    if (info->parsed())
        return runProfileInfo(profilePath, json, std::cout, std::cerr);
    return 0;
}
