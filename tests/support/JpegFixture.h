#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill::test {

// How a test JPEG is made with libjpeg-turbo.
struct JpegRecipe {
    uint32_t Width = 64;
    uint32_t Height = 64;
    int Quality = 75;
    bool Progressive = false;
    // Luma sampling factors: 1x1 is 4:4:4, 2x1 4:2:2, 2x2 4:2:0.
    int HorizontalSampling = 2;
    int VerticalSampling = 2;
    bool Grey = false;
    // MCUs between restart markers; 0 for none.
    unsigned RestartInterval = 0;
    // When not 1, an EXIF block with a camera make ("TestCam") and this
    // orientation.
    int Orientation = 1;
    // A made-up ICC profile of this many bytes.
    unsigned IccBytes = 0;
    // A comment marker ("test comment").
    bool Comment = false;
    bool OptimiseHuffman = true;
    uint32_t Seed = 1;
};

// A colour recipe of this size, quality and luma sampling (h x v).
JpegRecipe Recipe(uint32_t width, uint32_t height, int quality, int h, int v);
// The recipe, progressive.
JpegRecipe Progressive(JpegRecipe recipe);
// The recipe, greyscale.
JpegRecipe Grey(JpegRecipe recipe);
// The recipe with a restart marker every interval MCUs.
JpegRecipe Restarts(JpegRecipe recipe, unsigned interval);

// A photo-like picture (gradients, texture, noise) compressed by the recipe.
std::vector<uint8_t> MakeJpeg(const JpegRecipe& recipe);
// Pixels compressed by the recipe, its markers included: rows top-down,
// 3 bytes a pixel (red, green, blue), or 1 when the recipe is greyscale.
// REQUIRES: pixels.size() is that of the recipe's picture.
std::vector<uint8_t> CompressJpeg(std::span<const uint8_t> pixels, const JpegRecipe& recipe);

// The made-up ICC profile of a recipe.
std::vector<uint8_t> FixtureIcc(unsigned bytes);

// The picture a JPEG decodes to, 3 (or 1) bytes a pixel, rows top-down;
// empty when libjpeg cannot decode it.
std::vector<uint8_t> DecodeJpeg(const std::vector<uint8_t>& file);

// The JPEG decoded and compressed again at a quality, as messengers do
// with photos (4:2:0, or greyscale).
std::vector<uint8_t> RecompressJpeg(const std::vector<uint8_t>& file, int quality);

// The file's bytes contain the text.
bool Contains(const std::vector<uint8_t>& file, const char* text);

} // namespace lumaquill::test
