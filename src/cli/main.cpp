// tintora-cli: Tintora's colour library and search on the command line, without a window.

#include "ConvertCommand.h"
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

    std::string outputProfile;
    int intent = 3;
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert device values to L*a*b* through a profile, as the window does: one "
                   "colour a line on standard input (CMYK and CMY in percent, RGB in 0..255, "
                   "separated by blanks or commas), \"L a b\" a line on standard output");
    convert->add_option("-o,--profile", outputProfile, "Output ICC profile")->required();
    convert
        ->add_option("--intent", intent,
                     "Rendering intent: 0 perceptual, 1 relative colorimetric, 2 saturation, "
                     "3 absolute colorimetric")
        ->check(CLI::Range(0, 3))
        ->capture_default_str();

    CLI11_PARSE(app, argc, argv);

    if (info->parsed())
        return runProfileInfo(profilePath, json, std::cout, std::cerr);
    if (convert->parsed())
        return runConvert(outputProfile, intent, std::cin, std::cout, std::cerr);
    return 0;
}
