#include "ProfileExercise.h"

#include "csICCLutABTag.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csICCXYZTag.h"
#include "csICCdescTag.h"
#include "csICCmlucTag.h"
#include "csICCncl2Tag.h"
#include "csICCpseqTag.h"
#include "csICCpsidTag.h"
#include "csICCtextTag.h"
#include "csLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Keeps results alive so that the accessors are really called.
volatile std::uint64_t sink;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "profile exercise: %s\n", what);
        std::abort();
    }
}

void useXYZ(const csICCXYZTag& tag) {
    for (unsigned i = 0; i <= tag.count() && i < 64; ++i) {
        csXYZNumber xyz;
        std::int32_t x = 0, y = 0, z = 0;
        // Sums wrap as unsigned numbers; only the calls matter.
        const std::int64_t values[] = {tag.getXYZ(i, xyz), tag.getXYZRaw(i, x, y, z),
                                       tag.getXRaw(i), tag.getYRaw(i), tag.getZRaw(i)};
        for (std::int64_t value : values)
            sink = sink + static_cast<std::uint64_t>(value);
        sink = sink + static_cast<std::uint64_t>(static_cast<std::int64_t>(tag.getX(i)) +
                                                 static_cast<std::int64_t>(tag.getY(i)) +
                                                 static_cast<std::int64_t>(tag.getZ(i)));
    }
    csICCXYZTag copy(tag);
    copy.setXYZ(0, 1.0f, 2.0f, 3.0f);
    copy.setZRaw(copy.count(), 1);
}

void useDesc(const csICCdescTag& tag) {
    sink = sink + tag.asciiText().size() + tag.asciiCount() + tag.unicodeLanguage() +
           tag.unicodeCount() + tag.unicodeText().size() + tag.scriptCodeCode() +
           tag.scriptCodeCount();
}

void useMluc(const csICCmlucTag& tag) {
    const unsigned records = tag.numberOfRecords();
    for (unsigned i = 0; i < records && i < 64; ++i) {
        sink = sink + tag.text(i).size() + tag.nameOffset(i) + tag.nameLength(i) +
               static_cast<std::uint64_t>(tag.indexOf(tag.language(i), tag.country(i)));
    }
    csICCmlucTag copy(tag);
    copy.addRecord(csICCmlucTag::code("zz"), csICCmlucTag::code("ZZ"), u"fuzz");
    if (copy.numberOfRecords() > 0)
        copy.removeRecord(0);
    if (copy.numberOfRecords() > 0)
        copy.removeRecord(copy.numberOfRecords() - 1);
    check(csICCmlucTag::measure(copy.data(), copy.size()) != 0 || copy.numberOfRecords() == 0,
          "an edited mluc no longer measures");
}

void usePseq(const csICCpseqTag& tag) {
    const unsigned count = tag.count();
    for (unsigned i = 0; i < count && i < 64; ++i) {
        Signature manufacturer, model, technology;
        std::uint64_t attributes = 0;
        sink = sink + tag.findDescriptionOffset(i) +
               static_cast<std::uint64_t>(
                   tag.readEntry(i, &manufacturer, &model, &attributes, &technology));
    }
}

void usePsid(const csICCpsidTag& tag) {
    for (unsigned i = 0; i < tag.count() && i < 64; ++i) {
        std::uint32_t offset = 0, size = 0;
        if (tag.entry(i, &offset, &size))
            sink = sink + offset + size;
    }
}

void useNcl2(const csICCncl2Tag& tag) {
    sink = sink + tag.prefix().size() + tag.suffix().size() + tag.vendorFlag();
    // One probe past the end as well.
    for (unsigned i = 0; i <= tag.count() && i < 64; ++i) {
        std::uint16_t pcs[3] = {}, device[15] = {};
        sink = sink + tag.fullName(i).size() + static_cast<std::uint64_t>(tag.pcs(i, pcs)) +
               static_cast<std::uint64_t>(tag.device(i, device)) + pcs[0] + device[0];
    }
}

void useLutAB(const csICCLutABTag& tag) {
    sink = sink + tag.inputChannels() + tag.outputChannels() + tag.curvesA().size() +
           tag.curvesM().size() + tag.curvesB().size() + tag.isAToB() +
           static_cast<std::uint64_t>(tag.hasMatrix() && tag.matrix()[0] > 0);
    if (tag.hasCLUT()) {
        // The first and the last grid point of every output.
        std::uint32_t points = 1;
        for (unsigned k = 0; k < tag.inputChannels(); ++k)
            points *= tag.gridPoints(k);
        for (unsigned c = 0; c < tag.outputChannels(); ++c)
            sink = sink +
                   static_cast<std::uint64_t>(tag.clutValue(0, c) + tag.clutValue(points - 1, c));
    }
}

void useTags(const csICCProfile& profile) {
    for (unsigned i = 0; i < profile.numTags(); ++i) {
        const csICCTag* tag = profile.tagAt(i);
        check(tag != nullptr, "a table without its entry");
        // Only a corrupt descriptive tag is kept without data, and then it has no size either.
        check(tag->data() != nullptr || tag->size() == 0, "a tag with a size but no data");
        sink = sink + tag->size() + tag->signature().word();
        if (tag->size() >= 4)
            sink = sink + tag->typeSignature().word();
        if (const auto* xyz = dynamic_cast<const csICCXYZTag*>(tag))
            useXYZ(*xyz);
        else if (const auto* desc = dynamic_cast<const csICCdescTag*>(tag))
            useDesc(*desc);
        else if (const auto* mluc = dynamic_cast<const csICCmlucTag*>(tag))
            useMluc(*mluc);
        else if (const auto* pseq = dynamic_cast<const csICCpseqTag*>(tag))
            usePseq(*pseq);
        else if (const auto* psid = dynamic_cast<const csICCpsidTag*>(tag))
            usePsid(*psid);
        else if (const auto* ncl2 = dynamic_cast<const csICCncl2Tag*>(tag))
            useNcl2(*ncl2);
        else if (const auto* lut = dynamic_cast<const csICCLutABTag*>(tag))
            useLutAB(*lut);
        else if (const auto* text = dynamic_cast<const csICCtextTag*>(tag))
            sink = sink + text->text().size();
        // Bad-index probes add log entries; a thousand tags must not fill the log.
        clearLog();
    }
}

void useHeader(const csICCProfile& profile) {
    const csICCProfileHeader& h = profile.header();
    std::uint8_t id[16];
    h.profileID(id);
    std::int32_t x, y, z;
    h.illuminantRaw(&x, &y, &z);
    sink = sink + h.profileSize() + h.majorVersion() + h.minorVersion() + h.bugFixVersion() +
           h.flags() + h.attributes() + h.renderingIntent() + h.dateTime().year + id[0] +
           std::strlen(h.colorSpaceText()) + std::strlen(h.pcsText()) + profile.pcsChannels() +
           profile.colorSpaceChannels();
    for (int level = 0; level <= 3; ++level)
        sink = sink + profile.isValid(level);
    sink = sink + profile.hasRequiredTags();
}

// Every direction with the intents and white modes the application uses; a few pixels through
// each converter that prepares, on doubles and, for the first setting, on 16-bit samples. The
// buffers are exactly as large as the converter's channel counts say, so a lut that reads or
// writes one value more than it declares is a sanitizer report.
void useConverters(csICCProfile& profile) {
    static const unsigned settings[][2] = {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {7, 2}};
    constexpr unsigned pixels = 3;
    for (unsigned direction = 0; direction < 3; ++direction) {
        for (const auto& [intent, whiteMode] : settings) {
            csICCProfileConverter converter(&profile, direction, intent, whiteMode);
            if (converter.prepare() == 0) {
                const unsigned in = converter.inputChannels(), out = converter.outputChannels();
                check(in >= 1 && in <= 15 && out >= 1 && out <= 15,
                      "a converter with channel counts outside 1..15");
                std::vector<double> doubles(pixels * in), results(pixels * out);
                for (unsigned k = 0; k < doubles.size(); ++k)
                    doubles[k] = (k * 40503u) % 65536;
                check(converter.convert(doubles.data(), results.data(), pixels) == 0,
                      "a prepared converter refused its own pixels");
                sink = sink + static_cast<std::uint64_t>(results[0] == results[0]);
                // 16-bit PCS-to-device conversions of a parametric TRC build a 65536-entry
                // inverse table by root finding, seconds under the sanitizers: they are left to
                // the tests, so that the fuzzer keeps its pace.
                if (intent == 0 && whiteMode == 0 && direction != 1) {
                    std::vector<std::uint16_t> samples(pixels * in), outputs(pixels * out);
                    for (unsigned k = 0; k < samples.size(); ++k)
                        samples[k] = static_cast<std::uint16_t>(k * 40503u);
                    converter.convert(samples.data(), outputs.data(), pixels);
                    sink = sink + outputs[0];
                }
                // A stride of 0 means the channel count, so one channel has no narrower pixel.
                const int inStride = static_cast<int>(in), outStride = static_cast<int>(out);
                check((in == 1 || converter.convert(doubles.data(), results.data(), 1, inStride - 1,
                                                    outStride) != 0) &&
                          (out == 1 || converter.convert(doubles.data(), results.data(), 1,
                                                         inStride, outStride - 1) != 0),
                      "a converter took a pixel narrower than its channels");
            }
            clearLog();
        }
    }
}

void roundTrip(csICCProfile& profile) {
    std::vector<std::uint8_t> written;
    if (profile.writeToMemory(written) != 0)
        return; // a profile read with an empty tag list has nothing to lay out
    csICCProfile again;
    check(again.setProfile(written.data(), written.size()) == 0, "a written profile is refused");
    // Tags without data are left out.
    std::vector<const csICCTag*> kept;
    for (unsigned i = 0; i < profile.numTags(); ++i)
        if (profile.tagAt(i)->data() != nullptr)
            kept.push_back(profile.tagAt(i));
    check(again.numTags() == kept.size(), "the tag count changed in writing");
    for (unsigned i = 0; i < kept.size(); ++i) {
        const csICCTag* before = kept[i];
        const csICCTag* after = again.tagAt(i);
        check(after->signature() == before->signature(), "a signature changed in writing");
        check(after->size() == before->size() &&
                  std::memcmp(after->data(), before->data(), before->size()) == 0,
              "tag data changed in writing");
    }
}

} // namespace

void exerciseProfileBytes(const std::uint8_t* data, std::size_t size) {
    {
        csICCProfile profile;
        if (profile.setProfile(data, size) == 0) {
            useHeader(profile);
            useTags(profile);
            useConverters(profile);
            roundTrip(profile);
        } else {
            check(profile.numTags() == 0, "a refused profile kept tags");
        }
        clearLog();
    }
    if (size > 0) {
        // The file path, with its size correction.
        std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
        if (file != nullptr) {
            csICCProfile profile;
            if (profile.setProfile(file) == 0)
                useTags(profile);
            std::fclose(file);
        }
    }
    clearLog();
}
