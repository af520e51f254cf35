#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;
struct EncodeOptions;
struct EncodeRequest;
class MessageSink;
class QuestionSet;
class StegEngine;

// lumaquill-cli encode: the encode dialog's Ok flow, with the payload,
// container and key taken from the command line. The same inputs give the
// same image as the dialog.
class EncodeCommand {
public:
    explicit EncodeCommand(CliIo& io);

    // args: everything after "encode". Returns an ExitStatus.
    int Execute(const std::vector<std::string>& args);

private:
    int Encode(const EncodeOptions& options);
    bool CheckPayloadFile(const EncodeOptions& options, MessageSink& messages);
    bool PayloadFitsContainer(const EncodeOptions& options, const StegEngine& engine, MessageSink& messages);
    bool ReadPayload(const EncodeOptions& options, EncodeRequest& request, MessageSink& messages);
    void WarnOfZeroByte(const std::vector<uint8_t>& bytes, const std::string& path);
    bool LoadContainer(const EncodeOptions& options, StegEngine& engine, MessageSink& messages);
    bool TakeKey(const EncodeOptions& options, EncodeRequest& request, QuestionSet& questions);
    void ExplainNoRoom(const StegEngine& engine, const EncodeRequest& request);
    int Save(StegEngine& engine, const EncodeOptions& options, MessageSink& messages);
    int EncodeJpeg(
        StegEngine& engine, const EncodeOptions& options, const EncodeRequest& request, MessageSink& messages);

    CliIo& Io;
};

} // namespace lumaquill
