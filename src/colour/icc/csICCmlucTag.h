#pragma once

#include "csICCTag.h"

#include <string>

// An "mluc" tag (ICC version 4 multi-localised text): a record count and record size, then one
// record per language and country (codes, string length in bytes, string offset from the tag's
// start), then the UTF-16BE strings. Records with the same string share one copy.
class csICCmlucTag : public csICCTag {
public:
    static constexpr int INDEX_NOTFOUND = -1;

    // A language or country code of two ASCII letters, as it stands in the file ("en", "US").
    static constexpr std::uint16_t code(const char (&letters)[3]) {
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(letters[0]) << 8 |
                                          static_cast<std::uint8_t>(letters[1]));
    }

    // An empty tag: no records, record size 12.
    explicit csICCmlucTag(Signature signature);
    // From a block that measure() has accepted.
    csICCmlucTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCmlucTag(const csICCmlucTag& other);
    csICCmlucTag& operator=(const csICCmlucTag& other);

    // The size of the "mluc" block at data, which may use at most limit bytes: the larger of the
    // record table's end and the end of the furthest string. 0 with an error entry when it is not
    // an "mluc" or its records or strings do not fit.
    static std::uint32_t measure(const std::uint8_t* data, std::uint32_t limit);

    unsigned numberOfRecords() const;
    std::uint32_t recordSize() const;
    int indexOf(std::uint16_t language, std::uint16_t country) const;
    std::uint32_t nameOffset(unsigned i) const;
    std::uint32_t nameLength(unsigned i) const;
    std::uint16_t language(unsigned i) const;
    std::uint16_t country(unsigned i) const;
    // The string of record i.
    std::u16string text(unsigned i) const;
    // Bytes allocated for the data block; at least size().
    std::uint32_t capacity() const { return capacity_; }

    // Adds a record for a language and country not yet present; a string equal to one already
    // held is shared. Returns 0, or -1 with an error entry.
    int addRecord(std::uint16_t language, std::uint16_t country, const std::u16string& text);
    // Removes record i and, unless another record shares it, its string. Returns 0 or -1.
    int removeRecord(unsigned i);

private:
    std::uint32_t recordAt(unsigned i) const { return 16 + i * recordSize(); }
    // Puts bytes as the new content: the block is reused unless it is too small or 4096 or more
    // bytes larger than needed, in which case it is reallocated to exactly the needed size.
    void store(const std::uint8_t* bytes, std::uint32_t size);

    std::uint32_t capacity_ = 0;
};
