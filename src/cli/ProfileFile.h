#pragma once

#include <ostream>
#include <string>

class csICCProfile;

// Writes the colour library's log entries: the level letter and title, then the message.
void writeLog(std::ostream& errors);

// Reads the profile file at path into profile. On failure writes one line naming the file to
// errors, then the library's log, and returns -1.
int readProfileFile(const std::string& path, csICCProfile& profile, std::ostream& errors);
