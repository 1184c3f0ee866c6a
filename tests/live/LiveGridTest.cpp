// Sample positions of the key grid in the spectrum image.
#include <gtest/gtest.h>

#include "device/live/LiveGrid.h"

using namespace live;

TEST(LiveGrid, RowAndColumnPositions)
{
    const SamplePositions six = ImageSamplePositions(6, 21);
    const int rows[] = {7, 17, 27, 37, 47, 57};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(six.rowY[r], rows[r]) << r;
    for (int c = 0; c < 21; ++c)
        EXPECT_EQ(six.colX[c], 12 * c) << c; // 255 / 21 = 12: 0, 12, ..., 240
    const SamplePositions eight = ImageSamplePositions(8, 32);
    EXPECT_EQ(eight.rowY[0], 5);  // 62 / 8 = 7: 2 + 3.5
    EXPECT_EQ(eight.rowY[7], 54);
    EXPECT_EQ(eight.colX[31], 217); // 255 / 32 = 7
}

TEST(LiveGrid, SizesAreClampedAndAnEmptyGridHasNoPositions)
{
    struct Case {
        int rows, columns;
        int expectRows, expectColumns;
    } cases[] = {{12, 40, 8, 32}, {0, 21, 0, 0}, {6, 0, 0, 0}, {-3, 5, 0, 0}, {1, 1, 1, 1}};
    for (const Case& c : cases) {
        const SamplePositions p = ImageSamplePositions(c.rows, c.columns);
        EXPECT_EQ(p.size.rows, c.expectRows) << c.rows << "x" << c.columns;
        EXPECT_EQ(p.size.columns, c.expectColumns) << c.rows << "x" << c.columns;
        for (int y : p.rowY)
            EXPECT_LT(y, 64);
    }
    EXPECT_TRUE(ClampGrid(0, 5).Empty());
}
