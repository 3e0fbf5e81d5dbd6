#pragma once

#include "csICCProfileHeader.h"
#include "csICCTagTable.h"

#include <cstdio>
#include <string>
#include <vector>

class csICCTag;

// One ICC profile in memory: its header and its table of typed tags. Profiles are untrusted
// input: reading checks every size before it reads and refuses what does not fit, leaving an
// empty tag table and an entry in the diagnostics log.
class csICCProfile {
public:
    csICCProfile();
    virtual ~csICCProfile();
    csICCProfile(const csICCProfile&) = delete;
    csICCProfile& operator=(const csICCProfile&) = delete;

    // Reads the whole of an open file; a header size field that differs from the file's size is
    // corrected (with a warning). Returns 0 or -1.
    int setProfile(std::FILE* file);
    // Parses a profile image of blockSize bytes; the tag data is copied. Returns 0 or -1.
    int setProfile(const std::uint8_t* block, std::size_t blockSize);

    // The assembled profile; for a major version above 3 with its profile ID (MD5) computed and
    // stored in the header too. Returns 0 or -1.
    int writeToMemory(std::vector<std::uint8_t>& block);
    int writeToFile(std::FILE* file);

    csICCProfileHeader& header() { return header_; }
    const csICCProfileHeader& header() const { return header_; }
    // Channel counts of the header's data colour space and PCS (0 for unknown spaces), as the
    // header says now.
    unsigned colorSpaceChannels() const;
    unsigned pcsChannels() const;

    unsigned numTags() const { return tagTable.count(); }
    csICCTag* tagAt(unsigned index) const { return tagTable.at(index); }
    bool hasTag(Signature signature) const { return tagTable.indexOf(signature) >= 0; }
    csICCTag* findTag(Signature signature) const { return tagTable.find(signature); }
    int indexOfTag(Signature signature) const { return tagTable.indexOf(signature); }
    bool sameTagData(unsigned a, unsigned b) const { return tagTable.sameData(a, b); }
    bool sameTagData(Signature a, Signature b) const;
    int addTag(const csICCTag& tag) { return tagTable.add(tag); }
    int replaceTag(const csICCTag& tag) { return tagTable.replace(tag); }
    int replaceTag(unsigned index, const csICCTag& tag) { return tagTable.replace(index, tag); }
    int replaceOrAddTag(const csICCTag& tag) { return tagTable.replaceOrAdd(tag); }
    int removeTag(unsigned index) { return tagTable.remove(index); }

    // Header checks of increasing strictness, levels 0 to 3.
    bool isValid(int level) const;
    // Whether the tags the ICC standard requires for the profile's class are present.
    bool hasRequiredTags() const;
    // What hasRequiredTags() finds absent, such as "cprt, gamt" (alternatives in parentheses);
    // empty when nothing is.
    std::string missingRequiredTags() const;

    csICCTagTable tagTable;

private:
    csICCProfileHeader header_;
};
