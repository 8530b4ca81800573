#include "containers/apmatrix.h"

#include <cstdint>
#include <stdexcept>

#include <gtest/gtest.h>

#include "index_death.h"

namespace quorvex {
namespace {

// A distinct, exactly representable value per cell.
long double cellValue(std::int32_t r, std::int32_t c) {
    return r * 10 + c + 0.125L;
}

apmatrix<long double> numbered(std::int32_t rows, std::int32_t cols) {
    apmatrix<long double> m(rows, cols, 0.0L);
    for (std::int32_t r = 0; r < rows; ++r)
        for (std::int32_t c = 0; c < cols; ++c)
            m[r][c] = cellValue(r, c);
    return m;
}

void expectNumberedCells(const apmatrix<long double>& m, std::int32_t rows, std::int32_t cols) {
    for (std::int32_t r = 0; r < rows; ++r)
        for (std::int32_t c = 0; c < cols; ++c)
            EXPECT_EQ(m[r][c], cellValue(r, c)) << r << "," << c;
}

TEST(ApmatrixConstruction, NoRowsStillRecordsTheColumns) {
    const apmatrix<long double> m(0, 5, 0.0L);
    EXPECT_EQ(m.numrows(), 0);
    EXPECT_EQ(m.numcols(), 5);
}

TEST(ApmatrixConstruction, EveryCellHoldsTheFill) {
    const apmatrix<long double> m(2, 3, 7.5L);
    ASSERT_EQ(m.numrows(), 2);
    ASSERT_EQ(m.numcols(), 3);
    for (std::int32_t r = 0; r < 2; ++r) {
        ASSERT_EQ(m[r].length(), 3);
        for (std::int32_t c = 0; c < 3; ++c)
            EXPECT_EQ(m[r][c], 7.5L);
    }
}

TEST(ApmatrixConstruction, NegativeSizesAreRefused) {
    EXPECT_THROW(apmatrix<long double>(-1, 5, 0.0L), std::length_error);
    EXPECT_THROW(apmatrix<long double>(0, -5, 0.0L), std::length_error);
    apmatrix<long double> m = numbered(2, 2);
    EXPECT_THROW(m.resize(0, -1), std::length_error);
    EXPECT_EQ(m.numrows(), 2);
    expectNumberedCells(m, 2, 2);
}

TEST(ApmatrixResize, OneMoreRowKeepsEveryCell) {
    apmatrix<long double> m = numbered(3, 5);
    m.resize(4, 5);
    EXPECT_EQ(m.numrows(), 4);
    EXPECT_EQ(m.numcols(), 5);
    expectNumberedCells(m, 3, 5);
    EXPECT_EQ(m[3].length(), 5);
}

TEST(ApmatrixResize, FewerRowsDropTheLastOnes) {
    apmatrix<long double> m = numbered(4, 5);
    m.resize(2, 5);
    EXPECT_EQ(m.numrows(), 2);
    expectNumberedCells(m, 2, 5);
}

TEST(ApmatrixResize, FewerColumnsKeepTheFirstCellsOfEveryRow) {
    apmatrix<long double> m = numbered(4, 5);
    m.resize(4, 3);
    EXPECT_EQ(m.numcols(), 3);
    for (std::int32_t r = 0; r < 4; ++r)
        EXPECT_EQ(m[r].length(), 3);
    expectNumberedCells(m, 4, 3);
}

TEST(ApmatrixResize, TheFillPlaysNoPartInGrowth) {
    apmatrix<long double> m(1, 2, 7.5L);
    m.resize(2, 3);
    EXPECT_EQ(m[0][0], 7.5L);
    EXPECT_EQ(m[0][1], 7.5L);
    EXPECT_EQ(m[0][2], 0.0L); // value-initialised, not the fill
    EXPECT_EQ(m[1][0], 0.0L);
}

TEST(ApmatrixResize, GrowingRowByRowAsTheTallyDoes) {
    apmatrix<long double> m(0, 5, 0.0L);
    for (std::int32_t r = 0; r < 1001; ++r) {
        m.resize(m.numrows() + 1, 5);
        for (std::int32_t c = 0; c < 5; ++c)
            m[r][c] = cellValue(r, c);
    }
    EXPECT_EQ(m.numrows(), 1001);
    expectNumberedCells(m, 1001, 5);
}

TEST(ApmatrixCopy, CopiesAreDeep) {
    apmatrix<long double> source = numbered(2, 3);
    const apmatrix<long double> constructed(source);
    apmatrix<long double> assigned;
    assigned = source;
    source[1][2] = -1.0L;
    source.resize(5, 5);
    for (const apmatrix<long double>* copy :
         {&constructed, static_cast<const apmatrix<long double>*>(&assigned)}) {
        EXPECT_EQ(copy->numrows(), 2);
        EXPECT_EQ(copy->numcols(), 3);
        expectNumberedCells(*copy, 2, 3);
    }
}

TEST(ApmatrixIndexDeathTest, RowsAreCheckedWithTheMatrixMessage) {
    apmatrix<long double> empty(0, 5, 0.0L);
    EXPECT_EXIT(empty[0][0] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 0 max index = -1"));
    apmatrix<long double> m = numbered(3, 5);
    EXPECT_EXIT(m[-1][0] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: -1 max index = 2"));
    EXPECT_EXIT(m[3][0] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 3 max index = 2"));
}

TEST(ApmatrixIndexDeathTest, ColumnsAreCheckedByTheRowWithTheVectorMessage) {
    apmatrix<long double> m = numbered(3, 5);
    EXPECT_EXIT(m[1][5] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 5 max index = 4"));
    EXPECT_EXIT(m[2][-1] = 1.0L, ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: -1 max index = 4"));
}

TEST(ApmatrixIndexDeathTest, ReadOnlyIndexChecksAlike) {
    const apmatrix<long double> m = numbered(3, 5);
    EXPECT_EXIT(static_cast<void>(m[3][0]), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal matrix index: 3 max index = 2"));
    EXPECT_EXIT(static_cast<void>(m[0][7]), ::testing::ExitedWithCode(3),
                indexFailureOutput("Illegal vector index: 7 max index = 4"));
}

} // namespace
} // namespace quorvex
