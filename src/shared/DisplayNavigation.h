#pragma once

// Moving over the display's rows, counted from 1 as the grid counts them below its heading row.
namespace DisplayNavigation {

constexpr bool isFirst(int row)
{
    return row == 1;
}

constexpr bool isLast(int row, int rows)
{
    return row == rows;
}

// The row whose recording is shown next once the one on `row` is gone: the row below moves up into
// its place; after the last, the one above becomes the last; the only row leaves only itself.
constexpr int neighbourRow(int row, int rows)
{
    if (row < rows)
        return row + 1;
    return row > 1 ? row - 1 : row;
}

} // namespace DisplayNavigation
