#pragma once

#include <QFlags>
#include <QString>
#include <cstdint>

namespace lumaquill {

enum class FilePromptFlag : uint32_t {
    None = 0,
    HideReadOnly = 1u << 0, // no "open as read-only" box (Qt's prompts never show one)
    PathMustExist = 1u << 1, // the folder must exist
    FileMustExist = 1u << 2, // only an existing file can be chosen
    OverwritePrompt = 1u << 3, // ask before replacing an existing file
};
Q_DECLARE_FLAGS(FilePromptFlags, FilePromptFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FilePromptFlags)

// What an open or save prompt is asked to show.
struct FilePromptOptions {
    // "description|pattern|description|pattern||"; empty: every file.
    QString Filter;
    // Added (without the dot) when the chosen name has no extension.
    QString DefaultExtension;
    QString InitialName;
    FilePromptFlags Flags = {};
};

} // namespace lumaquill
