// Tests of the power matrix: cells and their defaults, the order of rows and
// columns, both printed layouts, and deep copies.
#include "host/astr.h"
#include "putil_power_matrix.h"
#include "putil_test_support.h"

namespace {

const DEV_POWER_SUPPLY_ENUM S3 = static_cast<DEV_POWER_SUPPLY_ENUM>(3);
const DEV_POWER_SUPPLY_ENUM S24 = static_cast<DEV_POWER_SUPPLY_ENUM>(24);
const DEV_POWER_REGION_ENUM R1 = static_cast<DEV_POWER_REGION_ENUM>(1);
const DEV_POWER_REGION_ENUM R14 = static_cast<DEV_POWER_REGION_ENUM>(14);

// A row label as the matrix prints it, from the host's debug names.
std::string label(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index)
{
    return astr_get_debug_string(supply) + "-" + astr_get_debug_string(region) + "-" + std::to_string(index);
}

}  // namespace

class POWER_MATRIX : public PUTIL_TEST {
protected:
    // What print_table (or print_flat_table) writes into a file.
    std::string printed(const PUTIL_POWER_MATRIX& matrix, bool flat) const
    {
        const std::string path = m_folder + "/matrix.txt";
        {
            std::ofstream out(path);
            if (flat)
                matrix.print_flat_table(&out);
            else
                matrix.print_table(&out);
        }
        return putil_read_text(path);
    }
};

TEST_F(POWER_MATRIX, a_new_table_prints_its_name_alone)
{
    const PUTIL_POWER_MATRIX matrix("static");
    EXPECT_EQ(printed(matrix, false), "static\n");
    EXPECT_EQ(printed(matrix, true), "static_row\tstatic_column\tstatic_data\n");
}

// A row without an index is the row of index 0; every row prints a cell for
// every column, 0 where it has none.
TEST_F(POWER_MATRIX, rows_print_against_every_column)
{
    PUTIL_POWER_MATRIX matrix("m");
    matrix.set_data(S3, R1, "a", 1.0);
    matrix.set_data(S3, R1, 3, "b", 2.0);
    const std::string row0 = label(S3, R1, 0), row3 = label(S3, R1, 3);
    EXPECT_EQ(printed(matrix, false), "m\ta\tb\n" + row0 + "\t1\t0\n" + row3 + "\t0\t2\n");
    EXPECT_EQ(printed(matrix, true), "m_row\tm_column\tm_data\n" + row0 + "\ta\t1\n" + row0 + "\tb\t0\n" + row3 +
                                         "\ta\t0\n" + row3 + "\tb\t2\n");
}

// Rows come in the order of their keys' first store, columns in the order
// of their names' first use in any row; values use the stream's format.
TEST_F(POWER_MATRIX, order_is_first_use_and_values_take_the_stream_format)
{
    PUTIL_POWER_MATRIX matrix("p");
    matrix.set_data(S24, R14, "z", 0.125);
    matrix.increment_data(S3, R1, 7, "y", 1.0 / 3.0);
    matrix.set_data(S24, R14, "x", 2.5);
    matrix.set_data(S3, R1, 7, "z", 1e-12);
    matrix.set_data(S24, R14, "z", 4.0);

    const std::string path = m_folder + "/matrix.txt";
    {
        std::ofstream out(path);
        out.precision(3);
        matrix.print_table(&out);
    }
    EXPECT_EQ(putil_read_text(path), "p\tz\ty\tx\n" + label(S24, R14, 0) + "\t4\t0\t2.5\n" + label(S3, R1, 7) +
                                         "\t1e-12\t0.333\t0\n");
}

TEST_F(POWER_MATRIX, absent_cells_read_zero_until_set_or_incremented)
{
    PUTIL_POWER_MATRIX matrix("m");
    EXPECT_EQ(matrix.get_data(S3, R1, "a"), 0.0);
    EXPECT_FALSE(matrix.data_is_set(S3, R1, "a"));

    matrix.increment_data(S3, R1, "a", 0.5);
    matrix.increment_data(S3, R1, 0, "a", 0.25);
    EXPECT_EQ(matrix.get_data(S3, R1, 0, "a"), 0.75);
    EXPECT_TRUE(matrix.data_is_set(S3, R1, "a"));
    // Another index or another name of the same row is a different cell.
    EXPECT_FALSE(matrix.data_is_set(S3, R1, 1, "a"));
    EXPECT_FALSE(matrix.data_is_set(S3, R1, "b"));
    EXPECT_EQ(matrix.get_data(S3, R1, 1, "a"), 0.0);

    matrix.set_data(S3, R1, "a", -2.0);
    EXPECT_EQ(matrix.get_data(S3, R1, "a"), -2.0);
}

TEST_F(POWER_MATRIX, copies_are_independent_of_their_source)
{
    PUTIL_POWER_MATRIX* source = new PUTIL_POWER_MATRIX("m");
    ASSERT_NE(source, nullptr);
    source->set_data(S3, R1, "a", 1.0);
    PUTIL_POWER_MATRIX copy(*source);
    PUTIL_POWER_MATRIX assigned("other");
    assigned.set_data(S24, R14, "b", 5.0);
    assigned = *source;
    const std::string before = printed(*source, false);

    source->set_data(S3, R1, "a", 9.0);
    source->set_data(S24, R14, "c", 3.0);
    copy.increment_data(S3, R1, "a", 1.0);
    EXPECT_EQ(printed(copy, false), "m\ta\n" + label(S3, R1, 0) + "\t2\n");
    EXPECT_EQ(printed(assigned, false), before);
    delete source;
    EXPECT_EQ(assigned.get_data(S3, R1, "a"), 1.0);
    EXPECT_FALSE(assigned.data_is_set(S24, R14, "b"));

    PUTIL_POWER_MATRIX& self = assigned;
    assigned = self;
    EXPECT_EQ(printed(assigned, false), before);
}
