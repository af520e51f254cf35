#include "image/FitRect.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(FitRectTest, KeepsTheAspectRatioAndCentresThePicture)
{
    struct Case {
        const char* Name;
        Rect Area;
        int32_t PictureWidth;
        int32_t PictureHeight;
        Rect Expected;
    };
    const Case cases[] = {
        { "wider picture", { 0, 0, 100, 100 }, 200, 100, { 0, 25, 100, 75 } },
        { "taller picture", { 0, 0, 100, 100 }, 100, 200, { 25, 0, 75, 100 } },
        { "same aspect", { 0, 0, 100, 100 }, 50, 50, { 0, 0, 100, 100 } },
        { "relative to the area's own corner", { 10, 20, 110, 120 }, 200, 100, { 0, 25, 100, 75 } },
        { "odd remainder truncated", { 0, 0, 100, 51 }, 100, 100, { 24, 0, 75, 51 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitRect(c.Area, c.PictureWidth, c.PictureHeight), c.Expected) << c.Name;
}

} // namespace
} // namespace lumaquill
