#pragma once

#include "Signature.h"

#include <cstdint>

class csICCTag;
class csICCTagTable;

// A new tag object owning a copy of size bytes of data, of the class that the type signature in
// the data's first four bytes calls for; types without a class of their own (and blocks too short
// for a type) become plain csICCTag objects. Returns null, with an error entry, for null data and
// for a block whose counts or offsets do not fit in it; a malformed "mAB " or "mBA " instead
// becomes a plain csICCTag after its error entry, so no converter takes it for a lut.
csICCTag* tagFactory(const csICCTagTable* table, Signature signature, std::uint32_t size,
                     const std::uint8_t* data);
