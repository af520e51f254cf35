#pragma once

#include "image/DibBuilder.h"
#include "image/DibImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumaquill::bench {

inline uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    return x ^ (x >> 16);
}

// Smooth sky at the top, textured ground below, sensor noise everywhere:
// deterministic, so every run codes the same picture.
inline DibImage PhotoLike(uint32_t width, uint32_t height)
{
    DibBuilder builder;
    builder.Start(width, height, 24);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = builder.TopRow(y);
        const bool ground = y > height / 3;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t h = Hash(y * width + x);
            const double wave = 40.0 * std::sin(x * 0.05) * std::cos(y * 0.031);
            for (uint32_t c = 0; c < 3; ++c) {
                const double base = 60.0 + 120.0 * y / height + 20.0 * c;
                const double texture = ground ? wave + double((h >> (8 * c)) % 41) - 20.0 : 0.0;
                const double noise = double((h >> 24) % 5) - 2.0;
                row[3 * x + c] = uint8_t(std::clamp(base + texture + noise, 0.0, 255.0));
            }
        }
    }
    DibImage image;
    builder.Finish(image);
    return image;
}

} // namespace lumaquill::bench
