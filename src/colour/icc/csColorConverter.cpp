#include "csColorConverter.h"

#include <atomic>

csColorConverter::~csColorConverter() = default;

const char* csColorConverter::description() const { return descriptionText(); }

void csColorConverter::setPrepared(bool ready) {
    static std::atomic<std::uint64_t> preparations{0};
    preparation_ = ready ? ++preparations : 0;
}
