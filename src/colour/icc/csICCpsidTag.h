#pragma once

#include "csICCTag.h"

// A "psid" tag (profile sequence identifier): a count, a table of (offset, size) pairs, then per
// entry a 16-byte profile ID and an embedded "mluc" description.
class csICCpsidTag : public csICCTag {
public:
    // Signature "psid", count 2, 12 bytes; setDescriptions() fills in the two entries.
    csICCpsidTag();
    // From a block that validate() has accepted.
    csICCpsidTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCpsidTag(const csICCpsidTag& other) = default;
    csICCpsidTag& operator=(const csICCpsidTag& other) = default;

    // Whether the position table and every entry lie inside size bytes; an error entry says why
    // not.
    static bool validate(const std::uint8_t* data, std::uint32_t size);

    unsigned count() const;
    // Two entries with zero profile IDs and "en"/"US" descriptions of the two ASCII texts.
    void setDescriptions(const char* first, const char* second);
    // Offset and size of entry i from the position table; false beyond the table.
    bool entry(unsigned i, std::uint32_t* offset, std::uint32_t* size) const;
};
