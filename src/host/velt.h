#pragma once

// The program's glue to the host framework. Each function makes sure the glue object exists
// (creating it, and with it reading the installation's style.xml, on the first call of any of
// them) and then forwards to the framework function of the same name.

void velt_splashPanel();
void velt_aboutPanel(const char* version);
void velt_showHelp();
void velt_searchUpdate();
void velt_showSupport(const char* version);
// A NUL-terminated ASCII string, or nullptr when the style has no such value.
const char* velt_findStyleElement(const char* name);
