#include "tagFactory.h"

#include "csICCXYZTag.h"
#include "csICCcurvTag.h"
#include "csICCdescTag.h"
#include "csICCmABTag.h"
#include "csICCmBATag.h"
#include "csICCmft1Tag.h"
#include "csICCmft2Tag.h"
#include "csICCmlucTag.h"
#include "csICCncl2Tag.h"
#include "csICCparaTag.h"
#include "csICCpseqTag.h"
#include "csICCpsidTag.h"
#include "csICCtextTag.h"
#include "csLog.h"

namespace {

// A tag that stands in the table under its signature but holds no data.
csICCTag* withoutData(Signature signature) {
    auto* tag = new csICCTag;
    tag->setSignature(signature);
    return tag;
}

} // namespace

csICCTag* tagFactory(const csICCTagTable* /*table*/, Signature signature, std::uint32_t size,
                     const std::uint8_t* data) {
    if (data == nullptr) {
        logError("null pointer", "tagFactory called with null pointer to data block!");
        return nullptr;
    }
    if (size < 4)
        return new csICCTag(signature, size, data);

    const Signature type = Signature::read(data);
    if (type == Signature("XYZ "))
        return new csICCXYZTag(signature, size, data);
    if (type == Signature("curv"))
        return csICCcurvTag::validate(data, size) ? new csICCcurvTag(signature, size, data)
                                                  : nullptr;
    if (type == Signature("para"))
        return csICCparaTag::validate(data, size) ? new csICCparaTag(signature, size, data)
                                                  : nullptr;
    if (type == Signature("mft1"))
        return csICCmft1Tag::validate(data, size) ? new csICCmft1Tag(signature, size, data)
                                                  : nullptr;
    if (type == Signature("mft2"))
        return csICCmft2Tag::validate(data, size) ? new csICCmft2Tag(signature, size, data)
                                                  : nullptr;
    // A malformed "mAB " or "mBA " is refused as a lut (with the error entry) but kept as plain
    // data, as before these types were read: real profiles carry such tags in places that are
    // never converted through, such as the B2A0 of a named colour profile.
    if (type == Signature("mAB "))
        return csICCmABTag::validate(data, size) ? new csICCmABTag(signature, size, data)
                                                 : new csICCTag(signature, size, data);
    if (type == Signature("mBA "))
        return csICCmBATag::validate(data, size) ? new csICCmBATag(signature, size, data)
                                                 : new csICCTag(signature, size, data);
    if (type == Signature("text"))
        return new csICCtextTag(signature, size, data);
    // Nothing is computed from the descriptive tags: a corrupt one (with its error entry) is kept
    // without data, and the rest of the profile stays usable.
    if (type == Signature("desc")) {
        const std::uint32_t measured = csICCdescTag::measure(data, size, true);
        return measured == 0 ? withoutData(signature) : new csICCdescTag(signature, measured, data);
    }
    if (type == Signature("mluc")) {
        const std::uint32_t measured = csICCmlucTag::measure(data, size);
        return measured == 0 ? withoutData(signature) : new csICCmlucTag(signature, measured, data);
    }
    if (type == Signature("pseq"))
        return csICCpseqTag::validate(data, size) ? new csICCpseqTag(signature, size, data)
                                                  : withoutData(signature);
    if (type == Signature("psid"))
        return csICCpsidTag::validate(data, size) ? new csICCpsidTag(signature, size, data)
                                                  : withoutData(signature);
    if (type == Signature("ncl2"))
        return csICCncl2Tag::validate(data, size) ? new csICCncl2Tag(signature, size, data)
                                                  : nullptr;
    return new csICCTag(signature, size, data);
}
