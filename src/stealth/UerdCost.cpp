#include "stealth/UerdCost.h"

#include "image/JpegCoefficients.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>

namespace lumaquill::stealth {

namespace {

constexpr uint32_t kBlock = JpegCoefficients::kBlockCoefficients;
// Natural-order indices of the first horizontal and vertical AC steps.
constexpr size_t kFirstHorizontal = 1;
constexpr size_t kFirstVertical = 8;
constexpr float kNeighbourWeight = 0.25f;

std::vector<float> BlockEnergies(const JpegCoefficients& jpeg, const JpegCoefficients::Component& component)
{
    std::vector<float> energies(component.Blocks());
    const int16_t* values = jpeg.Values.data() + component.First;
    for (uint64_t b = 0; b < energies.size(); ++b, values += kBlock) {
        float energy = 0.0f;
        for (uint32_t k = 1; k < kBlock; ++k)
            energy += float(std::abs(int(values[k]))) * float(component.Quantisation[k]);
        energies[b] = energy;
    }
    return energies;
}

// E(b) plus a quarter of its neighbours' energies, for every block.
std::vector<float> Neighbourhoods(const std::vector<float>& energies, uint32_t width, uint32_t height)
{
    std::vector<float> sums(energies.size());
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            float around = 0.0f;
            for (uint32_t ny = y == 0 ? 0 : y - 1; ny <= std::min(y + 1, height - 1); ++ny)
                for (uint32_t nx = x == 0 ? 0 : x - 1; nx <= std::min(x + 1, width - 1); ++nx)
                    around += (nx == x && ny == y) ? 0.0f : energies[size_t(ny) * width + nx];
            sums[size_t(y) * width + x] = energies[size_t(y) * width + x] + kNeighbourWeight * around;
        }
    }
    return sums;
}

void ComponentCosts(const JpegCoefficients& jpeg, const JpegCoefficients::Component& component, float* costs)
{
    std::array<float, kBlock> steps;
    for (uint32_t k = 0; k < kBlock; ++k)
        steps[k] = float(component.Quantisation[k]);
    steps[0] = 0.5f * (steps[kFirstHorizontal] + steps[kFirstVertical]);
    const std::vector<float> sums
        = Neighbourhoods(BlockEnergies(jpeg, component), component.WidthInBlocks, component.HeightInBlocks);
    for (size_t b = 0; b < sums.size(); ++b, costs += kBlock) {
        for (uint32_t k = 0; k < kBlock; ++k)
            costs[k] = sums[b] > 0.0f ? std::min(UerdCost::kWetCost, steps[k] / sums[b]) : UerdCost::kWetCost;
    }
}

} // namespace

bool UerdCost::Compute(const JpegCoefficients& jpeg, std::vector<float>& costs)
{
    try {
        costs.assign(jpeg.Values.size(), kWetCost);
        for (const JpegCoefficients::Component& component : jpeg.Components)
            ComponentCosts(jpeg, component, costs.data() + component.First);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace lumaquill::stealth
