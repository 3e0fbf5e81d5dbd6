#include "csICCTagTable.h"

#include "csICCNumbers.h"
#include "csICCTag.h"
#include "csICCmft2Tag.h"
#include "csLog.h"
#include "tagFactory.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t headerSize = 128;
constexpr std::uint32_t entrySize = 12;

// The type signature of a tag, or 0 for a block too short to hold one.
Signature typeOf(const csICCTag& tag) {
    return tag.data() != nullptr && tag.size() >= 4 ? tag.typeSignature() : Signature();
}

std::string code(Signature signature) { return signature.text(); }

// The table's own copy of a tag. A lut whose tables an interpolator has turned into the machine's
// byte order is copied from file order, which is what the factory reads.
csICCTag* factoryCopy(const csICCTagTable* table, const csICCTag& tag) {
    if (const auto* lut = dynamic_cast<const csICCmft2Tag*>(&tag); lut && lut->isNativeOrder()) {
        csICCmft2Tag fileOrder(*lut);
        fileOrder.beforeWrite();
        return tagFactory(table, tag.signature(), fileOrder.size(), fileOrder.data());
    }
    return tagFactory(table, tag.signature(), tag.size(), tag.data());
}

} // namespace

csICCTagTable::csICCTagTable() = default;
csICCTagTable::~csICCTagTable() = default;

unsigned csICCTagTable::count() const {
    unsigned used = 0;
    while (used < tags_.size() && tags_[used])
        ++used;
    return used;
}

csICCTag* csICCTagTable::at(unsigned index) const {
    return index < count() ? tags_[index].get() : nullptr;
}

int csICCTagTable::indexOf(Signature signature) const {
    const unsigned used = count();
    for (unsigned i = 0; i < used; ++i) {
        if (tags_[i]->signature() == signature)
            return static_cast<int>(i);
    }
    return -1;
}

csICCTag* csICCTagTable::find(Signature signature) const {
    const int index = indexOf(signature);
    return index < 0 ? nullptr : tags_[index].get();
}

bool csICCTagTable::grow() {
    try {
        tags_.resize(tags_.size() + growth);
    } catch (const std::bad_alloc&) {
        return false;
    }
    hasArray_ = true;
    return true;
}

int csICCTagTable::add(const csICCTag& tag) {
    if (indexOf(tag.signature()) >= 0) {
        logError("duplicate tag", "tried to add another tag '%4s'", code(tag.signature()).c_str());
        return -1;
    }
    const unsigned used = count();
    if (used == capacity() && !grow()) {
        logError("out of memory", "expand tag list failed (with %d entries)",
                 static_cast<int>(capacity()));
        return -1;
    }
    csICCTag* copy = factoryCopy(this, tag);
    if (copy == nullptr)
        return -1;
    tags_[used].reset(copy);
    return 0;
}

int csICCTagTable::replace(const csICCTag& tag) {
    const int index = indexOf(tag.signature());
    if (index < 0) {
        logError("tag not found", "tried to replace tag '%4s', which cannot be found",
                 code(tag.signature()).c_str());
        return -1;
    }
    const csICCTag& stored = *tags_[index];
    if (typeOf(tag) != typeOf(stored)) {
        logError("tag mismatch",
                 "tried to replace tag '%4s' (type '%4s') with a '%4s' (wrong type '%4s')",
                 code(tag.signature()).c_str(), code(typeOf(tag)).c_str(),
                 code(stored.signature()).c_str(), code(typeOf(stored)).c_str());
        return -1;
    }
    // The copy is made before the stored tag goes, which may be the very object passed.
    csICCTag* copy = factoryCopy(this, tag);
    if (copy == nullptr)
        return -1;
    copy->setSignature(stored.signature());
    tags_[index].reset(copy);
    return 0;
}

int csICCTagTable::replace(unsigned index, const csICCTag& tag) {
    const unsigned used = count();
    if (index >= used) {
        logError("index out of bounds", "tried to replace tag index %d of %d",
                 static_cast<int>(index), static_cast<int>(used));
        return -1;
    }
    csICCTag* copy = factoryCopy(this, tag);
    if (copy == nullptr)
        return -1;
    tags_[index].reset(copy);
    return 0;
}

int csICCTagTable::replaceOrAdd(const csICCTag& tag) {
    if (indexOf(tag.signature()) >= 0)
        return replace(tag);
    logWarning("tag not found",
               "tried to replace tag '%4s', which cannot be found. Adding tag instead",
               code(tag.signature()).c_str());
    return add(tag);
}

int csICCTagTable::remove(unsigned index) {
    const unsigned used = count();
    if (index >= used) {
        logError("index out of bounds", "tried to replace tag index %d of %d",
                 static_cast<int>(index), static_cast<int>(used));
        return -1;
    }
    for (unsigned i = index; i + 1 < used; ++i)
        tags_[i] = std::move(tags_[i + 1]);
    tags_[used - 1].reset();
    return 0;
}

bool csICCTagTable::sameData(unsigned a, unsigned b) const {
    const csICCTag* first = at(a);
    const csICCTag* second = at(b);
    if (first == nullptr || second == nullptr)
        return false;
    if (a == b)
        return true;
    return first->size() == second->size() &&
           (first->size() == 0 || std::memcmp(first->data(), second->data(), first->size()) == 0);
}

void csICCTagTable::clear() {
    tags_.clear();
    hasArray_ = false;
}

int csICCTagTable::read(const std::uint8_t* profile, std::uint32_t profileSize) {
    clear();
    if (profileSize < headerSize + 4) {
        logError("bad tagtable", "profile of %u bytes has no room for a tag count", profileSize);
        return -1;
    }
    const std::uint32_t tagCount = readU32(profile + headerSize);
    if (tagCount > maxTags) {
        logError("bad tagtable", "tag count %u is more than %u", tagCount, maxTags);
        return -1;
    }
    if (headerSize + 4 + std::uint64_t{tagCount} * entrySize > profileSize) {
        logError("bad tagtable",
                 "tag table of %u entries runs past the end of the profile (%u bytes)", tagCount,
                 profileSize);
        return -1;
    }

    // Every entry is checked before any tag is made.
    std::uint64_t allTags = 0;
    for (std::uint32_t i = 0; i < tagCount; ++i) {
        const std::uint8_t* entry = profile + headerSize + 4 + entrySize * i;
        const Signature signature = Signature::read(entry);
        const std::uint32_t offset = readU32(entry + 4);
        const std::uint32_t size = readU32(entry + 8);
        if (offset >= profileSize || std::uint64_t{offset} + size > profileSize) {
            logError("bad tagtable", "tag '%4s' offset %d, size %d larger than profile %d",
                     code(signature).c_str(), static_cast<int>(offset), static_cast<int>(size),
                     static_cast<int>(profileSize));
            return -1;
        }
        if (size < 4) {
            logError("bad tagtable", "tag '%4s' offset %d, size %d has no room for its type",
                     code(signature).c_str(), static_cast<int>(offset), static_cast<int>(size));
            return -1;
        }
        allTags += size;
    }
    // Tags may share data, and each keeps its own copy; a table that points at the same bytes
    // again and again would make a small file take gigabytes.
    if (allTags > maxSharing * std::uint64_t{profileSize}) {
        logError("bad tagtable", "tags of %llu bytes in all, more than %u times the profile's %u",
                 static_cast<unsigned long long>(allTags), maxSharing, profileSize);
        return -1;
    }

    std::vector<std::unique_ptr<csICCTag>> tags(tagCount);
    for (std::uint32_t i = 0; i < tagCount; ++i) {
        const std::uint8_t* entry = profile + headerSize + 4 + entrySize * i;
        const Signature signature = Signature::read(entry);
        const std::uint32_t offset = readU32(entry + 4);
        const std::uint32_t size = readU32(entry + 8);
        logInfo("added tag", "found tag '%4s' size %d", code(signature).c_str(),
                static_cast<int>(size));
        tags[i].reset(tagFactory(this, signature, size, profile + offset));
        if (!tags[i])
            return -1; // the tags made so far go with the local array
    }
    tags_ = std::move(tags);
    hasArray_ = true;
    return 0;
}

int csICCTagTable::assembleBody(std::vector<std::uint8_t>& body) {
    if (!hasArray_) {
        logError("no profile data", "tried to write a profile without tag list (null pointer)");
        return -1;
    }
    if (capacity() == 0)
        logWarning("empty profile", "tried to write a profile with empty tag list");

    // A tag kept without data (a corrupt descriptive tag) has nothing to write.
    std::vector<unsigned> written;
    for (unsigned i = 0; i < count(); ++i) {
        if (tags_[i]->data() != nullptr)
            written.push_back(i);
        else
            logWarning("tag without data", "tag '%4s' has no data and is not written",
                       code(tags_[i]->signature()).c_str());
    }
    const auto n = static_cast<unsigned>(written.size());
    // Every tag goes back to file order first, so that tags are compared as they will be written
    // (a lut in the machine's byte order could otherwise match another lut's file-order bytes).
    for (unsigned i : written)
        tags_[i]->beforeWrite();
    std::vector<std::uint32_t> offsets(n);
    std::vector<bool> stored(n, true);
    std::uint64_t runningEnd = headerSize + 4 + std::uint64_t{n} * entrySize;
    for (unsigned i = 0; i < n; ++i) {
        offsets[i] = static_cast<std::uint32_t>(runningEnd);
        for (unsigned j = 0; j < i; ++j) {
            if (stored[j] && sameData(written[i], written[j])) {
                offsets[i] = offsets[j];
                stored[i] = false;
                break;
            }
        }
        if (stored[i])
            runningEnd =
                padToFour(static_cast<std::uint32_t>(offsets[i] + tags_[written[i]]->size()));
    }
    if (runningEnd > UINT32_MAX) {
        logError("out of memory", "failed to allocate tag table (%d bytes)",
                 static_cast<int>(4 + n * entrySize));
        return -1;
    }

    try {
        body.assign(static_cast<std::size_t>(runningEnd), 0);
    } catch (const std::bad_alloc&) {
        logError("out of memory", "failed to allocate tag table (%d bytes)",
                 static_cast<int>(4 + n * entrySize));
        return -1;
    }
    writeU32(body.data() + headerSize, n);
    for (unsigned i = 0; i < n; ++i) {
        const csICCTag& tag = *tags_[written[i]];
        std::uint8_t* entry = body.data() + headerSize + 4 + entrySize * i;
        tag.signature().write(entry);
        writeU32(entry + 4, offsets[i]);
        writeU32(entry + 8, tag.size());
    }
    for (unsigned i = 0; i < n; ++i) {
        const csICCTag& tag = *tags_[written[i]];
        if (stored[i] && tag.size() > 0)
            std::memcpy(body.data() + offsets[i], tag.data(), tag.size());
        // The zero padding is already there.
    }
    return 0;
}
