// Heap copies of scanner texts from the host allocator.
#include "putil_internal.h"

#include <cstring>

#include "host/hdb.h"

char* putil_copy_text(const char* text, std::size_t length, const char* file, int line)
{
    char* copy = static_cast<char*>(mem_malloc_wrapper(length + 1, PUTIL_SEGMENT, file, line));
    if (copy == nullptr)
        PUTIL_INTERNAL_ERROR("Out of memory");
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

CDB_ATOM_NETLIST* putil_atom_netlist_of_facade(CMP_FACADE* m_facade, HDB_CMP_ACTION_PT_INSTANCE*& m_cap_inst)
{
    PUTIL_ASSERT(m_facade != 0);
    m_cap_inst = m_facade->get_action_point_instance();
    PUTIL_ASSERT(m_cap_inst != 0);
    CDB_DB_ENTRIES* db_entries = CDB_CMP_ENTRY::get_db_entries(m_cap_inst);
    PUTIL_ASSERT(db_entries != 0);
    CDB_CHIP_DB_ENTRY* chip_entry = db_entries->get_chip_db_entry();
    PUTIL_ASSERT(chip_entry != 0);
    CDB_ATOM_NETLIST* m_netlist = chip_entry->get_atom_netlist();
    PUTIL_ASSERT(m_netlist != 0);
    return m_netlist;
}
