#pragma once

class csContext;

// Sets the window's viewing conditions on a context's appearance model: a bright print viewing
// booth (adapting luminance 636.6 cd/m2), a background of 20 % of the white's luminance, average
// surround. The window and tintora-cli use the same, so method 3 gives the same numbers in both.
void setWindowViewingConditions(csContext& context);
