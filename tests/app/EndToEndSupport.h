#pragma once

// Support for the end-to-end tests that drive the encode and decode dialogs
// from the main window as a user does: acting on a dialog by its caption,
// scratch files (bitmaps of any depth, payloads), and running the built
// lumaquill-cli. Header-only.

#include "core/ByteOrder.h"
#include "image/SaveBmp24.h"
#include "ui/GuiTestSupport.h"
#include "ui/template/TemplateDialog.h"

#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace lumaquill::test {

// Acts once on the next modal dialog with this caption, from that dialog's
// own event loop; create it before the call that opens the dialog. Nested
// dialogs are reached by creating another one inside the action.
class OnDialog : public ModalAction {
public:
    using Action = std::function<void(TemplateDialog&)>;

    OnDialog(QString caption, Action action, int limitMs = 20000)
        : ModalAction([act = std::move(action)](QWidget* window) { act(*qobject_cast<TemplateDialog*>(window)); },
            [caption](QWidget* window) {
                auto* dialog = qobject_cast<TemplateDialog*>(window);
                return dialog && dialog->windowTitle() == caption;
            },
            QStringLiteral("dialog \"%1\"").arg(caption), WindowKind::Modal, limitMs)
    {
    }
};

// Deterministic bytes from a small xorshift generator (never the runtime
// generator, whose draws are part of the stored format).
inline std::vector<uint8_t> SomeBytes(size_t count, uint32_t seed)
{
    uint32_t state = seed | 1u;
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

inline std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// A 24-bit bitmap (pixel offset 54, bottom-up) with deterministic pixels.
inline void WriteBitmap24(const std::string& path, int32_t width, int32_t height, uint32_t seed)
{
    const auto stride = static_cast<size_t>((24 * width + 31) / 32 * 4);
    ASSERT_NE(SaveBmp24(path, width, height, SomeBytes(stride * size_t(height), seed)), 0u) << path;
}

// An 8-bit bitmap with a 256-entry grey colour table.
inline void WriteBitmap8(const std::string& path, int32_t width, int32_t height)
{
    constexpr uint32_t kHeaders = 14 + 40;
    constexpr uint32_t kTable = 256 * 4;
    const auto stride = static_cast<uint32_t>((width + 3) / 4 * 4);
    const uint32_t imageSize = stride * uint32_t(height);
    std::vector<uint8_t> file(kHeaders + kTable, 0);
    file[0] = 'B';
    file[1] = 'M';
    Store32Le(&file[2], kHeaders + kTable + imageSize);
    Store32Le(&file[10], kHeaders + kTable);
    Store32Le(&file[14], 40);
    Store32Le(&file[18], uint32_t(width));
    Store32Le(&file[22], uint32_t(height));
    Store16Le(&file[26], 1);
    Store16Le(&file[28], 8);
    Store32Le(&file[34], imageSize);
    for (uint32_t i = 0; i < 256; ++i)
        file[kHeaders + 4 * i] = file[kHeaders + 4 * i + 1] = file[kHeaders + 4 * i + 2] = uint8_t(i);
    const std::vector<uint8_t> rows = SomeBytes(imageSize, 8);
    file.insert(file.end(), rows.begin(), rows.end());
    WriteFile(path, file);
}

// Points TMPDIR (where the temporary containers go) somewhere for the
// lifetime of the object.
class ScopedTmpDir {
public:
    explicit ScopedTmpDir(const std::string& path)
    {
        if (const char* old = std::getenv("TMPDIR"))
            Saved = old;
        ::setenv("TMPDIR", path.c_str(), 1);
    }
    ~ScopedTmpDir()
    {
        if (Saved)
            ::setenv("TMPDIR", Saved->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    ScopedTmpDir(const ScopedTmpDir&) = delete;
    ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

private:
    std::optional<std::string> Saved;
};

inline std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The built lumaquill-cli: LUMAQUILL_CLI under ctest, else its place in the
// build tree beside this test program's folder.
inline std::string CliExecutable()
{
    if (const char* fromCtest = std::getenv("LUMAQUILL_CLI"); fromCtest && *fromCtest)
        return fromCtest;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path() / "../../src/cli/lumaquill-cli").lexically_normal().string();
}

// Runs lumaquill-cli with the arguments, its output discarded; the exit
// status, or -1 when it did not exit normally.
inline int RunCli(const std::vector<std::string>& args)
{
    std::string command = ShellQuote(CliExecutable());
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    command += " </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace lumaquill::test
