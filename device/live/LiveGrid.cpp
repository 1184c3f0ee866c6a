#include "device/live/LiveGrid.h"

#include <algorithm>

namespace live {

GridSize ClampGrid(int rows, int columns)
{
    GridSize g;
    g.rows = std::clamp(rows, 0, kMaxGridRows);
    g.columns = std::clamp(columns, 0, kMaxGridColumns);
    if (g.rows == 0 || g.columns == 0)
        g = GridSize();
    return g;
}

SamplePositions ImageSamplePositions(int rows, int columns)
{
    SamplePositions p;
    p.size = ClampGrid(rows, columns);
    if (p.size.Empty())
        return p;
    // The image is 64 rows by 256 columns: row 0 is the meter, rows 2..63 hold the bars.
    const int rowStep = 62 / p.size.rows;
    for (int r = 0; r < p.size.rows; ++r)
        p.rowY[r] = static_cast<int>(rowStep * r + 2 + rowStep * 0.5);
    const int columnStep = 255 / p.size.columns;
    for (int c = 0; c < p.size.columns; ++c)
        p.colX[c] = columnStep * c;
    return p;
}

} // namespace live
