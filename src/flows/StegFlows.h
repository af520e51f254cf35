#pragma once

#include "core/Frontend.h"
#include "engine/DecodeOutcome.h"
#include "flows/DecodeResult.h"
#include "flows/EncodeFlow.h"
#include "flows/EncodeResult.h"
#include "flows/KeyEntry.h"
#include "flows/PayloadFit.h"
#include "flows/PictureFacts.h"
#include "image/DibImage.h"
#include "image/LoadProblem.h"
#include "image/PictureFormat.h"
#include "stealth/StealthSizes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

class StegEngine;
struct StealthJpegFacts;

// The one door through which the dialogs and lumaquill-cli run their jobs
// on an engine: choose the cover, ask what it offers, encode and save,
// decode and deliver. The front ends gather input, show what the flows say
// through their Frontend, and ask where to save; they never drive the
// engine themselves.
//
// The engine is the container: a cover loaded here stays loaded (the
// dialogs keep it from one to the next), and an encoded picture replaces it.
class StegFlows {
public:
    // Over an engine of its own (lumaquill-cli, one job per process).
    StegFlows();
    // Over the application's engine, which outlives it.
    explicit StegFlows(StegEngine& engine);
    ~StegFlows();
    StegFlows(const StegFlows&) = delete;
    StegFlows& operator=(const StegFlows&) = delete;

    void SetFrontend(const Frontend& frontend);
    const Frontend& GetFrontend() const;

    // The cover. A file that does not load leaves no picture; the problem
    // says why.
    bool LoadCover(const std::string& path);
    // Pixels to show, even when they cannot be encoded into.
    bool HasPicture() const;
    bool IsUsableContainer() const;
    int32_t Width() const;
    int32_t Height() const;
    // The picture as it is now (the cover, or the encoded result), for
    // drawing.
    const DibImage& Picture() const;
    // Why the cover cannot be encoded into (or decoded from); None when it
    // can. A JPEG that loaded can always be tried as a stealth JPEG.
    LoadProblem CoverProblem(bool forDecode, std::string& detail) const;
    bool CoverIsJpeg() const;

    // What the cover offers an encode.
    // The encode dialog's "Max Size": Capacity of EmbedMode 3, 0 where it
    // has no meaning (no pixels, fewer than 8 bits, too small).
    uint32_t RatedCapacity() const;
    uint32_t LargestPayload() const;
    // The most a decode of the cover restores.
    uint64_t DecodableBytes() const;
    PayloadFit Fit(uint32_t payloadSize, uint64_t originalSize) const;
    // The picture Shrink to fit would make, when it makes one.
    bool ShrunkSize(uint32_t payloadSize, uint64_t originalSize, int32_t& width, int32_t& height) const;
    // Whether a stealth request of this cover becomes a stealth JPEG: a JPEG
    // cover, written as a JPEG or in a format still to be chosen.
    bool StealthMakesJpeg(const EncodeRequest& request) const;
    // The stealth sizes of the cover for the request's path (a stealth JPEG's
    // or a stealth image's).
    stealth::StealthSizes StealthSizes(const EncodeRequest& request) const;
    // The cover's part of the stealth refusal, what a dialog can tell before
    // the password step; empty when there is none.
    std::string StealthCoverRefusal(const EncodeRequest& request) const;

    // The whole encode: key handed over, sealed when asked, noise or
    // rescaled container made, run; a stealth request with a JPEG cover
    // becomes a stealth JPEG. A refusal is said through the front end. A
    // cancelled run puts the cover back.
    EncodeResult Encode(EncodeRequest request, const KeyEntry& key);
    // The encoded picture saved atomically (see WriteFileAtomically); empty
    // when written, else the reason. A stealth JPEG is written as the JPEG
    // it is, whatever the format.
    std::string SaveEncoded(const std::string& path, PictureFormat format, bool replace = true);
    // The encoded picture as a file's bytes (a stealth JPEG's own); nothing
    // when it cannot be made.
    std::optional<std::vector<uint8_t>> EncodedFile(PictureFormat format) const;

    // Decode, first step: the questions stored in the cover, which need no
    // key. True when there are; the set then holds them. A JPEG stores none.
    bool ReadStoredQuestions(QuestionSet& questions);
    // Decode, second step: the run with the key (a typed password also
    // opens sealed and stealth images; a JPEG is opened as a stealth JPEG),
    // then a text handed back or a file saved where the front end's save
    // prompt says.
    DecodeResult Decode(const KeyEntry& key);
    // After WriteFailed: the save prompt again for the same file.
    DecodeResult SaveDecodedAgain();

    // What info reports of the cover loaded from path.
    PictureFacts Facts(const std::string& path);

private:
    void StartJob();
    void EndJob();
    std::optional<std::vector<uint8_t>> ReadCoverFile() const;
    EncodeResult EncodeStealthJpeg(const EncodeRequest& request);
    DecodeResult DecodeStealthJpeg(const KeyEntry& key);
    DecodeResult ResultOfRun(DecodeOutcome outcome, std::string& holder);
    DecodeResult DeliverHeldFile();
    void ReleaseHeldFile();
    const StealthJpegFacts* JpegFacts() const;

    std::unique_ptr<StegEngine> Owned;
    StegEngine& Engine;
    std::string CoverPath;
    // The questions lent to the key material for one job.
    QuestionSet JobQuestions;
    // A stealth JPEG made by the last encode.
    std::vector<uint8_t> EncodedJpeg;
    // A decoded file not yet written, and its offered name.
    std::vector<uint8_t> HeldFile;
    std::string HeldName;
    bool HoldingFile = false;
    // The cover's stealth JPEG figures, read from its coefficients once
    // they are first asked for; null when it cannot carry one.
    mutable std::unique_ptr<StealthJpegFacts> JpegFactsCache;
    mutable bool JpegFactsRead = false;
};

} // namespace lumaquill
