#pragma once

#include <QString>

// The folder of the program's data (style.xml and Resources: the banner, the sample profiles):
// beside the executable in a build tree, or the installed data folder (share/tintora under the
// prefix, found relative to the executable's own folder) when nothing is beside it.
QString dataDirectory();
