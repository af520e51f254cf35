#pragma once

#include <iosfwd>
#include <string>

namespace lumaquill {

// Where encode and decode put their results: a regular file, or standard
// output for "-". Only regular files are ever written or replaced; an
// existing one only with --force. The null device takes a result as the
// sink it is, without --force.
class OutputFile {
public:
    static bool IsStdout(const std::string& path) { return path == "-"; }

    // Why path cannot take the result, as a message; empty when it can.
    static std::string Problem(const std::string& path, bool force);
    // Writes the bytes atomically; the message of a failure, empty on success.
    static std::string Write(const std::string& path, const std::string& bytes, bool force);
    // "Could not write "PATH": REASON."
    static std::string CouldNotWrite(const std::string& path, const std::string& reason);

    // Flushes out; ExitOk when everything reached it, else says so on err
    // and gives ExitFailure (a full disk, a closed pipe).
    static int Finish(std::ostream& out, std::ostream& err);
};

} // namespace lumaquill
