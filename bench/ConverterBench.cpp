// The profile converter against Little CMS 2, in the same run, on ghostscript's default_cmyk.icc
// and on the sample CMYK profile:
//   double1  one CMYK pixel per call on doubles, as the search converts
//   batch16  one million CMYK pixels on 16-bit samples
//   planar16 the same pixels in one plane per channel, through the A2B1 lut itself (lut16 only:
//            the converter converts interleaved samples)
//   prepare  reading the profile from memory and preparing a converter

#include "BenchSupport.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csICCmft2Interpolator.h"
#include "csLog.h"

#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int batch = 1000000;

// Device values the search would visit: percent, spread over the whole cube.
std::vector<double> percentPixels(int count) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> percent(0, 100);
    std::vector<double> pixels(4 * std::size_t(count));
    for (double& v : pixels)
        v = percent(random);
    return pixels;
}

void oursDouble(benchmark::State& state, const BenchProfile* p) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    csICCProfile profile;
    profile.setProfile(bytes.data(), bytes.size());
    csICCProfileConverter converter(&profile, 0, 1, 0);
    converter.prepare();
    const std::vector<double> pixels = percentPixels(1024);
    std::size_t i = 0;
    for (auto _ : state) {
        double in[4], out[3];
        for (int c = 0; c < 4; ++c)
            in[c] = pixels[4 * i + c] * 655.35;
        converter.convert(in, out, 1);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & 1023;
    }
    state.SetItemsProcessed(state.iterations());
    clearLog();
}

void lcmsDouble(benchmark::State& state, const BenchProfile* p) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    cmsHPROFILE device =
        cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    cmsHTRANSFORM transform = cmsCreateTransform(device, TYPE_CMYK_DBL, lab, TYPE_Lab_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0);
    const std::vector<double> pixels = percentPixels(1024);
    std::size_t i = 0;
    for (auto _ : state) {
        double out[3];
        cmsDoTransform(transform, &pixels[4 * i], out, 1);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & 1023;
    }
    state.SetItemsProcessed(state.iterations());
    cmsDeleteTransform(transform);
    cmsCloseProfile(lab);
    cmsCloseProfile(device);
}

std::vector<std::uint16_t> sixteenBitPixels() {
    std::mt19937 random(7);
    std::vector<std::uint16_t> pixels(4 * std::size_t(batch));
    for (auto& v : pixels)
        v = static_cast<std::uint16_t>(random());
    return pixels;
}

void oursBatch16(benchmark::State& state, const BenchProfile* p) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    csICCProfile profile;
    profile.setProfile(bytes.data(), bytes.size());
    csICCProfileConverter converter(&profile, 0, 1, 0);
    converter.prepare();
    const std::vector<std::uint16_t> pixels = sixteenBitPixels();
    std::vector<std::uint16_t> work(pixels.size()), out(3 * std::size_t(batch));
    for (auto _ : state) {
        // Our conversion works in place on its input, so each round starts from a fresh copy.
        std::memcpy(work.data(), pixels.data(), pixels.size() * sizeof(std::uint16_t));
        converter.convert(work.data(), out.data(), batch);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * batch);
    clearLog();
}

// The 16-bit pixels of sixteenBitPixels, one plane per channel.
std::vector<std::vector<std::uint16_t>> planesOf(const std::vector<std::uint16_t>& pixels) {
    std::vector<std::vector<std::uint16_t>> planes(4, std::vector<std::uint16_t>(batch));
    for (std::size_t i = 0; i < std::size_t(batch); ++i)
        for (std::size_t c = 0; c < 4; ++c)
            planes[c][i] = pixels[4 * i + c];
    return planes;
}

// Interleaved, or one plane after the other in a single buffer when planar.
void lcmsBatch16(benchmark::State& state, const BenchProfile* p, bool planar) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    cmsHPROFILE device =
        cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    const cmsUInt32Number planes = PLANAR_SH(planar ? 1 : 0);
    cmsHTRANSFORM transform = cmsCreateTransform(
        device, TYPE_CMYK_16 | planes, lab, TYPE_Lab_16 | planes, INTENT_RELATIVE_COLORIMETRIC, 0);
    std::vector<std::uint16_t> pixels = sixteenBitPixels();
    if (planar) {
        const std::vector<std::vector<std::uint16_t>> separate = planesOf(pixels);
        pixels.clear();
        for (const std::vector<std::uint16_t>& plane : separate)
            pixels.insert(pixels.end(), plane.begin(), plane.end());
    }
    std::vector<std::uint16_t> out(3 * std::size_t(batch));
    for (auto _ : state) {
        cmsDoTransform(transform, pixels.data(), out.data(), batch);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * batch);
    cmsDeleteTransform(transform);
    cmsCloseProfile(lab);
    cmsCloseProfile(device);
}

void oursPlanar16(benchmark::State& state, const BenchProfile* p) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    csICCProfile profile;
    profile.setProfile(bytes.data(), bytes.size());
    auto* tag = dynamic_cast<csICCmft2Tag*>(profile.findTag(Signature("A2B1")));
    if (tag == nullptr) {
        state.SkipWithError("no lut16 A2B1");
        return;
    }
    csICCmft2Interpolator lut(tag);
    const std::vector<std::vector<std::uint16_t>> planes = planesOf(sixteenBitPixels());
    std::vector<std::vector<std::uint16_t>> work = planes,
                                            out(3, std::vector<std::uint16_t>(batch));
    std::uint16_t* const in[4] = {work[0].data(), work[1].data(), work[2].data(), work[3].data()};
    std::uint16_t* const results[3] = {out[0].data(), out[1].data(), out[2].data()};
    for (auto _ : state) {
        // The input tables work in place, so each round starts from a fresh copy.
        for (int c = 0; c < 4; ++c)
            std::memcpy(in[c], planes[c].data(), batch * sizeof(std::uint16_t));
        lut.convert(in, results, batch);
        benchmark::DoNotOptimize(results[0]);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

void oursPrepare(benchmark::State& state, const BenchProfile* p) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    for (auto _ : state) {
        csICCProfile profile;
        profile.setProfile(bytes.data(), bytes.size());
        csICCProfileConverter converter(&profile, 0, 1, 0);
        benchmark::DoNotOptimize(converter.prepare());
        clearLog();
    }
    state.SetItemsProcessed(state.iterations());
}

void lcmsPrepare(benchmark::State& state, const BenchProfile* p) {
    const std::vector<std::uint8_t> bytes = readFile(p->path);
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    for (auto _ : state) {
        cmsHPROFILE device =
            cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
        cmsHTRANSFORM transform = cmsCreateTransform(device, TYPE_CMYK_DBL, lab, TYPE_Lab_DBL,
                                                     INTENT_RELATIVE_COLORIMETRIC, 0);
        benchmark::DoNotOptimize(transform);
        cmsDeleteTransform(transform);
        cmsCloseProfile(device);
    }
    state.SetItemsProcessed(state.iterations());
    cmsCloseProfile(lab);
}

} // namespace

void registerConverterBenchmarks() {
    for (const BenchProfile& p : benchProfiles) {
        const std::string suffix = std::string("/") + p.name;
        benchmark::RegisterBenchmark(("ours/double1" + suffix).c_str(), oursDouble, &p);
        benchmark::RegisterBenchmark(("lcms2/double1" + suffix).c_str(), lcmsDouble, &p);
        benchmark::RegisterBenchmark(("ours/batch16" + suffix).c_str(), oursBatch16, &p)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("lcms2/batch16" + suffix).c_str(), lcmsBatch16, &p, false)
            ->Unit(benchmark::kMillisecond);
        if (std::string(p.name) != "v4_cmyk") {
            benchmark::RegisterBenchmark(("ours/planar16" + suffix).c_str(), oursPlanar16, &p)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("lcms2/planar16" + suffix).c_str(), lcmsBatch16, &p, true)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("ours/prepare" + suffix).c_str(), oursPrepare, &p)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("lcms2/prepare" + suffix).c_str(), lcmsPrepare, &p)
            ->Unit(benchmark::kMicrosecond);
    }
}
