// Writes a JPEG's luminance coefficients for the JPEG detectability
// benchmark (bench/detectability/jpeg_detectability.py): three little-endian
// uint32 (the first component's width and height in blocks, the non-zero AC
// coefficients of all components), then the first component's coefficients
// as little-endian int16, blocks row by row, each in natural order.
// Exit status 1 when the file cannot be read.

#include "core/ByteOrder.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace lumaquill;
    if (argc != 2)
        return 2;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    JpegCoefficients jpeg;
    std::string detail;
    if (JpegCoefficientFile::Read(file, jpeg, detail) != LoadProblem::None)
        return 1;
    const JpegCoefficients::Component& luma = jpeg.Components[0];
    std::vector<uint8_t> out(12 + 2 * luma.Blocks() * JpegCoefficients::kBlockCoefficients);
    Store32Le(out.data(), luma.WidthInBlocks);
    Store32Le(out.data() + 4, luma.HeightInBlocks);
    Store32Le(out.data() + 8, uint32_t(jpeg.NonZeroAc()));
    for (size_t i = 0; i < luma.Blocks() * JpegCoefficients::kBlockCoefficients; ++i)
        Store16Le(out.data() + 12 + 2 * i, uint16_t(jpeg.Values[luma.First + i]));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
