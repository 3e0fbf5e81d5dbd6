// tintora-cli: Tintora's colour library and search on the command line, without a window.

#include <tintora/version.h>

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"tintora-cli " TINTORA_VERSION
                 ": spot colour search in ICC output profiles, without the window"};
    app.set_version_flag("--version", std::string("tintora-cli ") + TINTORA_VERSION);
    app.footer("Run 'tintora-cli SUBCOMMAND --help' for the options of a subcommand.");

    CLI11_PARSE(app, argc, argv);

    // Without a subcommand there is nothing to do but say what there is.
    std::cout << app.help();
    return 0;
}
