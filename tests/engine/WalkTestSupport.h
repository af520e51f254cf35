#pragma once

// Small in-memory containers and a recording progress display for the walk
// and embedding tests.

#include "core/ByteOrder.h"
#include "core/ProgressSink.h"
#include "engine/StegEngine.h"

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace lumaquill::walktest {

inline uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue)
{
    return (red << 16) | (green << 8) | blue;
}
inline int Red(uint32_t colour)
{
    return (colour >> 16) & 0xFF;
}
inline int Green(uint32_t colour)
{
    return (colour >> 8) & 0xFF;
}
inline int Blue(uint32_t colour)
{
    return colour & 0xFF;
}

// A bottom-up, uncompressed bitmap file whose pixel (x, y) (y from 1 at the
// top) has the colour fill(x, y); 32-bit pixels get the fourth byte 0xA7 so
// that tests can see it is kept.
inline std::string MakeBitmap(
    int32_t width, int32_t height, uint16_t bits, const std::function<uint32_t(int32_t, int32_t)>& fill)
{
    constexpr uint8_t kFourthByte = 0xA7;
    const uint32_t stride = ((uint32_t(bits) * uint32_t(width) + 31) / 32) * 4;
    const uint32_t bytesPerPixel = bits / 8;
    std::vector<uint8_t> file(54 + size_t(stride) * uint32_t(height), 0);
    uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    Store32Le(p + 2, uint32_t(file.size()));
    Store32Le(p + 10, 54);
    Store32Le(p + 14, 40);
    Store32Le(p + 18, uint32_t(width));
    Store32Le(p + 22, uint32_t(height));
    Store16Le(p + 26, 1);
    Store16Le(p + 28, bits);
    Store32Le(p + 34, stride * uint32_t(height));
    for (int32_t y = 1; y <= height; ++y) {
        uint8_t* row = p + 54 + size_t(height - y) * stride;
        for (int32_t x = 0; x < width && bytesPerPixel >= 3; ++x) {
            const uint32_t colour = fill(x, y);
            uint8_t* pixel = row + size_t(x) * bytesPerPixel;
            pixel[0] = uint8_t(colour);
            pixel[1] = uint8_t(colour >> 8);
            pixel[2] = uint8_t(colour >> 16);
            if (bytesPerPixel == 4)
                pixel[3] = kFourthByte;
        }
    }
    return std::string(file.begin(), file.end());
}

inline std::string MakeFlatBitmap(int32_t width, int32_t height, uint16_t bits, uint32_t colour)
{
    return MakeBitmap(width, height, bits, [colour](int32_t, int32_t) { return colour; });
}

// What LoadContainer does after reading a usable file, from memory.
inline bool LoadFromBytes(StegEngine& engine, const std::string& bytes)
{
    std::istringstream file(bytes);
    engine.Read(file);
    if (!engine.IsUsableContainer())
        return false;
    engine.UsedPixels.Resize(engine.Width(), engine.Height());
    engine.FallbackScan = false;
    return true;
}

inline std::string SaveToBytes(StegEngine& engine)
{
    std::ostringstream file;
    engine.Write(file);
    return file.str();
}

// Starts a walk as the runs do: fresh map, no fallback, position from the
// walk.
inline void StartWalk(StegEngine& engine)
{
    engine.UsedPixels.Reset();
    engine.FallbackScan = false;
    const Position first = engine.NextPosition();
    engine.CurX = first.X;
    engine.CurY = first.Y;
    engine.WriteByteIndex = 0;
    engine.ReadByteIndex = 0;
}

} // namespace lumaquill::walktest
