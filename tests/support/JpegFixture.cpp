#include "support/JpegFixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace lumaquill::test {

namespace {

// "Exif\0\0", a little-endian TIFF header, IFD0 with two entries: Make
// (ASCII, 8 bytes at offset 38: "TestCam\0") and Orientation (SHORT);
// no next IFD.
std::vector<uint8_t> CameraExif(int orientation)
{
    std::vector<uint8_t> exif = { 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0, 0x0F, 0x01, 2, 0, 8, 0,
        0, 0, 38, 0, 0, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, uint8_t(orientation), 0, 0, 0, 0, 0, 0, 0 };
    const char make[] = "TestCam";
    exif.insert(exif.end(), make, make + sizeof make);
    return exif;
}

std::vector<uint8_t> Picture(const JpegRecipe& recipe, int channels)
{
    std::mt19937 random(recipe.Seed);
    std::vector<uint8_t> pixels(size_t(recipe.Width) * recipe.Height * channels);
    for (uint32_t y = 0; y < recipe.Height; ++y) {
        for (uint32_t x = 0; x < recipe.Width; ++x) {
            const bool textured = (y * 3 / recipe.Height) == 1 || (x * 4 / recipe.Width) == 3;
            for (int c = 0; c < channels; ++c) {
                const int smooth = int((x * 200) / recipe.Width + (y * 50) / recipe.Height + c * 30) % 256;
                const int noise = textured ? int(random() % 81) - 40 : int(random() % 7) - 3;
                pixels[(size_t(y) * recipe.Width + x) * channels + c] = uint8_t(std::clamp(smooth + noise, 0, 255));
            }
        }
    }
    return pixels;
}

void SetUp(jpeg_compress_struct& info, const JpegRecipe& recipe)
{
    info.image_width = recipe.Width;
    info.image_height = recipe.Height;
    info.input_components = recipe.Grey ? 1 : 3;
    info.in_color_space = recipe.Grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, recipe.Quality, TRUE);
    if (!recipe.Grey) {
        info.comp_info[0].h_samp_factor = recipe.HorizontalSampling;
        info.comp_info[0].v_samp_factor = recipe.VerticalSampling;
    }
    info.optimize_coding = recipe.OptimiseHuffman ? TRUE : FALSE;
    info.restart_interval = recipe.RestartInterval;
    if (recipe.Progressive)
        jpeg_simple_progression(&info);
}

// The EXIF block, ICC profile and comment the recipe asks for.
void WriteMarkers(jpeg_compress_struct& info, const JpegRecipe& recipe)
{
    if (recipe.Orientation != 1) {
        const std::vector<uint8_t> exif = CameraExif(recipe.Orientation);
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }
    if (recipe.IccBytes > 0) {
        const std::vector<uint8_t> icc = FixtureIcc(recipe.IccBytes);
        jpeg_write_icc_profile(&info, icc.data(), unsigned(icc.size()));
    }
    if (recipe.Comment) {
        const char text[] = "test comment";
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET*>(text), unsigned(std::strlen(text)));
    }
}

} // namespace

std::vector<uint8_t> FixtureIcc(unsigned bytes)
{
    std::vector<uint8_t> icc(bytes);
    for (unsigned i = 0; i < bytes; ++i)
        icc[i] = uint8_t(i * 7 + 3);
    return icc;
}

JpegRecipe Recipe(uint32_t width, uint32_t height, int quality, int h, int v)
{
    JpegRecipe recipe;
    recipe.Width = width;
    recipe.Height = height;
    recipe.Quality = quality;
    recipe.HorizontalSampling = h;
    recipe.VerticalSampling = v;
    return recipe;
}

JpegRecipe Progressive(JpegRecipe recipe)
{
    recipe.Progressive = true;
    return recipe;
}

JpegRecipe Grey(JpegRecipe recipe)
{
    recipe.Grey = true;
    return recipe;
}

JpegRecipe Restarts(JpegRecipe recipe, unsigned interval)
{
    recipe.RestartInterval = interval;
    return recipe;
}

std::vector<uint8_t> MakeJpeg(const JpegRecipe& recipe)
{
    return CompressJpeg(Picture(recipe, recipe.Grey ? 1 : 3), recipe);
}

std::vector<uint8_t> CompressJpeg(std::span<const uint8_t> pixels, const JpegRecipe& recipe)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    SetUp(info, recipe);
    jpeg_start_compress(&info, TRUE);
    WriteMarkers(info, recipe);
    const size_t rowBytes = size_t(recipe.Width) * (recipe.Grey ? 1 : 3);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + info.next_scanline * rowBytes;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

std::vector<uint8_t> DecodeJpeg(const std::vector<uint8_t>& file)
{
    jpeg_decompress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const size_t rowBytes = size_t(info.output_width) * info.output_components;
    std::vector<uint8_t> pixels(rowBytes * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + info.output_scanline * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

std::vector<uint8_t> RecompressJpeg(const std::vector<uint8_t>& file, int quality)
{
    jpeg_decompress_struct in {};
    jpeg_error_mgr errors {};
    in.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&in);
    jpeg_mem_src(&in, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&in, TRUE);
    JpegRecipe recipe;
    recipe.Width = in.image_width;
    recipe.Height = in.image_height;
    recipe.Quality = quality;
    recipe.Grey = in.num_components == 1;
    jpeg_destroy_decompress(&in);
    return CompressJpeg(DecodeJpeg(file), recipe);
}

bool Contains(const std::vector<uint8_t>& file, const char* text)
{
    const size_t length = std::strlen(text);
    return std::search(file.begin(), file.end(), text, text + length) != file.end();
}

} // namespace lumaquill::test
