#pragma once

#include "image/PictureFormat.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumaquill {

class PictureCodec;

// Every picture file format Lumaquill knows, one row each: the only place
// that lists them. The loader's choice of codec, the refusal texts that
// name formats, the file prompts' filters, the default output format and
// the CLI's check of an output name all read it.
class PictureFormatTable {
public:
    // Whether a format's pixels survive saving exactly.
    enum class Exactness {
        Exact, // always
        Lossy, // never: such a file cannot carry hidden data
        Either, // by file; only the lossless variant is written
    };

    // How a format is written, if at all.
    enum class Output {
        None, // read only
        Saved, // offered by the save prompt and taken by --out
        StealthJpeg, // only as a stealth JPEG of a JPEG cover
    };

    struct Row {
        PictureFormat Format;
        // "PNG": the name that messages and info use.
        const char* Name;
        // Lower case, without the dot; a written file gets the first.
        std::span<const char* const> Extensions;
        // Recognised when reading, never given to a written file.
        std::span<const char* const> ReadOnlyExtensions = {};
        Exactness Pixels;
        Output Written;
        // Where the save prompt lists the format: 1, the first, is the
        // default output format; 0 when the prompt does not offer it.
        int SavePlace = 0;
        // The save prompt's description of the format, when it offers it.
        const char* SaveFilter = nullptr;
        // The open prompt's own entry for the format beside "Images", if any.
        const char* OpenFilter = nullptr;
        // The longest side a file of the format holds, in pixels; the
        // picture limits apply besides.
        uint32_t MaxSide;
        // Tells the format by a file's first bytes (its signature), reads
        // it and, for the formats saved, writes it. One codec may serve
        // more than one row.
        const PictureCodec* Codec;
    };

    // In the order signatures are tried; the shortest, BMP's "BM", last.
    static std::span<const Row> Rows();
    static const Row& Of(PictureFormat format);
    // The row whose signature the first bytes of a file carry; head holds
    // at most PictureCodec::kSniffBytes bytes. Nothing for no known format.
    static const Row* BySignature(const uint8_t* head, size_t size);
    // The row of a file name's extension, in any case; nothing when the
    // extension names no format (read-only extensions included).
    static const Row* ByName(const std::string& name);
    // The same for a bare extension, without the dot ("png").
    static const Row* ByExtension(const std::string& extension);
    // The row a file written under this name would be in: read-only
    // extensions name none.
    static const Row* ByWrittenName(const std::string& name);
    // The formats the save prompt offers, in its order.
    static std::vector<const Row*> Saved();
    // The format written when the user names none: the save prompt's first.
    static PictureFormat DefaultOutput();

    // Lists for messages, each joined with ", " and the last with " or ":
    // "PNG, JPEG, WebP, HEIC, AVIF or BMP", every format read;
    static std::string ReadNameList();
    // "JPEG, HEIC or AVIF", the lossy formats (lastJoiner ", " gives
    // "JPEG, HEIC, AVIF");
    static std::string LossyNameList(const char* lastJoiner);
    // "PNG, BMP or WebP", the saved formats that hold a side of minSide;
    static std::string SavedNameList(uint32_t minSide = 0);
    // ".png, .bmp or .webp", their extensions;
    static std::string SavedExtensionList();
    // "PNG, BMP or lossless WebP", the saved formats as a photo kept
    // lossless can be.
    static std::string KeptLosslessList();

    // Classic filter strings of description|patterns pairs ended by "||":
    // "Images" (every extension read), each format's own open entry and
    // "All files (*.*)"; and the save prompt's formats, the default first.
    static std::string OpenFilter();
    static std::string SaveFilter();
};

} // namespace lumaquill
