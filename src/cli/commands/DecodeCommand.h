#pragma once

#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;
struct DecodeOptions;
struct DecodeResult;
struct KeyEntry;

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
    // The key goes into key: a typed password with its digests (a sealed or
    // stealth image opens only with it), or the answers to the stored
    // questions. False after a usage error.
    bool TakeKey(const DecodeOptions& options, bool questionsStored, KeyEntry& key);
    int Deliver(const DecodeOptions& options, const DecodeResult& result);
    int DeliverText(const DecodeOptions& options, const std::string& text);

    CliIo& Io;
};

} // namespace lumaquill
