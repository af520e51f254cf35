#include "ui/dialogs/SizeText.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(SizeTextTest, ReadsInDecimalUnitsWithOneDecimalBelowTen)
{
    struct Case {
        uint64_t Bytes;
        const char* Shown;
    };
    const Case cases[] = {
        { 0, "0 bytes" },
        { 1, "1 byte" },
        { 999, "999 bytes" },
        { 1000, "1.0 KB" },
        { 9949, "9.9 KB" },
        // Rounds to ten units: whole units from there.
        { 9950, "10 KB" },
        // A 1200 x 800 picture's room.
        { 955903, "956 KB" },
        // Rounding carries into the next unit.
        { 999600, "1.0 MB" },
        // Two mebibytes.
        { 2097152, "2.1 MB" },
        { 1234567890, "1.2 GB" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeText::Of(c.Bytes), QString::fromLatin1(c.Shown)) << c.Bytes;
}

} // namespace
} // namespace lumaquill
