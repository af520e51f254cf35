#pragma once

namespace lumaquill {

// The temporary files this process has created, or is about to create, and
// not yet renamed or removed: a name is added before its file is created,
// so the file never exists unregistered. When SIGINT, SIGTERM or SIGHUP
// arrives (and the process has not ignored it or installed a handler of its
// own) every pending file is unlinked, then the signal is raised again with its default action, so an
// interrupted write leaves no copy of the data behind.
//
// The registry is a fixed table, so the handler only reads memory that was
// complete before the slot was published and calls only unlink, signal and
// raise, which are async-signal-safe.
class PendingTempFiles {
public:
    // A slot number, or -1 when the table is full or the path too long (the
    // file is then still removed on every ordinary failure).
    static int Add(const char* path);
    // Forgets a slot (the file was renamed or removed); -1 is ignored.
    static void Remove(int slot);
};

} // namespace lumaquill
