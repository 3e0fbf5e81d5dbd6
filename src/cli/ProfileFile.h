#pragma once

#include "ProfileBinding.h"

#include <ostream>
#include <string>

class csICCProfile;

// Writes the colour library's warnings and errors (not its notes of what it read): the level
// letter and title, then the message.
void writeLog(std::ostream& errors);

// Reads the profile file at path into profile. On failure writes one line naming the file to
// errors, then the library's log, and returns -1.
int readProfileFile(const std::string& path, csICCProfile& profile, std::ostream& errors);

// Binds the profile at path as the window binds an output profile, with the window's combo index
// for the intent (0 perceptual, 1 relative colorimetric, 2 saturation, 3 absolute colorimetric).
// A refusal writes the window's message, then the library's log where that says why. The log is
// left empty either way.
ProfileBinding bindProfileForCommand(const std::string& path, int intent, std::ostream& errors);
