#pragma once

#include "csICCTag.h"

class csICCProfileHeader;

// A "pseq" tag (profile sequence description): a count, then per profile its manufacturer,
// model, attributes and technology, followed by two embedded description tags ("desc" or
// "mluc"), packed without padding.
class csICCpseqTag : public csICCTag {
public:
    // An empty sequence: signature "pseq", count 0, 12 bytes.
    csICCpseqTag();
    // From a block that validate() has accepted.
    csICCpseqTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCpseqTag(const csICCpseqTag& other) = default;
    csICCpseqTag& operator=(const csICCpseqTag& other) = default;

    // Whether the block's entries and their embedded descriptions all lie inside size bytes; an
    // error entry says why not.
    static bool validate(const std::uint8_t* data, std::uint32_t size);

    unsigned count() const;
    // Byte offset of entry i, or 0 when there is no such entry or the walk to it fails.
    std::uint32_t findDescriptionOffset(unsigned i) const;
    // The fixed fields of entry i; 0, or -1 with a log entry.
    int readEntry(unsigned i, Signature* manufacturer, Signature* model, std::uint64_t* attributes,
                  Signature* technology) const;
    // Appends an entry with the header's manufacturer, model and attributes and the given
    // descriptions (12 zero bytes where one is missing). Technology is always stored as 0.
    void appendEntry(const csICCProfileHeader& header, Signature technology,
                     const csICCTag* manufacturerDescription, const csICCTag* modelDescription);

private:
    // Size of the embedded description at offset, or 0 with a warning naming what (0
    // manufacturer, 1 model) and the entry number.
    std::uint32_t descriptionSize(std::uint32_t offset, int what, unsigned entry) const;
};
