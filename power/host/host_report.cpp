// Reference host report database: folders own the tables added to them, and
// tables the rows; what was made and never added belongs to its maker.
#include "host_report.h"

#include <algorithm>

#include "host_internal_error.h"

const char* const RDB_NODE_COL = "Node";
const char* const RDB_REASON_COL = "Reason";

void HOST_REPORT_TABLE::add_row(RDB_ROW* row)
{
    HOST_REPORT_ROW* own = dynamic_cast<HOST_REPORT_ROW*>(row);
    HOST_ASSERT(own != nullptr);
    m_rows.emplace_back(own);
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

std::vector<const HOST_REPORT_TABLE*> HOST_REPORT::tables() const
{
    std::vector<const HOST_REPORT_TABLE*> list;
    for (const auto& folder : m_folders) {
        for (const auto& table : folder->tables())
            list.push_back(table.get());
    }
    return list;
}

const HOST_REPORT_TABLE* HOST_REPORT::find_table(const std::string& title) const
{
    for (const HOST_REPORT_TABLE* table : tables()) {
        if (table->title() == title)
            return table;
    }
    return nullptr;
}

RDB_TABLE_OBJECT* rdb_create_table(const char* title)
{
    return new HOST_REPORT_TABLE(title == nullptr ? "" : title);
}

RDB_ROW* rdb_create_row(const std::vector<std::string>& cells)
{
    return new HOST_REPORT_ROW(cells);
}

void host_write_report_table(std::ostream& out, const HOST_REPORT_TABLE& table)
{
    std::vector<std::size_t> widths;
    for (const auto& row : table.rows()) {
        widths.resize(std::max(widths.size(), row->cells().size()), 0);
        for (std::size_t column = 0; column < row->cells().size(); ++column)
            widths[column] = std::max(widths[column], row->cells()[column].size());
    }
    out << table.title() << '\n';
    for (const auto& row : table.rows()) {
        std::string line;
        for (std::size_t column = 0; column < row->cells().size(); ++column) {
            const std::string& cell = row->cells()[column];
            line += cell;
            if (column + 1 < row->cells().size())
                line += std::string(widths[column] - cell.size() + 2, ' ');
        }
        out << line << '\n';
    }
}
