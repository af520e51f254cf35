#pragma once

#include "flows/PictureFacts.h"

#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;
struct InfoOptions;

// lumaquill-cli info: what an image offers as a container, and the
// questions and hints stored in it (readable without any key).
class InfoCommand {
public:
    // What info reports about one image.
    using Facts = PictureFacts;

    explicit InfoCommand(CliIo& io);

    // args: everything after "info". Returns an ExitStatus.
    int Execute(const std::vector<std::string>& args);

    static std::string AsText(const Facts& facts);
    static std::string AsJson(const Facts& facts);

private:
    int Report(const InfoOptions& options);

    CliIo& Io;
};

} // namespace lumaquill
