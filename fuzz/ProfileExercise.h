#pragma once

#include <cstddef>
#include <cstdint>

// Reads bytes as a profile, both from memory and through a file stream, uses every accessor of
// every tag it makes, edits copies of the editable ones, writes the profile and reads it again,
// and checks that the tags survived. Aborts on an inconsistency; a crash or sanitizer report is a
// finding. Leaves the diagnostics log empty.
void exerciseProfileBytes(const std::uint8_t* data, std::size_t size);
