#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;
struct EncodeOptions;
struct EncodeRequest;
struct KeyEntry;
class MessageSink;
class StegFlows;

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
    bool PayloadFitsContainer(const EncodeOptions& options, const StegFlows& flows, MessageSink& messages);
    bool ReadPayload(const EncodeOptions& options, EncodeRequest& request, MessageSink& messages);
    void WarnOfZeroByte(const std::vector<uint8_t>& bytes, const std::string& path);
    bool LoadContainer(const EncodeOptions& options, StegFlows& flows, MessageSink& messages);
    bool TakeKey(const EncodeOptions& options, KeyEntry& key);
    void ExplainNoRoom(const StegFlows& flows, const EncodeOptions& options);
    int Save(StegFlows& flows, const EncodeOptions& options, MessageSink& messages);

    CliIo& Io;
    // The compressed payload's size, for ExplainNoRoom.
    uint64_t PayloadBytes = 0;
};

} // namespace lumaquill
