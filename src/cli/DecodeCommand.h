#pragma once

#include "flows/KeyDigests.h"

#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;
struct DecodeOptions;
class DecodeSavePrompt;
class QuestionSet;
class SecretBytes;
class StderrMessageSink;
class StegEngine;

// lumaquill-cli decode: the decode dialog's flow. A decoded text goes to
// standard output byte for byte, or to --out FILE; a decoded file is saved
// through DecodeSavePrompt (standard output for --out -).
class DecodeCommand {
public:
    explicit DecodeCommand(CliIo& io);

    // args: everything after "decode". Returns an ExitStatus.
    int Execute(const std::vector<std::string>& args);

private:
    int Decode(const DecodeOptions& options);
    int DecodeJpeg(const DecodeOptions& options, StegEngine& engine, const StderrMessageSink& messages,
        const DecodeSavePrompt& savePrompt);
    // password receives the typed password (empty for answers): a sealed
    // image opens only with it.
    std::optional<KeyDigests> TakeKey(
        const DecodeOptions& options, bool questionsStored, QuestionSet& questions, SecretBytes& password);
    int Deliver(const DecodeOptions& options, int outcome, const std::string& holder, bool declined, bool failureShown);
    int DeliverText(const DecodeOptions& options, const std::string& text);

    CliIo& Io;
};

} // namespace lumaquill
