// Tests of the power matrix: defaults, order of first use, both printed
// layouts and deep copies.
#include "host/astr.h"
#include "supplies/putil_power_matrix.h"
#include "putil_test_support.h"

namespace {

const DEV_POWER_SUPPLY_ENUM S3 = static_cast<DEV_POWER_SUPPLY_ENUM>(3), S24 = static_cast<DEV_POWER_SUPPLY_ENUM>(24);
const DEV_POWER_REGION_ENUM R1 = static_cast<DEV_POWER_REGION_ENUM>(1), R14 = static_cast<DEV_POWER_REGION_ENUM>(14);

// A row label from the host's debug names, then a tab.
std::string row(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index)
{
    return astr_get_debug_string(supply) + "-" + astr_get_debug_string(region) + "-" + std::to_string(index) + "\t";
}

}  // namespace

class POWER_MATRIX : public PUTIL_TEST {
protected:
    // What print_table (or print_flat_table) writes into a file whose
    // stream has that precision.
    std::string printed(const PUTIL_POWER_MATRIX& matrix, bool flat = false, int precision = 6) const
    {
        const std::string path = m_folder + "/matrix.txt";
        std::ofstream out(path);
        out.precision(precision);
        flat ? matrix.print_flat_table(&out) : matrix.print_table(&out);
        out.close();
        return putil_read_text(path);
    }
};

TEST_F(POWER_MATRIX, a_new_table_prints_its_name_alone)
{
    const PUTIL_POWER_MATRIX matrix("static");
    EXPECT_EQ(printed(matrix), "static\n");
    EXPECT_EQ(printed(matrix, true), "static_row\tstatic_column\tstatic_data\n");
}

// Rows come in the order of their keys' first store (no index is index 0),
// columns in the order of their names' first use in any row; every row has
// a cell in every column, 0 where it has none, in the stream's format.
TEST_F(POWER_MATRIX, prints_rows_and_columns_in_order_of_first_use)
{
    PUTIL_POWER_MATRIX matrix("p");
    matrix.set_data(S24, R14, "z", 0.125);
    matrix.increment_data(S3, R1, 7, "y", 1.0 / 3.0);
    matrix.set_data(S24, R14, 0, "x", 2.5);
    matrix.set_data(S3, R1, 7, "z", 1e-12);
    matrix.set_data(S24, R14, "z", 4.0);
    const std::string row0 = row(S24, R14, 0), row7 = row(S3, R1, 7);
    EXPECT_EQ(printed(matrix, false, 3), "p\tz\ty\tx\n" + row0 + "4\t0\t2.5\n" + row7 + "1e-12\t0.333\t0\n");
    EXPECT_EQ(printed(matrix, true, 3), "p_row\tp_column\tp_data\n" + row0 + "z\t4\n" + row0 + "y\t0\n" + row0 +
                                            "x\t2.5\n" + row7 + "z\t1e-12\n" + row7 + "y\t0.333\n" + row7 + "x\t0\n");
}

TEST_F(POWER_MATRIX, absent_cells_read_zero_until_incremented)
{
    PUTIL_POWER_MATRIX matrix("m");
    EXPECT_FALSE(matrix.data_is_set(S3, R1, "a"));
    matrix.increment_data(S3, R1, "a", 0.5);
    matrix.increment_data(S3, R1, 0, "a", 0.25);
    EXPECT_EQ(matrix.get_data(S3, R1, "a"), 0.75);
    EXPECT_TRUE(matrix.data_is_set(S3, R1, 0, "a"));
    EXPECT_FALSE(matrix.data_is_set(S3, R1, 1, "a"));
    EXPECT_EQ(matrix.get_data(S3, R1, 1, "a"), 0.0);
    EXPECT_EQ(matrix.get_data(S3, R1, "b"), 0.0);
}

TEST_F(POWER_MATRIX, copies_are_independent_of_their_source)
{
    PUTIL_POWER_MATRIX* source = new PUTIL_POWER_MATRIX("m");
    source->set_data(S3, R1, "a", 1.0);
    PUTIL_POWER_MATRIX copy(*source), assigned("other");
    assigned.set_data(S24, R14, "b", 5.0);
    assigned = *source;
    source->set_data(S3, R1, "a", 9.0);
    source->set_data(S24, R14, "c", 3.0);
    delete source;
    copy.increment_data(S3, R1, "a", 1.0);
    PUTIL_POWER_MATRIX& self = assigned;
    assigned = self;
    EXPECT_EQ(printed(copy), "m\ta\n" + row(S3, R1, 0) + "2\n");
    EXPECT_EQ(printed(assigned), "m\ta\n" + row(S3, R1, 0) + "1\n");
}
