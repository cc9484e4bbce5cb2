// Reference host report database: the folders of one design's report and
// the tables the library adds to them, kept in order for the CLI and the
// tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/rdb.h"
#include "host_memory.h"

class HOST_REPORT_ROW final : public RDB_ROW, public HOST_HEAP_OBJECT {
public:
    explicit HOST_REPORT_ROW(std::vector<std::string> row_cells) : cells(std::move(row_cells)) {}

    std::vector<std::string> cells;
};

class HOST_REPORT_TABLE final : public RDB_TABLE_OBJECT, public HOST_HEAP_OBJECT {
public:
    explicit HOST_REPORT_TABLE(std::string table_title) : title(std::move(table_title)) {}
    // Keeps the row's cells and deletes the row, which must come from
    // rdb_create_row.
    void add_row(RDB_ROW* row) override;

    std::string title;
    std::vector<std::vector<std::string>> rows;   // the cells of each row, in the order added
};

class HOST_REPORT_FOLDER final : public RDB_FOLDER {
public:
    explicit HOST_REPORT_FOLDER(std::string name) : m_name(std::move(name)) {}
    ~HOST_REPORT_FOLDER() override = default;
    // The table must come from rdb_create_table.
    void add_table(RDB_TABLE_OBJECT* table) override;

    const std::string& name() const { return m_name; }
    const std::vector<std::unique_ptr<HOST_REPORT_TABLE>>& tables() const { return m_tables; }

private:
    std::string m_name;
    std::vector<std::unique_ptr<HOST_REPORT_TABLE>> m_tables;
};

// A report starts with one folder, s_power_folder, which is current.
class HOST_REPORT final : public RDB_REPORT {
public:
    static constexpr const char* s_power_folder = "Power Analysis";

    HOST_REPORT();
    ~HOST_REPORT() override;
    RDB_FOLDER* get_current_folder() const override;

    HOST_REPORT_FOLDER* add_folder(const std::string& name);
    // Null leaves the report without a current folder.
    void set_current_folder(HOST_REPORT_FOLDER* folder) { m_current = folder; }
    const std::vector<std::unique_ptr<HOST_REPORT_FOLDER>>& folders() const { return m_folders; }
    // Copies of every table, folder by folder, each folder's in the order
    // added.
    std::vector<HOST_REPORT_TABLE> tables() const;

private:
    std::vector<std::unique_ptr<HOST_REPORT_FOLDER>> m_folders;
    HOST_REPORT_FOLDER* m_current = nullptr;
};

// The tables of the current design's report; none without a current design.
std::vector<HOST_REPORT_TABLE> host_report_tables();
