#pragma once

#include "Signature.h"

#include <cstdint>

class csICCTag;
class csICCTagTable;

// A new tag object owning a copy of size bytes of data, of the class that the type signature in
// the data's first four bytes calls for; types without a class of their own (and blocks too short
// for a type) become plain csICCTag objects. Returns null, with an error entry, for null data and
// for a block whose counts or offsets do not fit in it. Two kinds of malformed tags are kept,
// after their error entry, so that the profile stays readable: an "mAB " or "mBA " as a plain
// csICCTag with its bytes, so no converter takes it for a lut, and a "desc", "mluc", "pseq" or
// "psid" as a plain csICCTag without data (size 0), since no transform depends on them.
csICCTag* tagFactory(const csICCTagTable* table, Signature signature, std::uint32_t size,
                     const std::uint8_t* data);
