#include "image/BmpReader.h"

#include "core/ByteOrder.h"
#include "image/PictureLimits.h"

#include <algorithm>
#include <istream>
#include <limits>
#include <new>
#include <utility>

namespace lumaquill {

namespace {

constexpr uint64_t kMaxFileBytes = std::numeric_limits<uint32_t>::max();

bool IsKnownInfoSize(uint32_t size)
{
    return size == bmp::kInfoHeaderBytes || size == bmp::kV4InfoHeaderBytes || size == bmp::kV5InfoHeaderBytes;
}

bool ArePlainMasks(const uint8_t* masks)
{
    return Load32Le(masks) == bmp::kRedMask && Load32Le(masks + 4) == bmp::kGreenMask
        && Load32Le(masks + 8) == bmp::kBlueMask;
}

// The fourth byte of a pixel is kept as it stands, so it may be declared
// alpha or nothing.
bool IsPlainAlpha(uint32_t mask)
{
    return mask == 0 || mask == bmp::kAlphaMask;
}

} // namespace

bool BmpReader::Read()
{
    if (!(MeasureFile() && ReadFileHeader() && ReadInfoHeader() && CheckPixelFormat() && ReadMasks() && PlanLayout()
            && ReadTable() && ReadRows()))
        return false;
    Normalise();
    return true;
}

bool BmpReader::Refuse(LoadProblem problem, std::string detail)
{
    Problem = problem;
    Detail = std::move(detail);
    return false;
}

bool BmpReader::ReadExactly(uint8_t* dest, uint64_t count)
{
    File.read(reinterpret_cast<char*>(dest), static_cast<std::streamsize>(count));
    return static_cast<uint64_t>(File.gcount()) == count;
}

// The length is returned to the caller as 32 bits, so longer files are
// refused rather than misreported.
bool BmpReader::MeasureFile()
{
    File.clear();
    File.seekg(0, std::ios::end);
    const std::streamoff end = File.tellg();
    File.seekg(0, std::ios::beg);
    if (!File || end < 0)
        return Refuse(LoadProblem::Unreadable, "");
    if (static_cast<uint64_t>(end) > kMaxFileBytes)
        return Refuse(LoadProblem::TooLarge, "");
    Length = static_cast<uint32_t>(end);
    return true;
}

bool BmpReader::ReadFileHeader()
{
    uint8_t header[bmp::kFileHeaderBytes];
    if (!ReadExactly(header, sizeof header) || Load16Le(header) != bmp::kSignature)
        return false;
    PixelOffset = Load32Le(header + bmp::kPixelOffsetOffset);
    return true;
}

bool BmpReader::ReadInfoHeader()
{
    if (!ReadExactly(Info.data(), sizeof(uint32_t)))
        return false;
    InfoBytes = Load32Le(Info.data());
    if (!IsKnownInfoSize(InfoBytes))
        return Refuse(
            LoadProblem::Unsupported, "a bitmap information header of " + std::to_string(InfoBytes) + " bytes");
    return ReadExactly(Info.data() + sizeof(uint32_t), InfoBytes - sizeof(uint32_t));
}

bool BmpReader::CheckPixelFormat()
{
    const auto width = static_cast<int32_t>(Load32Le(Info.data() + bmp::kWidthOffset));
    const auto height = static_cast<int32_t>(Load32Le(Info.data() + bmp::kHeightOffset));
    BitCount = Load16Le(Info.data() + bmp::kBitCountOffset);
    Compression = Load32Le(Info.data() + bmp::kCompressionOffset);
    if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min())
        return Refuse(LoadProblem::Damaged, "BMP");
    if (!bmp::IsKnownBitCount(BitCount))
        return Refuse(LoadProblem::Unsupported, "a bitmap of " + std::to_string(BitCount) + " bits per pixel");
    if (Compression == bmp::kRle8 || Compression == bmp::kRle4)
        return Refuse(LoadProblem::Unsupported, "a run-length compressed bitmap");
    if (Compression != bmp::kRgb && !(Compression == bmp::kBitFields && BitCount == 32))
        return Refuse(LoadProblem::Unsupported, "bitmap compression " + std::to_string(Compression));
    TopDown = height < 0;
    RowCount = static_cast<uint32_t>(TopDown ? -height : height);
    RowStride = bmp::Stride64(BitCount, uint64_t(width));
    if (!limits::Fits(uint64_t(width), RowCount, BitCount))
        return Refuse(LoadProblem::TooLarge, "");
    return true;
}

bool BmpReader::ReadMasks()
{
    if (Compression != bmp::kBitFields)
        return true;
    if (InfoBytes != bmp::kInfoHeaderBytes) {
        if (ArePlainMasks(Info.data() + bmp::kMasksOffset)
            && IsPlainAlpha(Load32Le(Info.data() + bmp::kAlphaMaskOffset)))
            return true;
        return Refuse(LoadProblem::Unsupported, "bitmap colour masks other than blue, green, red bytes");
    }
    uint8_t masks[bmp::kTrailingMaskBytes];
    MaskBytes = bmp::kTrailingMaskBytes;
    if (!ReadExactly(masks, sizeof masks))
        return false;
    return ArePlainMasks(masks)
        || Refuse(LoadProblem::Unsupported, "bitmap colour masks other than blue, green, red bytes");
}

// Decides where table and rows lie and that both fit in the file, before
// anything is allocated.
bool BmpReader::PlanLayout()
{
    const uint16_t bits = BitCount;
    const uint32_t colorsUsed = Load32Le(Info.data() + bmp::kColorsUsedOffset);
    TableBytes = uint32_t(bmp::ColorCount(bits, colorsUsed)) * bmp::kColorEntryBytes;
    const uint64_t tableEnd = uint64_t(bmp::kFileHeaderBytes) + InfoBytes + MaskBytes + TableBytes;
    RowsStart = std::max<uint64_t>(PixelOffset, tableEnd);
    return tableEnd <= Length && RowsStart <= Length && RowStride * RowCount <= Length - RowsStart;
}

bool BmpReader::ReadTable()
{
    Header.assign(bmp::kInfoHeaderBytes + TableBytes, 0);
    std::copy_n(Info.begin(), bmp::kInfoHeaderBytes, Header.begin());
    return ReadExactly(Header.data() + bmp::kInfoHeaderBytes, TableBytes);
}

bool BmpReader::ReadRows()
{
    File.seekg(static_cast<std::streamoff>(RowsStart), std::ios::beg);
    if (!File)
        return false;
    try {
        Rows.assign(RowStride * RowCount, 0);
    } catch (const std::bad_alloc&) {
        return Refuse(LoadProblem::TooLarge, "");
    }
    return ReadExactly(Rows.data(), Rows.size());
}

// Rewrites the picture into the 40-byte, uncompressed, bottom-up form. The
// bit-field masks are dropped: they describe the plain 32-bit byte order.
void BmpReader::Normalise()
{
    Store32Le(Header.data() + bmp::kInfoSizeOffset, bmp::kInfoHeaderBytes);
    Store32Le(Header.data() + bmp::kCompressionOffset, bmp::kRgb);
    Store32Le(Header.data() + bmp::kHeightOffset, RowCount);
    if (!TopDown)
        return;
    for (uint64_t low = 0, high = RowCount - 1; low < high; ++low, --high) {
        auto lowRow = Rows.begin() + static_cast<std::ptrdiff_t>(low * RowStride);
        auto highRow = Rows.begin() + static_cast<std::ptrdiff_t>(high * RowStride);
        std::swap_ranges(lowRow, lowRow + static_cast<std::ptrdiff_t>(RowStride), highRow);
    }
}

} // namespace lumaquill
