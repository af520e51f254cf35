#pragma once

#include "engine/EmbedMode.h"
#include "keys/QuestionSet.h"

#include <array>
#include <cstdint>

namespace lumaquill::container {

// The stored layout, in walk order:
//   question header: sequential walk from (1, 1), EmbedMode 1, not whitened,
//     LevelByte = CheckByte = 128. Either the QuestionSignature, a count
//     n (1..5) and per question: text, End, hint, End, 20-byte answer key,
//     End; or, without questions, 60 pixels passed over unchanged.
//   mode header: random walk, EmbedMode 1, whitened with the unstrengthened
//     key: the byte 0, then the ModeByte.
//   body: rekeyed after strengthening, whitened, in the ModeByte's mode.
//     EmbedModes 0-3: payload, End, then name field, End (or End alone for
//     text). EmbedMode 4: payload, Marker, name, Marker.
// "End" is an end pixel followed by the CheckByte.

// Opens a question header: the same ten bytes twice.
// clang-format off
constexpr std::array<uint8_t, 20> kQuestionSignature = {
    0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x6A, 0x7B, 0x8C, 0x9D,
    0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x6A, 0x7B, 0x8C, 0x9D,
};
// clang-format on
// A question header holds one question per slot at the most.
constexpr int32_t kMaxQuestions = QuestionSet::kSlots;
// Each stored question ends with the 20-byte SHA-1 of its answer.
constexpr uint32_t kAnswerKeyBytes = 20;
// Pixels a question header without questions passes over.
constexpr int32_t kEmptyHeaderPixels = 60;
// The question header's fixed level and check bytes and its EmbedMode.
constexpr uint8_t kHeaderLevelByte = 128;
constexpr uint8_t kHeaderCheckByte = 128;
constexpr int32_t kHeaderMode = EmbedBit0ThreeChannels;
// ModeByte: bits 0-2 EmbedMode, bits 3-5 SpeedSetting, bits 6-7 zero.
constexpr uint8_t kModeMask = 0x07;
constexpr int kSpeedShift = 3;
constexpr uint8_t kSpeedMask = 0x07;
// The mode header: the byte 0, then the ModeByte.
constexpr uint32_t kModeHeaderBytes = 2;
constexpr uint8_t ModeByte(int32_t mode, int32_t speed)
{
    return static_cast<uint8_t>((mode & kModeMask) | ((speed & kSpeedMask) << kSpeedShift));
}
// The decode buffers are sized by Capacity of this mode (equal to mode 4).
constexpr int32_t kDecodeCapacityMode = 5;
// The name field of EmbedModes 0-3 holds at most this many bytes, and
// ReadName reads at most this many in every mode.
constexpr uint32_t kMaxNameBytes = 50;
// An EmbedMode 4 name is closed by the 20-byte Marker, which the reader must
// find within those 50 bytes: the name stored there holds at most 30.
constexpr uint32_t kMaxNoiseNameBytes = 30;
// Capacity keeps this many bytes in reserve for headers, markers and name.
constexpr int32_t kCapacityReserve = 4096;
// The walk refuses to run with fewer free interior positions than this.
constexpr int32_t kMinRemaining = 100;
// The decoded payload may be at most this many times Capacity(5).
constexpr uint64_t kOutputFactor = 20;
// Progress is reported once per this many bytes or passes.
constexpr uint32_t kProgressUnit = 1000;

} // namespace lumaquill::container
