#pragma once

#include <cstddef>
#include <cstdint>

// Takes bytes as the window takes a profile file: reads them, binds them as an output and as a
// source profile at every rendering intent with the window's checks and preparations, and for
// what binds runs what a user then does: one search, the device-to-Lab conversion of the device
// and source fields, the result figures, and a change to every other intent. Aborts on an
// inconsistency; a crash or sanitizer report is a finding. Then binds them as the display profile
// of the swatches and shows a few colours. Leaves the diagnostics log empty.
void exerciseBindingBytes(const std::uint8_t* data, std::size_t size);
