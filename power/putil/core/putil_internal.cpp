// Heap copies of scanner texts from the host allocator.
#include "core/putil_internal.h"

#include <cstring>

#include "host/hdb.h"

namespace {

PUTIL_TEXT_LINK* link_of(char* text) { return reinterpret_cast<PUTIL_TEXT_LINK*>(text) - 1; }

void unlink(PUTIL_TEXT_LINK* link)
{
    link->prev->next = link->next;
    link->next->prev = link->prev;
    link->prev = link->next = link;
}

}  // namespace

char* putil_copy_text(const char* text, std::size_t length, const char* file, int line, PUTIL_TEXT_LINK* list)
{
    void* block = mem_malloc_wrapper(sizeof(PUTIL_TEXT_LINK) + length + 1, PUTIL_SEGMENT, file, line);
    if (block == nullptr)
        PUTIL_INTERNAL_ERROR("Out of memory");
    PUTIL_TEXT_LINK* link = static_cast<PUTIL_TEXT_LINK*>(block);
    if (list != nullptr) {
        link->prev = list;
        link->next = list->next;
        list->next->prev = link;
        list->next = link;
    } else {
        link->prev = link->next = link;
    }
    char* copy = reinterpret_cast<char*>(link + 1);
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

void putil_free_text(char* text)
{
    if (text == nullptr)
        return;
    PUTIL_TEXT_LINK* link = link_of(text);
    unlink(link);
    mem_free_wrapper(link, PUTIL_SEGMENT);
}

void putil_detach_texts(PUTIL_TEXT_LINK* list)
{
    while (list->next != list)
        unlink(list->next);
}

void putil_free_texts(PUTIL_TEXT_LINK* list)
{
    while (list->next != list) {
        PUTIL_TEXT_LINK* link = list->next;
        unlink(link);
        mem_free_wrapper(link, PUTIL_SEGMENT);
    }
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
