#pragma once

#include "core/SavePrompt.h"

#include <iosfwd>
#include <string>

namespace lumaquill {

class MessageSink;
struct DecodeOptions;

// Where a decoded file goes: --out, or the offered name inside --out-dir
// (the current folder when there is none), or standard output for --out -.
// An existing file is kept unless --force was given, and what is not a
// regular file is never replaced; then, as for a folder that does not
// exist, the prompt explains and declines, and the core writes nothing.
class DecodeSavePrompt : public SavePrompt {
public:
    DecodeSavePrompt(const DecodeOptions& options, MessageSink& messages, std::ostream& out);

    std::optional<std::string> AskSavePath(const std::string& offeredName) override;
    std::ostream* SaveStream() override;

private:
    std::optional<std::string> Decline(const std::string& message);
    std::optional<std::string> TargetFor(const std::string& offeredName);

    std::string OutPath;
    std::string OutDir;
    bool Force;
    MessageSink& Messages;
    std::ostream& Out;
};

} // namespace lumaquill
