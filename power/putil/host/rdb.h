// Host report database: tables of text rows in the folders of the current
// compilation's report.
#pragma once

#include <string>
#include <vector>

// The host's column-name strings.
extern const char* const RDB_NODE_COL;
extern const char* const RDB_REASON_COL;

class RDB_ROW {
public:
    virtual ~RDB_ROW() = default;
};

class RDB_TABLE_OBJECT {
public:
    virtual ~RDB_TABLE_OBJECT() = default;
    // Takes ownership of the row.
    virtual void add_row(RDB_ROW* row) = 0;
};

class RDB_FOLDER {
public:
    // Takes ownership of the table.
    virtual void add_table(RDB_TABLE_OBJECT* table) = 0;

protected:
    virtual ~RDB_FOLDER() = default;
};

class RDB_REPORT {
public:
    // The folder new tables go to, or null.
    virtual RDB_FOLDER* get_current_folder() const = 0;

protected:
    virtual ~RDB_REPORT() = default;
};

// A new table with this title, owned by the caller until added to a folder;
// null when the host cannot make one.
RDB_TABLE_OBJECT* rdb_create_table(const char* title);
// A new row of these cells, owned by the caller until added to a table; null
// when the host cannot make one.
RDB_ROW* rdb_create_row(const std::vector<std::string>& cells);
