#pragma once

#include <cstdint>

// One point of a diagram's list: its data position and the caller's identifier for it.
struct MyPoint {
    double x = 0;
    double y = 0;
    std::uint32_t tag = 0;
};
