#include "image/JpegCoefficientFile.h"

#include "image/ExifOrientation.h"
#include "image/JpegErrorTrap.h"
#include "image/PictureLimits.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace lumaquill {

namespace {

// Only 8-bit samples: libjpeg's 8-bit coder, and the coefficient ranges
// stealth keeps, are those of 8-bit JPEG.
constexpr int kPrecision = 8;

static_assert(sizeof(JCOEF) == sizeof(int16_t));
static_assert(DCTSIZE2 == JpegCoefficients::kBlockCoefficients);

// Every function below that makes a libjpeg call arms the trap's jump
// with its own setjmp and holds nothing with a destructor.

// A decompression of a file in memory, up to its coefficient arrays.
struct Reading {
    jpeg_decompress_struct Info;
    JpegErrorTrap Trap;
    jvirt_barray_ptr* Arrays;
    bool Created;
};

bool ReadHeader(Reading& r, const uint8_t* data, size_t size)
{
    if (setjmp(r.Trap.Jump))
        return false;
    jpeg_create_decompress(&r.Info);
    r.Created = true;
    r.Trap.Limit(r.Info);
    jpeg_mem_src(&r.Info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&r.Info, TRUE);
    return true;
}

bool ReadArrays(Reading& r)
{
    if (setjmp(r.Trap.Jump))
        return false;
    r.Arrays = jpeg_read_coefficients(&r.Info);
    return r.Arrays != nullptr;
}

// Copies the coefficients of every block between the arrays and values,
// out of the arrays or into them. Holds nothing with a destructor: a libjpeg
// error jumps out of it to CopyBlocks.
void CopyAll(j_decompress_ptr info, jvirt_barray_ptr* arrays, int16_t* values, bool intoArrays)
{
    for (int c = 0; c < info->num_components; ++c) {
        const jpeg_component_info& component = info->comp_info[c];
        const size_t rowValues = size_t(component.width_in_blocks) * DCTSIZE2;
        for (JDIMENSION by = 0; by < component.height_in_blocks; ++by) {
            JBLOCKARRAY rows = info->mem->access_virt_barray(
                reinterpret_cast<j_common_ptr>(info), arrays[c], by, 1, intoArrays ? TRUE : FALSE);
            if (intoArrays)
                std::memcpy(rows[0][0], values, rowValues * sizeof(int16_t));
            else
                std::memcpy(values, rows[0][0], rowValues * sizeof(int16_t));
            values += rowValues;
        }
    }
}

bool CopyBlocks(Reading& r, int16_t* values, bool intoArrays)
{
    if (setjmp(r.Trap.Jump))
        return false;
    CopyAll(&r.Info, r.Arrays, values, intoArrays);
    return true;
}

void EndReading(Reading& r)
{
    if (r.Created)
        jpeg_destroy_decompress(&r.Info);
}

// The markers a rewritten file carries after its frame header.
struct Markers {
    const uint8_t* Exif;
    size_t ExifBytes;
    const uint8_t* Icc;
    size_t IccBytes;
};

struct Writing {
    jpeg_compress_struct Info;
    JpegErrorTrap Trap;
    unsigned char* Buffer;
    unsigned long Size;
    bool Created;
};

bool Compress(Reading& r, Writing& w, const Markers& markers)
{
    if (setjmp(w.Trap.Jump))
        return false;
    jpeg_create_compress(&w.Info);
    w.Created = true;
    jpeg_mem_dest(&w.Info, &w.Buffer, &w.Size);
    jpeg_copy_critical_parameters(&r.Info, &w.Info);
    w.Info.optimize_coding = TRUE;
    w.Info.restart_interval = r.Info.restart_interval;
    if (r.Info.progressive_mode)
        jpeg_simple_progression(&w.Info);
    jpeg_write_coefficients(&w.Info, r.Arrays);
    if (markers.ExifBytes > 0)
        jpeg_write_marker(
            &w.Info, JpegErrorTrap::kExifMarker, markers.Exif, static_cast<unsigned int>(markers.ExifBytes));
    if (markers.IccBytes > 0)
        jpeg_write_icc_profile(&w.Info, markers.Icc, static_cast<unsigned int>(markers.IccBytes));
    jpeg_finish_compress(&w.Info);
    return true;
}

void EndWriting(Writing& w)
{
    if (w.Created)
        jpeg_destroy_compress(&w.Info);
    std::free(w.Buffer);
}

// jpeg_read_icc_profile joins the saved APP2 markers into one buffer, which
// the caller frees; it reports a failed allocation through error_exit.
bool ReadIcc(Reading& r, JOCTET** data, unsigned int* length)
{
    if (setjmp(r.Trap.Jump))
        return false;
    if (!jpeg_read_icc_profile(&r.Info, data, length))
        *length = 0;
    return true;
}

bool IccOf(Reading& r, std::vector<uint8_t>& icc)
{
    JOCTET* data = nullptr;
    unsigned int length = 0;
    bool read = ReadIcc(r, &data, &length);
    if (read && data) {
        try {
            icc.assign(data, data + length);
        } catch (const std::bad_alloc&) {
            read = false;
        }
    }
    std::free(data);
    return read;
}

// The frame as the header declares it, before anything picture-sized is
// allocated.
LoadProblem CheckHeader(const jpeg_decompress_struct& info, std::string& detail)
{
    if (!limits::Fits(info.image_width, info.image_height, 24))
        return LoadProblem::TooLarge;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        return LoadProblem::Cmyk;
    if (info.data_precision != kPrecision || (info.num_components != 1 && info.num_components != 3)) {
        detail = "a JPEG file of other than 8-bit greyscale or colour samples";
        return LoadProblem::Unsupported;
    }
    return LoadProblem::None;
}

// The components' layout once the coefficients are read; false when a
// component has no quantisation table.
bool Describe(const jpeg_decompress_struct& info, JpegCoefficients& out)
{
    out.Width = info.image_width;
    out.Height = info.image_height;
    out.Progressive = info.progressive_mode != 0;
    out.RestartInterval = info.restart_interval;
    out.Components.assign(size_t(info.num_components), {});
    uint64_t first = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& from = info.comp_info[c];
        JpegCoefficients::Component& to = out.Components[size_t(c)];
        if (!from.quant_table)
            return false;
        to.WidthInBlocks = from.width_in_blocks;
        to.HeightInBlocks = from.height_in_blocks;
        to.HorizontalSampling = static_cast<uint8_t>(from.h_samp_factor);
        to.VerticalSampling = static_cast<uint8_t>(from.v_samp_factor);
        for (size_t k = 0; k < JpegCoefficients::kBlockCoefficients; ++k)
            to.Quantisation[k] = from.quant_table->quantval[k];
        to.First = first;
        first += to.Blocks() * JpegCoefficients::kBlockCoefficients;
    }
    return true;
}

bool Reserve(std::vector<int16_t>& values, const JpegCoefficients& layout)
{
    uint64_t count = 0;
    for (const JpegCoefficients::Component& component : layout.Components)
        count += component.Blocks() * JpegCoefficients::kBlockCoefficients;
    try {
        values.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

LoadProblem ReadInto(Reading& r, std::span<const uint8_t> file, JpegCoefficients& out, std::string& detail)
{
    if (!ReadHeader(r, file.data(), file.size()))
        return r.Trap.Problem(detail);
    if (const LoadProblem problem = CheckHeader(r.Info, detail); problem != LoadProblem::None)
        return problem;
    if (!ReadArrays(r))
        return r.Trap.Problem(detail);
    if (!Describe(r.Info, out)) {
        detail = "JPEG";
        return LoadProblem::Damaged;
    }
    if (!Reserve(out.Values, out))
        return LoadProblem::TooLarge;
    if (!CopyBlocks(r, out.Values.data(), false))
        return r.Trap.Problem(detail);
    out.Orientation = JpegErrorTrap::Orientation(r.Info);
    if (!IccOf(r, out.Icc))
        return LoadProblem::TooLarge;
    return LoadProblem::None;
}

// The file's blocks are those the coefficients describe.
bool SameLayout(const jpeg_decompress_struct& info, const JpegCoefficients& coefficients)
{
    if (size_t(info.num_components) != coefficients.Components.size() || coefficients.Components.empty())
        return false;
    for (int c = 0; c < info.num_components; ++c) {
        const JpegCoefficients::Component& component = coefficients.Components[size_t(c)];
        if (info.comp_info[c].width_in_blocks != component.WidthInBlocks
            || info.comp_info[c].height_in_blocks != component.HeightInBlocks)
            return false;
    }
    const JpegCoefficients::Component& last = coefficients.Components.back();
    return coefficients.Values.size() == last.First + last.Blocks() * JpegCoefficients::kBlockCoefficients;
}

bool WriteFrom(Reading& r, Writing& w, std::span<const uint8_t> file, const JpegCoefficients& coefficients)
{
    std::string detail;
    if (!ReadHeader(r, file.data(), file.size()) || CheckHeader(r.Info, detail) != LoadProblem::None || !ReadArrays(r)
        || !SameLayout(r.Info, coefficients))
        return false;
    // CopyBlocks only reads values when it copies into the arrays.
    if (!CopyBlocks(r, const_cast<int16_t*>(coefficients.Values.data()), true))
        return false;
    const std::vector<uint8_t> exif = ExifOrientation::MinimalExif(coefficients.Orientation);
    const Markers markers { exif.data(), exif.size(), coefficients.Icc.data(), coefficients.Icc.size() };
    return Compress(r, w, markers);
}

} // namespace

LoadProblem JpegCoefficientFile::Read(std::span<const uint8_t> file, JpegCoefficients& out, std::string& detail)
{
    Reading r {};
    r.Trap.Catch(r.Info.err);
    const LoadProblem problem = ReadInto(r, file, out, detail);
    EndReading(r);
    return problem;
}

bool JpegCoefficientFile::Write(
    std::span<const uint8_t> file, const JpegCoefficients& coefficients, std::vector<uint8_t>& out)
{
    Reading r {};
    Writing w {};
    r.Trap.Catch(r.Info.err);
    w.Trap.Catch(w.Info.err);
    bool written = WriteFrom(r, w, file, coefficients);
    if (written) {
        try {
            out.assign(w.Buffer, w.Buffer + w.Size);
        } catch (const std::bad_alloc&) {
            written = false;
        }
    }
    EndWriting(w);
    EndReading(r);
    return written;
}

} // namespace lumaquill
