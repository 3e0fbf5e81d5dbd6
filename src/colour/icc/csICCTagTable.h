#pragma once

#include "Signature.h"

#include <cstdint>
#include <memory>
#include <vector>

class csICCTag;

// The tag table of a profile: a capacity and an array of that many owned tag pointers. The tags
// in use are the leading non-null entries. When an entry is needed beyond the capacity the array
// grows by 8.
class csICCTagTable {
public:
    static constexpr unsigned growth = 8;
    // More tags than this make a tag table that no profile needs; it is refused.
    static constexpr std::uint32_t maxTags = 1000;
    // Tags may share their data in the file, but all of them together may not be more than this
    // many times the profile's size (real profiles share a lut among three intents at most).
    static constexpr std::uint32_t maxSharing = 32;

    csICCTagTable();
    ~csICCTagTable();
    csICCTagTable(const csICCTagTable&) = delete;
    csICCTagTable& operator=(const csICCTagTable&) = delete;

    unsigned count() const;
    unsigned capacity() const { return static_cast<unsigned>(tags_.size()); }
    // Whether an array exists at all (a table read with 0 tags has one, a new table has none).
    bool hasArray() const { return hasArray_; }

    csICCTag* at(unsigned index) const;
    int indexOf(Signature signature) const;
    csICCTag* find(Signature signature) const;

    // The table's editing operations; each stores a factory-made copy of the tag given.
    int add(const csICCTag& tag);
    int replace(const csICCTag& tag);
    int replace(unsigned index, const csICCTag& tag);
    int replaceOrAdd(const csICCTag& tag);
    int remove(unsigned index);
    bool sameData(unsigned a, unsigned b) const;
    void clear();

    // Builds the table from the tag table of a profile image of profileSize bytes (the header's
    // size field). On failure the table is left empty.
    int read(const std::uint8_t* profile, std::uint32_t profileSize);
    // Lays out the tag table and the tag data behind a 128-byte space for the header. Identical
    // tag data is stored once; every tag is padded with zero bytes to a multiple of 4.
    int assembleBody(std::vector<std::uint8_t>& body);

private:
    bool grow();

    std::vector<std::unique_ptr<csICCTag>> tags_;
    bool hasArray_ = false;
};
