#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/StegEngine.h"
#include "keys/RuntimeRandom.h"

#include <cassert>
#include <cstdio>
#include <cstring>

namespace lumaquill {

namespace {

// Channel numbers: the byte of the colour value that holds the channel.
constexpr int kBlue = 0;
constexpr int kGreen = 1;
constexpr int kRed = 2;
constexpr int kChannels = 3;
constexpr int kByteBits = 8;
// The bit modes fill red, then green, then blue.
constexpr int kFillOrder[kChannels] = { kRed, kGreen, kBlue };
// A data pixel whose average reads as the end level has its blue moved by
// this much (bits 3 and up only, so no carrier bit changes).
constexpr int kAvoidanceStep = 8;
constexpr int kAvoidanceUpLimit = 128;
// Whitening values are drawn in 0..255.
constexpr int32_t kWhiteningLow = 0;
constexpr int32_t kWhiteningHigh = 255;
// An end pixel read with ignoreEnd off gives this byte.
constexpr uint8_t kEndByte = 255;

constexpr const char* kEncodingCaption = "Encoding Data";
constexpr const char* kEncodingStepCaption = "Encoding Data. (%lu of %lu bytes)";
constexpr const char* kEncodingDoneCaption = "Encoding Complete";
constexpr const char* kDecodingCaption = "Decoding Data";
constexpr const char* kDecodingDoneCaption = "Decoding Complete";

// The three channel bytes of a colour value; its fourth byte (of a 32-bit
// pixel) is carried along unchanged.
class ChannelPixel {
public:
    explicit ChannelPixel(uint32_t colour)
        : Colour(colour)
    {
    }

    uint32_t Value() const { return Colour; }
    int Get(int channel) const { return (Colour >> (channel * kByteBits)) & 0xFF; }
    void Set(int channel, int value)
    {
        const int shift = channel * kByteBits;
        Colour = (Colour & ~(uint32_t(0xFF) << shift)) | (uint32_t(value & 0xFF) << shift);
    }
    uint32_t LowBits(int channel, int count) const { return uint32_t(Get(channel)) & Mask(count); }
    void SetLowBits(int channel, uint32_t bits, int count)
    {
        Set(channel, int((uint32_t(Get(channel)) & ~Mask(count)) | (bits & Mask(count))));
    }
    int Average() const { return (Get(kBlue) + Get(kGreen) + Get(kRed)) / kChannels; }

private:
    static uint32_t Mask(int count) { return (uint32_t(1) << count) - 1; }

    uint32_t Colour;
};

// Embeds bits of value from bit k on into the pixel; returns the new k.
// REQUIRES: a bit mode.
int EmbedBits(ChannelPixel& pixel, int32_t mode, uint32_t value, int k)
{
    assert(IsBitMode(mode));
    const EmbedModeLayout& layout = kEmbedModeLayouts[mode];
    if (layout.OneChannel) {
        pixel.SetLowBits(RuntimeRand() % kChannels, value >> k, 1);
        return k + 1;
    }
    for (int c = 0; c < kChannels && k < kByteBits; ++c) {
        pixel.SetLowBits(kFillOrder[c], value >> k, layout.CarrierBits[c]);
        k += layout.CarrierBits[c];
    }
    return k;
}

// Mirrors EmbedBits into out; a mode that is not a bit mode extracts
// nothing and leaves k where it was.
int ExtractBits(const ChannelPixel& pixel, int32_t mode, uint32_t& out, int k)
{
    if (!IsBitMode(mode))
        return k;
    const EmbedModeLayout& layout = kEmbedModeLayouts[mode];
    if (layout.OneChannel) {
        out |= pixel.LowBits(RuntimeRand() % kChannels, 1) << k;
        return k + 1;
    }
    for (int c = 0; c < kChannels && k < kByteBits; ++c) {
        out |= pixel.LowBits(kFillOrder[c], layout.CarrierBits[c]) << k;
        k += layout.CarrierBits[c];
    }
    return k;
}

// A data pixel must never read as an end pixel.
void AvoidEndLevel(ChannelPixel& pixel, int level)
{
    if (pixel.Average() != level)
        return;
    const int blue = pixel.Get(kBlue);
    pixel.Set(kBlue, blue <= kAvoidanceUpLimit ? blue + kAvoidanceStep : blue - kAvoidanceStep);
}

// One channel a step toward level, blue first, until the average is level.
// Ends after at most 3 x 255 steps, since every channel converges on level.
void MakeEndPixel(ChannelPixel& pixel, int level)
{
    for (int channel = kBlue; pixel.Average() != level; channel = (channel + 1) % kChannels) {
        const int value = pixel.Get(channel);
        if (value != level)
            pixel.Set(channel, value > level ? value - 1 : value + 1);
    }
}

bool IsDefinedMode(int32_t mode)
{
    return mode >= 0 && mode < kEmbedModeCount;
}

void StartBar(ProgressSink& progress, const char* caption, uint32_t count)
{
    progress.SetText(caption);
    progress.SetRange(count / container::kProgressUnit + 1);
    progress.SetStep(1);
    progress.SetPos(0);
}

void ShowEncodingStep(ProgressSink& progress, uint32_t done, uint32_t count)
{
    char caption[64];
    std::snprintf(caption, sizeof caption, kEncodingStepCaption, static_cast<unsigned long>(done),
        static_cast<unsigned long>(count));
    progress.SetText(caption);
    progress.StepIt();
}

} // namespace

// The position test of every byte operation: a pixel of the picture. The
// walk only produces such positions or (-1, -1), so this agrees with the
// stored format's test (y <= height, x >= 0, y >= 0) on every walk; it also
// refuses x >= width and y = 0, which the image model would reject.
bool StegEngine::AtPicturePixel() const
{
    return CurX >= 0 && CurX < Width() && CurY >= 1 && CurY <= Height();
}

uint8_t StegEngine::NextWhitening()
{
    return static_cast<uint8_t>(WhiteningGen.Range(kWhiteningLow, kWhiteningHigh));
}

bool StegEngine::WriteWholeByte(uint8_t value)
{
    assert(WriteByteIndex >= 0 && WriteByteIndex < kChannels);
    ChannelPixel pixel(GetPixel(CurX, CurY));
    pixel.Set(WriteByteIndex, value);
    WritePixel(CurX, CurY, pixel.Value());
    if (++WriteByteIndex >= kChannels) {
        WriteByteIndex = 0;
        MoveToNextPosition();
    }
    return true;
}

// The reader marks the next pixel as soon as it moves there, where the writer
// marks it with its next write; the walk sees the same map either way.
bool StegEngine::ReadWholeByte(uint8_t& out)
{
    assert(ReadByteIndex >= 0 && ReadByteIndex < kChannels);
    const ChannelPixel pixel(GetPixel(CurX, CurY));
    out = static_cast<uint8_t>(pixel.Get(ReadByteIndex));
    if (!HeaderMode)
        out ^= NextWhitening();
    UsedPixels.Mark(CurX, CurY);
    if (++ReadByteIndex >= kChannels) {
        ReadByteIndex = 0;
        MoveToNextPosition();
        if (!AtPicturePixel())
            return false;
        UsedPixels.Mark(CurX, CurY);
    }
    return true;
}

// In EmbedMode 4 a field ends where the Marker has just been read whole.
bool StegEngine::EndsWithMarker(const uint8_t* dest, uint32_t i, uint8_t b) const
{
    constexpr uint32_t last = KeyMaterial::kMarkerBytes - 1;
    const auto& marker = Keys.Marker;
    return i >= last && b == marker[last] && std::memcmp(dest + (i - last), marker.data(), marker.size()) == 0;
}

// An EmbedMode outside 0..4 writes nothing and reports failure; no mode
// outside that range is ever written.
bool StegEngine::WriteByte(uint8_t value)
{
    const int32_t mode = Keys.Mode;
    if (!IsUsableContainer() || CurX == -1 || !IsDefinedMode(mode))
        return false;
    if (!HeaderMode)
        value ^= NextWhitening();
    if (mode == EmbedWholeBytes)
        return AtPicturePixel() && WriteWholeByte(value);
    for (int k = 0; k < kByteBits;) {
        if (!AtPicturePixel())
            return false;
        ChannelPixel pixel(GetPixel(CurX, CurY));
        k = EmbedBits(pixel, mode, value, k);
        AvoidEndLevel(pixel, Keys.LevelByte);
        WritePixel(CurX, CurY, pixel.Value());
        MoveToNextPosition();
    }
    return true;
}

// At an end pixel (ignoreEnd off) the pixel is marked, out is 255 and the
// position stays on it: the caller steps over it.
bool StegEngine::ReadByte(uint8_t& out, bool ignoreEnd)
{
    out = 0;
    if (!IsUsableContainer())
        return false;
    const int32_t mode = Keys.Mode;
    if (mode == EmbedWholeBytes)
        return AtPicturePixel() && ReadWholeByte(out);
    uint32_t bits = 0;
    for (int k = 0; k < kByteBits;) {
        out = static_cast<uint8_t>(bits);
        if (!AtPicturePixel())
            return false;
        const ChannelPixel pixel(GetPixel(CurX, CurY));
        if (!ignoreEnd && pixel.Average() == Keys.LevelByte) {
            UsedPixels.Mark(CurX, CurY);
            out = kEndByte;
            return false;
        }
        k = ExtractBits(pixel, mode, bits, k);
        UsedPixels.Mark(CurX, CurY);
        MoveToNextPosition();
    }
    out = static_cast<uint8_t>(bits);
    if (!HeaderMode)
        out ^= NextWhitening();
    return true;
}

// Returns false, leaving the image alone, at an exhausted walk, and also when
// the CheckByte behind the end pixel could not be written.
bool StegEngine::WriteEndPixel()
{
    if (!IsUsableContainer() || !AtPicturePixel())
        return false;
    ChannelPixel pixel(GetPixel(CurX, CurY));
    MakeEndPixel(pixel, Keys.LevelByte);
    WritePixel(CurX, CurY, pixel.Value());
    MoveToNextPosition();
    return WriteByte(Keys.CheckByte);
}

// The per-1000 caption and step come at every i that is a multiple of 1000,
// i = 0 included; the opening and closing captions only for more than 1000.
bool StegEngine::WriteBuffer(const uint8_t* data, uint32_t count)
{
    const bool large = count > container::kProgressUnit;
    if (Progress && large)
        StartBar(*Progress, kEncodingCaption, count);
    for (uint32_t i = 0; i < count; ++i) {
        if (Progress && i % container::kProgressUnit == 0) {
            ShowEncodingStep(*Progress, i, count);
            if (StopRequested())
                return false;
        }
        if (!WriteByte(data[i]))
            return false;
    }
    if (Progress && large)
        Progress->SetText(kEncodingDoneCaption);
    return true;
}

// count comes back as the bytes that belong to the field. True: the field
// ended at an end pixel or filled count; false: it ended at the Marker
// (EmbedMode 4) or where the walk ran out.
bool StegEngine::ReadBuffer(uint8_t* dest, uint32_t& count, bool ignoreEnd)
{
    const uint32_t requested = count;
    const bool large = requested > container::kProgressUnit;
    if (Progress && large)
        StartBar(*Progress, kDecodingCaption, requested);
    for (uint32_t i = 0; i < requested; ++i) {
        if (Progress && i % container::kProgressUnit == 0) {
            Progress->StepIt();
            if (StopRequested()) {
                count = i;
                return false;
            }
        }
        uint8_t b = 0;
        if (!ReadByte(b, ignoreEnd) && !ignoreEnd) {
            count = i;
            return b == kEndByte;
        }
        dest[i] = b;
        if (Keys.Mode == EmbedWholeBytes && EndsWithMarker(dest, i, b)) {
            count = i - (KeyMaterial::kMarkerBytes - 1);
            return false;
        }
    }
    if (Progress && large)
        Progress->SetText(kDecodingDoneCaption);
    return true;
}

} // namespace lumaquill
