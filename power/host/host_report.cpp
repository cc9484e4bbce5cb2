// Reference host report database: folders own the tables added to them;
// what was made and never added belongs to its maker.
#include "host_report.h"

#include "host_design.h"
#include "host_internal_error.h"

const char* const RDB_NODE_COL = "Node";
const char* const RDB_REASON_COL = "Reason";

void HOST_REPORT_TABLE::add_row(RDB_ROW* row)
{
    HOST_REPORT_ROW* own = dynamic_cast<HOST_REPORT_ROW*>(row);
    HOST_ASSERT(own != nullptr);
    rows.push_back(std::move(own->cells));
    delete own;
}

void HOST_REPORT_FOLDER::add_table(RDB_TABLE_OBJECT* table)
{
    HOST_REPORT_TABLE* own = dynamic_cast<HOST_REPORT_TABLE*>(table);
    HOST_ASSERT(own != nullptr);
    m_tables.emplace_back(own);
}

HOST_REPORT::HOST_REPORT()
{
    m_current = add_folder(s_power_folder);
}

HOST_REPORT::~HOST_REPORT() = default;

RDB_FOLDER* HOST_REPORT::get_current_folder() const
{
    return m_current;
}

HOST_REPORT_FOLDER* HOST_REPORT::add_folder(const std::string& name)
{
    m_folders.push_back(std::make_unique<HOST_REPORT_FOLDER>(name));
    return m_folders.back().get();
}

std::vector<HOST_REPORT_TABLE> HOST_REPORT::tables() const
{
    std::vector<HOST_REPORT_TABLE> list;
    for (const auto& folder : m_folders) {
        for (const auto& table : folder->tables())
            list.push_back(*table);
    }
    return list;
}

std::vector<HOST_REPORT_TABLE> host_report_tables()
{
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? std::vector<HOST_REPORT_TABLE>() : design->report()->tables();
}

RDB_TABLE_OBJECT* rdb_create_table(const char* title)
{
    return new HOST_REPORT_TABLE(title == nullptr ? "" : title);
}

RDB_ROW* rdb_create_row(const std::vector<std::string>& cells)
{
    return new HOST_REPORT_ROW(cells);
}
