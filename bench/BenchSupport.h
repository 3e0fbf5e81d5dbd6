#pragma once

// What the benchmarks share: the profiles they run on and reading a file. Every benchmark named
// "ours/X" is paired with "lcms2/X", and the pairs are printed with their ratio at the end.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct BenchProfile {
    const char* name;
    std::string path;
};

inline const BenchProfile benchProfiles[] = {
    {"default_cmyk", "/usr/share/color/icc/ghostscript/default_cmyk.icc"},
    {"sample_cmyk", std::string(TINTORA_SAMPLE_PROFILES) + "/Tintora-Sample-CMYK.icc"},
    // Version 4, written by Little CMS 2: "mAB " A2B0 with a 9x7x8x5 CLUT, "mBA " B2A0.
    {"v4_cmyk", std::string(TINTORA_SOURCE_DIR) + "/fuzz/seeds/v4-printer-mAB-mBA.icc"},
};

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void registerConverterBenchmarks();
void registerSearchBenchmarks();
void registerBatchBenchmarks();
