// Report database of the reference host: tables kept in the current folder in order, and tables and rows as host
// objects that the memory manager counts and can refuse.
#include "host_test_fixture.h"

namespace {

using HOST_REPORT_TEST = HOST_TEST;

RDB_TABLE_OBJECT* make_table(const char* title, const std::vector<std::vector<std::string>>& rows)
{
    RDB_TABLE_OBJECT* table = rdb_create_table(title);
    for (const std::vector<std::string>& cells : rows)
        table->add_row(rdb_create_row(cells));
    return table;
}

TEST_F(HOST_REPORT_TEST, TablesAddedToTheCurrentFolderAreKeptInOrder)
{
    HOST_DESIGN design;
    RDB_REPORT* report = design.facade()->get_report_database();
    ASSERT_EQ(report, design.report());
    RDB_FOLDER* folder = report->get_current_folder();
    ASSERT_NE(folder, nullptr);
    folder->add_table(make_table("Indeterminate Toggle Rates", {{RDB_NODE_COL, RDB_REASON_COL},
                                                                {"top|a", "No valid clock domain found"},
                                                                {"top|long|name", "Multiple clock domains found"}}));
    HOST_REPORT_FOLDER* other = design.report()->add_folder("Other");
    design.report()->set_current_folder(other);
    report->get_current_folder()->add_table(make_table("Second", {}));
    EXPECT_TRUE(host_report_tables().empty()) << "no current design";
    host_set_current_design(&design);
    std::vector<std::string> titles;
    for (const HOST_REPORT_TABLE& table : host_report_tables())
        titles.push_back(table.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Indeterminate Toggle Rates", "Second"}));
    EXPECT_EQ(host_report_tables().front().rows,
              (std::vector<std::vector<std::string>>{{"Node", "Reason"},
                                                     {"top|a", "No valid clock domain found"},
                                                     {"top|long|name", "Multiple clock domains found"}}));
    design.report()->set_current_folder(nullptr);
    EXPECT_EQ(report->get_current_folder(), nullptr);
}

TEST_F(HOST_REPORT_TEST, TablesAndRowsAreCountedHostBlocksThatCanBeRefused)
{
    const std::size_t live = host_memory_live_blocks("HOST");
    {
        HOST_DESIGN design;
        design.report()->get_current_folder()->add_table(make_table("Kept", {{"a"}}));
        delete make_table("Never added", {{"b", "c"}});
        delete rdb_create_row({"d"});
        EXPECT_EQ(host_memory_live_blocks("HOST"), live + 1) << "the kept table; a row added is freed";
    }
    EXPECT_EQ(host_memory_live_blocks("HOST"), live);
    host_memory_fail_allocation(1, "HOST");
    EXPECT_EQ(rdb_create_row({"x"}), nullptr);
    host_memory_fail_allocation(1, "HOST");
    EXPECT_EQ(rdb_create_table("refused"), nullptr);
    EXPECT_EQ(host_memory_live_blocks("HOST"), live);
}

}  // namespace
