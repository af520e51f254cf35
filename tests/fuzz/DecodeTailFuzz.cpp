// The decode tail on untrusted bytes: the payload read from an image (a
// zlib stream as the key made it) and the stored name behind it.
//
// Input layout: 3 bytes, little-endian, whose low 20 bits plus one are the
// output cap (1 byte to 1 MiB); 1 byte n; n bytes of stored name (fewer
// when the input ends); the rest is the payload.
//
// Checked: the capped inflate gives the same verdict and bytes as zlib's
// one-shot uncompress into a buffer of cap bytes; the delivery turns that
// into the matching outcome and offers a file only under a safe bare name;
// the name field an encoder stores is the last component, at most 50 bytes,
// and still UTF-8 when the name was.

#include "FuzzChecks.h"
#include "QuietFrontend.h"
#include "core/ByteOrder.h"
#include "engine/CappedInflate.h"
#include "engine/ContainerFormat.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"
#include "io/Utf8.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace {

using namespace lumaquill;

constexpr size_t kCapBytes = 3;
constexpr uint32_t kCapMask = 0xFFFFF;

struct TailInput {
    uint64_t Cap = 0;
    std::string Name;
    const uint8_t* Payload = nullptr;
    size_t PayloadSize = 0;
};

std::optional<TailInput> Split(const uint8_t* data, size_t size)
{
    if (size < kCapBytes + 1)
        return std::nullopt;
    TailInput input;
    const uint32_t capBits = Load16Le(data) | (uint32_t { data[2] } << 16);
    input.Cap = (capBits & kCapMask) + 1;
    const size_t nameBytes = std::min<size_t>(data[kCapBytes], size - kCapBytes - 1);
    const auto* name = reinterpret_cast<const char*>(data + kCapBytes + 1);
    input.Name.assign(name, nameBytes);
    input.Payload = data + kCapBytes + 1 + nameBytes;
    input.PayloadSize = size - kCapBytes - 1 - nameBytes;
    return input;
}

// zlib's own one-shot verdict, and its bytes when it succeeds.
std::optional<std::vector<uint8_t>> Uncompress(const TailInput& input)
{
    // Left uninitialised: only the bytes zlib reports as written are kept.
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(input.Cap)]);
    uLongf length = static_cast<uLongf>(input.Cap);
    if (uncompress(buffer.get(), &length, input.Payload, static_cast<uLong>(input.PayloadSize)) != Z_OK)
        return std::nullopt;
    return std::vector<uint8_t>(buffer.get(), buffer.get() + length);
}

class RecordingSavePrompt : public SavePrompt {
public:
    std::optional<std::string> AskSavePath(const std::string& offeredName) override
    {
        LUMAQUILL_FUZZ_CHECK(fuzz::IsSafeBareName(offeredName));
        Offered = offeredName;
        return std::nullopt;
    }
    std::optional<std::string> Offered;
};

void CheckDelivery(const TailInput& input, const std::optional<std::vector<uint8_t>>& expected)
{
    static StegEngine engine;
    fuzz::QuietFrontend front;
    RecordingSavePrompt save;
    engine.SetFrontend(front.With(&save));
    std::string holder = "not yet";
    const DecodeOutcome outcome
        = engine.DeliverPayload(input.Payload, input.PayloadSize, input.Name, input.Cap, holder);
    LUMAQUILL_FUZZ_CHECK(front.Idle());
    if (!expected) {
        LUMAQUILL_FUZZ_CHECK(outcome == NothingDecoded && !save.Offered);
        return;
    }
    if (input.Name.empty()) {
        const auto end = std::find(expected->begin(), expected->end(), uint8_t { 0 });
        LUMAQUILL_FUZZ_CHECK(outcome == TextDecoded && holder == std::string(expected->begin(), end));
        return;
    }
    LUMAQUILL_FUZZ_CHECK(outcome == FileWritten && holder.empty());
    LUMAQUILL_FUZZ_CHECK(save.Offered == SafeFileName(input.Name));
}

std::string_view LastComponent(std::string_view name)
{
    const size_t separator = name.find_last_of("\\/");
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

// The stored field keeps the last component whole when it fits; a longer one
// is cut, either plainly or before a kept extension, never past the limit
// and never into a UTF-8 character.
void CheckField(const std::string& name, uint32_t limit)
{
    const std::string field = StoredNameField(name, limit);
    const std::string_view component = LastComponent(name);
    LUMAQUILL_FUZZ_CHECK(field.size() <= limit);
    if (component.size() <= limit) {
        LUMAQUILL_FUZZ_CHECK(field == component);
        return;
    }
    const size_t dot = component.find_last_of('.');
    const bool keptExtension = dot != std::string_view::npos && dot > 0 && field.size() >= component.size() - dot
        && std::string_view(field).substr(field.size() - (component.size() - dot)) == component.substr(dot);
    const std::string_view stem
        = keptExtension ? std::string_view(field).substr(0, field.size() - (component.size() - dot)) : field;
    LUMAQUILL_FUZZ_CHECK(component.substr(0, stem.size()) == stem);
    LUMAQUILL_FUZZ_CHECK(!IsValidUtf8(component) || IsValidUtf8(field));
    LUMAQUILL_FUZZ_CHECK(fuzz::IsSafeBareName(SafeFileName(field)));
}

void CheckNameRules(const std::string& name)
{
    LUMAQUILL_FUZZ_CHECK(fuzz::IsSafeBareName(SafeFileName(name)));
    CheckField(name, container::kMaxNameBytes);
    CheckField(name, container::kMaxNoiseNameBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<TailInput> input = Split(data, size);
    if (!input)
        return 0;
    const std::optional<std::vector<uint8_t>> expected = Uncompress(*input);
    std::vector<uint8_t> inflated;
    const InflateResult result = InflateCapped(input->Payload, input->PayloadSize, input->Cap, inflated);
    LUMAQUILL_FUZZ_CHECK(result != InflateResult::OutOfMemory);
    LUMAQUILL_FUZZ_CHECK((result == InflateResult::Complete) == expected.has_value());
    LUMAQUILL_FUZZ_CHECK(!expected || inflated == *expected);
    CheckDelivery(*input, expected);
    CheckNameRules(input->Name);
    return 0;
}
