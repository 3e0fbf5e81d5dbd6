#pragma once

#include "StyleFile.h"

// The host framework: the maker's panels (splash, about, help, update, support) and the style
// values of the installation. The program does not call these directly but through the velt_*
// glue functions of velt.h, which make sure the installation's style file has been read first.
namespace VeltFramework {

// Shows the start-up panel; it closes itself after a few seconds or on a click.
void velt_splashPanel();
// Shows the about panel with the given version text.
void velt_aboutPanel(const char* version);
// Shows the help panel.
void velt_showHelp();
// Looks for updates; without a configured update service it says so in a panel.
void velt_searchUpdate();
// Shows the support panel with the given version text.
void velt_showSupport(const char* version);
// The named style value, or nullptr when the installation's style has none.
const char* velt_findStyleElement(const char* name);

// Makes style the source of the style values (the glue hands over the installation's file).
void useStyle(const StyleFile& style);

} // namespace VeltFramework
