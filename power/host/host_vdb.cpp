// Reference host waveform database: the channels of one vector waveform
// table, kept until the database is destroyed or reads again.
#include "host_vdb.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "host/hdb.h"
#include "host_waveform_table.h"

const char* const PUTIL_BIDIR_PADIO_RESULT_EXTENSION = "~result";

namespace {

std::string s_last_error;

bool fail(const std::string& reason)
{
    s_last_error = reason;
    return false;
}

}  // namespace

class VDB_DATA::STORE : public HOST_WAVEFORM_TABLE {
};

FIO_PATH::FIO_PATH(const std::string& path) : m_path(path) {}

const std::string& FIO_PATH::get_string() const
{
    return m_path;
}

// The project status tells a host of several projects which one the file
// belongs to; this host has one.
VDB_DATA::VDB_DATA(int) : m_store(nullptr) {}

VDB_DATA::~VDB_DATA()
{
    delete m_store;
}

// The tree is not needed: the table names signals by their full paths.
bool VDB_DATA::read_from_disk(const FIO_PATH& path, int file_type, int value_type, HDB_ACTION_PT_TREE*)
{
    delete m_store;
    m_store = nullptr;
    s_last_error.clear();
    const std::string& name = path.get_string();
    if (file_type != VDB_FILE_TYPE_VECTOR_TABLE)
        return fail(name + ": file type " + std::to_string(file_type) + " is not a vector waveform table");
    if (value_type != VDB_VALUE_TYPE_NINE_LEVEL)
        return fail(name + ": value type " + std::to_string(value_type) + " is not nine-level logic");
    std::error_code ignored;
    if (!std::filesystem::exists(name, ignored))
        return fail(name + ": no such file");
    if (std::filesystem::is_directory(name, ignored))
        return fail(name + ": is a directory");
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return fail(name + ": cannot be opened");
    auto store = std::make_unique<STORE>();
    if (!host_read_waveform_table(in, name, *store, s_last_error))
        return false;
    m_store = store.release();
    return true;
}

VDB_CHANNEL* VDB_DATA::find_channel(const HDB_INSTANCE_NAME* instance) const
{
    return instance == nullptr ? nullptr : find_channel(instance->get_full_name());
}

VDB_CHANNEL* VDB_DATA::find_channel(const std::string& name) const
{
    return m_store == nullptr ? nullptr : m_store->find_channel(name);
}

bool VDB_DATA::is_low(VDB_VALUE_NINE_LEVEL value) const
{
    return value == VDB_VALUE_0 || value == VDB_VALUE_L;
}

const std::string& host_vdb_last_error()
{
    return s_last_error;
}
