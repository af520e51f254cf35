#include "image/JpegCoefficients.h"

namespace lumaquill {

uint64_t JpegCoefficients::NonZeroAc() const
{
    uint64_t count = 0;
    for (size_t i = 0; i < Values.size(); ++i)
        count += (i % kBlockCoefficients != 0 && Values[i] != 0) ? 1 : 0;
    return count;
}

namespace {

// Chroma components sampled alike and at 1 x 1: the usual layouts, named
// by the luma component's factors.
std::string NamedSubsampling(uint8_t h, uint8_t v)
{
    if (h == 1 && v == 1)
        return "4:4:4";
    if (h == 2 && v == 1)
        return "4:2:2";
    if (h == 2 && v == 2)
        return "4:2:0";
    if (h == 1 && v == 2)
        return "4:4:0";
    if (h == 4 && v == 1)
        return "4:1:1";
    return {};
}

} // namespace

std::string JpegCoefficients::Subsampling() const
{
    if (Components.size() == 1)
        return "greyscale";
    bool chromaPlain = true;
    for (size_t c = 1; c < Components.size(); ++c)
        chromaPlain = chromaPlain && Components[c].HorizontalSampling == 1 && Components[c].VerticalSampling == 1;
    if (chromaPlain && !Components.empty()) {
        std::string named = NamedSubsampling(Components[0].HorizontalSampling, Components[0].VerticalSampling);
        if (!named.empty())
            return named;
    }
    std::string factors;
    for (const Component& component : Components) {
        if (!factors.empty())
            factors += ", ";
        factors += std::to_string(component.HorizontalSampling) + "x" + std::to_string(component.VerticalSampling);
    }
    return factors;
}

} // namespace lumaquill
