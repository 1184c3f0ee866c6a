#pragma once
// The key grid of music and screen lighting: R rows and C columns of the model's layout,
// each cell naming a key or none. The live sources produce one colour per grid cell.
#include <array>
#include <cstdint>

namespace live {

constexpr int kMaxGridRows = 8;
constexpr int kMaxGridColumns = 32;

// Colours of live lighting are 0x00BBGGRR (red in the low byte).
using Colour = uint32_t;

// Rows clamped to 0..8 and columns to 0..32; a grid with no rows or no columns is empty
// (both 0), so nothing is sampled and nothing divides by its size.
struct GridSize {
    int rows = 0;
    int columns = 0;
    bool Empty() const { return rows == 0 || columns == 0; }
};
GridSize ClampGrid(int rows, int columns);

// Where the spectrum image is read for each grid cell: row r at image row rowY[r],
// column c at image column colX[c]. Only the first size.rows / size.columns entries are
// set; an empty grid sets none.
struct SamplePositions {
    GridSize size;
    std::array<int, kMaxGridRows> rowY{};
    std::array<int, kMaxGridColumns> colX{};
};
SamplePositions ImageSamplePositions(int rows, int columns);

} // namespace live
