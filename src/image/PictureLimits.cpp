#include "image/PictureLimits.h"

namespace lumaquill::limits {

namespace {

constexpr uint64_t kMebibyte = uint64_t(1) << 20;

} // namespace

std::string Text()
{
    return "at most " + std::to_string(kMaxSide) + " pixels a side, " + std::to_string(kMaxPixels) + " pixels and "
        + std::to_string(kMaxRowBytes / kMebibyte) + " MiB of pixel rows";
}

std::string MemoryText()
{
    return "decoding it would take more than " + std::to_string(kMaxDecodeMemoryBytes / kMebibyte)
        + " MiB of working memory";
}

} // namespace lumaquill::limits
