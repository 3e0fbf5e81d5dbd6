#pragma once

// Profiles for tests, made with the library: a header's class and spaces, tags from raw blocks,
// and files to read and write.

#include "csICCProfile.h"
#include "csICCTag.h"
#include "tagFactory.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

inline Signature signatureOf(const std::string& code) {
    return Signature::read(reinterpret_cast<const std::uint8_t*>(code.c_str()));
}

inline void setHeader(csICCProfile& profile, const char* deviceClass, const char* space,
                      const char* pcs) {
    profile.header().setDeviceClass(signatureOf(deviceClass));
    profile.header().setColorSpace(signatureOf(space));
    profile.header().setPcs(signatureOf(pcs));
}

// The tag the factory makes of the block, under the given signature.
inline std::unique_ptr<csICCTag> tagOf(const std::string& name,
                                       const std::vector<std::uint8_t>& block) {
    return std::unique_ptr<csICCTag>(tagFactory(
        nullptr, signatureOf(name), static_cast<std::uint32_t>(block.size()), block.data()));
}

inline int addBlock(csICCProfile& profile, const std::string& name,
                    const std::vector<std::uint8_t>& block) {
    const std::unique_ptr<csICCTag> tag = tagOf(name, block);
    return tag == nullptr ? -1 : profile.addTag(*tag);
}

inline int readProfile(csICCProfile& profile, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return -1;
    const int status = profile.setProfile(file);
    std::fclose(file);
    return status;
}

inline int writeProfile(csICCProfile& profile, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return -1;
    const int status = profile.writeToFile(file);
    std::fclose(file);
    return status;
}

inline std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}
