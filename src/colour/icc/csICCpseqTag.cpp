#include "csICCpseqTag.h"

#include "csICCNumbers.h"
#include "csICCProfileHeader.h"
#include "csICCdescTag.h"
#include "csICCmlucTag.h"
#include "csLog.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t fixedFields = 20;

// Size of an embedded "desc" or "mluc" at data with limit bytes left; 0 for another type
// (typeFound tells) or for one that does not fit (with an error entry).
std::uint32_t embeddedSize(const std::uint8_t* data, std::uint32_t limit, bool* otherType) {
    *otherType = false;
    if (limit < 4) {
        logError("corrupt tag data", "pseq description needs 4 bytes, %u left", limit);
        return 0;
    }
    const Signature type = Signature::read(data);
    if (type == Signature("desc"))
        return csICCdescTag::measure(data, limit);
    if (type == Signature("mluc"))
        return csICCmlucTag::measure(data, limit);
    *otherType = true;
    return 0;
}

} // namespace

csICCpseqTag::csICCpseqTag() {
    setSignature(Signature("pseq"));
    std::uint8_t block[12] = {};
    Signature("pseq").write(block);
    setData(12, block);
}

csICCpseqTag::csICCpseqTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

bool csICCpseqTag::validate(const std::uint8_t* data, std::uint32_t size) {
    if (size < 12) {
        logError("corrupt tag data", "pseq tag of %u bytes is too short", size);
        return false;
    }
    const std::uint32_t count = readU32(data + 8);
    std::uint64_t offset = 12;
    for (std::uint32_t entry = 0; entry < count; ++entry) {
        if (offset + fixedFields > size) {
            logError("corrupt tag data", "pseq tag with %u entries is larger than tag buffer",
                     count);
            return false;
        }
        offset += fixedFields;
        for (int description = 0; description < 2; ++description) {
            bool otherType = false;
            const std::uint32_t length =
                embeddedSize(data + offset, static_cast<std::uint32_t>(size - offset), &otherType);
            // A description of another kind cannot be measured; the entries behind it are out of
            // reach, and the accessors refuse them.
            if (otherType)
                return true;
            if (length == 0)
                return false;
            offset += length;
        }
    }
    return true;
}

unsigned csICCpseqTag::count() const { return size() >= 12 ? readU32(data() + 8) : 0; }

std::uint32_t csICCpseqTag::descriptionSize(std::uint32_t offset, int what, unsigned entry) const {
    bool otherType = false;
    const std::uint32_t length =
        offset < size() ? embeddedSize(data() + offset, size() - offset, &otherType) : 0;
    if (otherType) {
        const std::string type = Signature::read(data() + offset).text();
        if (what == 0)
            logWarning("illegal manufacturer description",
                       "pseq: wrong tag type %s in manufacturer description #%d", type.c_str(),
                       static_cast<int>(entry));
        else
            logWarning("illegal model description",
                       "pseq: wrong tag type %s in model description #%d", type.c_str(),
                       static_cast<int>(entry));
    }
    return length;
}

std::uint32_t csICCpseqTag::findDescriptionOffset(unsigned i) const {
    if (i >= count())
        return 0;
    std::uint64_t offset = 12;
    for (unsigned entry = 0; entry < i; ++entry) {
        offset += fixedFields;
        for (int what = 0; what < 2; ++what) {
            if (offset >= size())
                return 0;
            const std::uint32_t length =
                descriptionSize(static_cast<std::uint32_t>(offset), what, entry);
            if (length == 0)
                return 0;
            offset += length;
        }
    }
    return offset + fixedFields <= size() ? static_cast<std::uint32_t>(offset) : 0;
}

int csICCpseqTag::readEntry(unsigned i, Signature* manufacturer, Signature* model,
                            std::uint64_t* attributes, Signature* technology) const {
    const std::uint32_t offset = findDescriptionOffset(i);
    if (offset == 0) {
        logWarning("could not find description", "pseq: findDescriptionOffset(%d) failed",
                   static_cast<int>(i));
        return -1;
    }
    std::uint64_t next = std::uint64_t{offset} + fixedFields;
    for (int what = 0; what < 2; ++what) {
        const std::uint32_t length =
            next < size() ? descriptionSize(static_cast<std::uint32_t>(next), what, i) : 0;
        if (length == 0)
            return -1;
        next += length;
    }
    const std::uint8_t* fields = data() + offset;
    *manufacturer = Signature::read(fields);
    *model = Signature::read(fields + 4);
    *attributes = readU64(fields + 8);
    *technology = Signature::read(fields + 16);
    return 0;
}

void csICCpseqTag::appendEntry(const csICCProfileHeader& header, Signature technology,
                               const csICCTag* manufacturerDescription,
                               const csICCTag* modelDescription) {
    if (technology != Signature())
        logWarning("not implemented", "pseq: technology tag not implemented yet");
    std::vector<std::uint8_t> bytes(data(), data() + size());
    std::uint8_t fields[fixedFields] = {};
    header.manufacturer().write(fields);
    header.model().write(fields + 4);
    writeU64(fields + 8, header.attributes());
    bytes.insert(bytes.end(), fields, fields + fixedFields);
    for (const csICCTag* description : {manufacturerDescription, modelDescription}) {
        if (description != nullptr && description->data() != nullptr)
            bytes.insert(bytes.end(), description->data(),
                         description->data() + description->size());
        else
            bytes.insert(bytes.end(), 12, 0);
    }
    writeU32(bytes.data() + 8, count() + 1);
    setData(static_cast<std::uint32_t>(bytes.size()), bytes.data());
}
