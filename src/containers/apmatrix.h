#pragma once

#include <cstdint>
#include <stdexcept>

#include "containers/apvector.h"

namespace quorvex {

// A two-dimensional array kept as a vector of row vectors. Every row has
// numcols() cells; a cell is m[r][c]: the matrix checks r against the row
// count (the matrix message), the row then checks c against its own length
// (the vector message). Value semantics, as apvector.
//
// Sizes are 0 or more; a negative one throws std::length_error.
// Copy-only rows make its moves copies, which may run out of memory.
// NOLINTNEXTLINE(bugprone-exception-escape)
template <class T> class apmatrix {
  public:
    apmatrix() = default;

    // 1. Record the row and column counts.  2. Build `rows` empty rows.
    // 3. Resize each row to `cols` cells and set them, in order, to `fill`.
    apmatrix(std::int32_t rows, std::int32_t cols, const T& fill) : rows_(checkedSize(rows)) {
        checkedSize(cols);
        for (std::int32_t r = 0; r < rows; ++r) {
            rows_[r].resize(cols);
            for (std::int32_t c = 0; c < cols; ++c)
                rows_[r][c] = fill;
        }
        rowCount_ = rows;
        colCount_ = cols;
    }

    std::int32_t numrows() const { return rowCount_; }
    std::int32_t numcols() const { return colCount_; }

    // Rows first, then columns:
    // 1. Resize the row vector: surviving rows keep all their cells, new rows
    //    are empty, rows from newRows on are dropped.
    // 2. Resize every row, old and new alike, to newCols: a surviving row
    //    keeps its first min(old columns, newCols) cells.
    // 3. Record the new counts.
    // The construction fill plays no part: new cells are value-initialised.
    // Should step 2 run out of memory, the row count still equals the row
    // vector's length, so every index stays checked.
    void resize(std::int32_t newRows, std::int32_t newCols) {
        checkedSize(newRows);
        checkedSize(newCols);
        rows_.resize(newRows);
        rowCount_ = newRows;
        for (std::int32_t r = 0; r < newRows; ++r)
            rows_[r].resize(newCols);
        colCount_ = newCols;
    }

    apvector<T>& operator[](std::int32_t r) {
        if (r < 0 || r >= rowCount_) [[unlikely]]
            failIndex("matrix", r, rowCount_ - 1);
        return rows_[r];
    }

    const apvector<T>& operator[](std::int32_t r) const {
        if (r < 0 || r >= rowCount_) [[unlikely]]
            failIndex("matrix", r, rowCount_ - 1);
        return rows_[r];
    }

  private:
    static std::int32_t checkedSize(std::int32_t size) {
        if (size < 0)
            throw std::length_error("apmatrix: negative size");
        return size;
    }

    std::int32_t rowCount_ = 0;
    std::int32_t colCount_ = 0;
    apvector<apvector<T>> rows_;
};

} // namespace quorvex
