#include "flows/StealthMessages.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

// The whole sentences, byte for byte, with the formats the table lists
// today; a format added to the table changes them here.
TEST(StealthMessages, NameTheFormatsOfTheTable)
{
    EXPECT_EQ(StealthMessages::NoNoise(),
        "A stealth image needs a photo as its container: a picture of random noise is conspicuous in itself. "
        "Choose a photo kept lossless (PNG, BMP or lossless WebP) instead of a noise picture.");
    EXPECT_EQ(StealthMessages::LossyCover("HEIC"),
        "This picture was saved in a lossy format (HEIC), whose compression grid betrays any change to its pixels, "
        "so it cannot carry a stealth image. Use a photo kept lossless (PNG, BMP or lossless WebP) that was never "
        "saved in a lossy format.");
    EXPECT_EQ(StealthMessages::JpegNeedsJpegCover(),
        "Only a JPEG cover makes a stealth JPEG: any other picture saved as a JPEG loses its hidden data. Give --out "
        "a .png, .bmp or .webp name, or a JPEG as --container.");
}

} // namespace
} // namespace lumaquill
