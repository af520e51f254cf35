#pragma once

#include "core/ByteOrder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill::bench {

// A 24-bit bitmap file built in memory: 54 bytes of headers, then the
// bottom-up rows, each byte at file offset i given by byteAt(i).
template <typename ByteAt> std::string MakeBitmap(int32_t width, int32_t height, ByteAt byteAt)
{
    const uint32_t stride = ((24u * uint32_t(width) + 31) / 32) * 4;
    std::vector<uint8_t> file(54 + size_t(stride) * uint32_t(height));
    for (size_t i = 54; i < file.size(); ++i)
        file[i] = byteAt(i);
    uint8_t* p = file.data();
    std::fill(p, p + 54, uint8_t(0));
    p[0] = 'B';
    p[1] = 'M';
    Store32Le(p + 2, uint32_t(file.size()));
    Store32Le(p + 10, 54);
    Store32Le(p + 14, 40);
    Store32Le(p + 18, uint32_t(width));
    Store32Le(p + 22, uint32_t(height));
    Store16Le(p + 26, 1);
    Store16Le(p + 28, 24);
    return std::string(file.begin(), file.end());
}

} // namespace lumaquill::bench
