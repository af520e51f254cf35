// How close the syndrome-trellis code (h = 7) comes to the rate-distortion
// bound, and how fast its Viterbi embedding runs.
//
// Constant costs (every change costs 1) at relative payloads alpha = m / n
// from 1/2 to 1/20: the embedding efficiency e = alpha / (changes / n)
// against the bound alpha / H^-1(alpha), H the binary entropy; coding loss
// = 1 - e / bound.
//
// A HILL profile (the costs of a 1-megapixel photo-like picture, in a
// random order) at the payloads the program uses, in bits per pixel: the
// total cost of the changes against the least expected cost of any
// embedding, sum of p_i rho_i with p_i = exp(-lambda rho_i) / (1 +
// exp(-lambda rho_i)) and lambda chosen so that the p_i carry m bits.

#include "BenchPhoto.h"
#include "stealth/HillCost.h"
#include "stealth/TrellisCode.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace lumaquill::stealth {
namespace {

constexpr size_t kConstantElements = 200000;

double Entropy(double p)
{
    return p <= 0 || p >= 1 ? 0.0 : -p * std::log2(p) - (1 - p) * std::log2(1 - p);
}

// H^-1 on [0, 1/2] by bisection.
double InverseEntropy(double bits)
{
    double low = 0, high = 0.5;
    for (int i = 0; i < 100; ++i) {
        const double mid = (low + high) / 2;
        (Entropy(mid) < bits ? low : high) = mid;
    }
    return (low + high) / 2;
}

struct Outcome {
    double Cost = 0;
    size_t Changes = 0;
};

Outcome EmbedRandom(const std::vector<float>& costs, size_t bits, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> cover(costs.size()), stego(costs.size()), message(bits);
    for (uint8_t& parity : cover)
        parity = uint8_t(random() & 1);
    for (uint8_t& bit : message)
        bit = uint8_t(random() & 1);
    TrellisCode::Embed(cover, costs, message, stego);
    Outcome outcome;
    for (size_t t = 0; t < costs.size(); ++t)
        if (stego[t] != cover[t]) {
            outcome.Cost += costs[t];
            ++outcome.Changes;
        }
    return outcome;
}

void BM_ConstantCosts(benchmark::State& state)
{
    const size_t denominator = size_t(state.range(0));
    const std::vector<float> costs(kConstantElements, 1.0f);
    const size_t bits = kConstantElements / denominator;
    Outcome outcome;
    for (auto _ : state)
        outcome = EmbedRandom(costs, bits, 1);
    const double alpha = double(bits) / double(kConstantElements);
    const double efficiency = double(bits) / double(outcome.Changes);
    const double bound = alpha / InverseEntropy(alpha);
    state.counters["efficiency"] = efficiency;
    state.counters["bound"] = bound;
    state.counters["loss_pct"] = 100.0 * (1.0 - efficiency / bound);
    state.counters["elements_per_s"]
        = benchmark::Counter(double(kConstantElements), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ConstantCosts)
    ->ArgName("one_in")
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(6)
    ->Arg(8)
    ->Arg(10)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Costs of a 1155 x 866 photo-like picture, shuffled.
const std::vector<float>& HillProfile()
{
    static const std::vector<float> costs = [] {
        std::vector<uint16_t> stored;
        HillCost::Compute(bench::PhotoLike(1155, 866), stored);
        std::vector<float> expanded(stored.size());
        for (size_t i = 0; i < stored.size(); ++i)
            expanded[i] = HillCost::Expand(stored[i]);
        std::shuffle(expanded.begin(), expanded.end(), std::mt19937(2));
        return expanded;
    }();
    return costs;
}

double BoundCost(const std::vector<float>& costs, double bits)
{
    auto carried = [&](double lambda, double* cost) {
        double total = 0;
        double expected = 0;
        for (float rho : costs) {
            const double p = 1.0 / (1.0 + std::exp(lambda * rho));
            total += Entropy(p);
            expected += p * rho;
        }
        if (cost)
            *cost = expected;
        return total;
    };
    double low = 0, high = 1e6;
    for (int i = 0; i < 60; ++i) {
        const double mid = std::sqrt(std::max(low, 1e-9) * high);
        (carried(mid, nullptr) > bits ? low : high) = mid;
    }
    double cost = 0;
    carried(high, &cost);
    return cost;
}

void BM_HillCosts(benchmark::State& state)
{
    const std::vector<float>& costs = HillProfile();
    const double bitsPerPixel = double(state.range(0)) / 100.0;
    const size_t bits = size_t(bitsPerPixel * double(costs.size()) / 3.0);
    Outcome outcome;
    for (auto _ : state)
        outcome = EmbedRandom(costs, bits, 3);
    const double bound = BoundCost(costs, double(bits));
    state.counters["cost"] = outcome.Cost;
    state.counters["bound_cost"] = bound;
    state.counters["excess_pct"] = 100.0 * (outcome.Cost / bound - 1.0);
    state.counters["changed_pct"] = 100.0 * double(outcome.Changes) / double(costs.size());
    state.counters["elements_per_s"]
        = benchmark::Counter(double(costs.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_HillCosts)
    ->ArgName("bpp_x100")
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
} // namespace lumaquill::stealth

BENCHMARK_MAIN();
