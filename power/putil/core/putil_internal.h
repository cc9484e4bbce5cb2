// Library-wide helpers: the internal-error check, allocation from the host
// memory manager under the segment "PUTIL" and the scanner's text copies.
#pragma once

#include <cstddef>
#include <new>
#include <string>

#include "host/mem.h"
#include "host/msg.h"
#include "core/putil_export.h"

// Inlined whatever the compiler's size estimate, for code that runs for
// every line or change: a call there costs more than the code it saves.
#if defined(__GNUC__)
#define PUTIL_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define PUTIL_ALWAYS_INLINE inline
#endif

// A broken invariant of host data or of the library's own state: reported
// with the expression text, and the run stops. Never used for user input.
#define PUTIL_ASSERT(expression)                                                         \
    do {                                                                                 \
        if (!(expression))                                                               \
            MSG_INTERNAL_ERROR::report(#expression, "PUTIL", PUTIL_SOURCE_NAME, __LINE__); \
    } while (0)

// An internal error whose text is not an expression ("Out of memory").
#define PUTIL_INTERNAL_ERROR(text) MSG_INTERNAL_ERROR::report(text, "PUTIL", PUTIL_SOURCE_NAME, __LINE__)

#define PUTIL_NEW new (PUTIL_SOURCE_NAME, __LINE__)

class CMP_FACADE;
class CDB_ATOM_NETLIST;
class HDB_CMP_ACTION_PT_INSTANCE;

// The atom netlist of the compilation behind m_facade, and its action-point
// instance in m_cap_inst: facade, instance, database entries, chip entry and
// netlist must all exist (internal errors name the missing one).
CDB_ATOM_NETLIST* putil_atom_netlist_of_facade(CMP_FACADE* m_facade, HDB_CMP_ACTION_PT_INSTANCE*& m_cap_inst);

// Texts that the scanner hands out are linked into a list of the scanner's
// live texts, so that a parse stopped by an internal error can free the
// texts it dropped on the way. A text made without a list is linked to
// itself.
struct PUTIL_TEXT_LINK {
    PUTIL_TEXT_LINK* prev;
    PUTIL_TEXT_LINK* next;
};

// A NUL-terminated heap copy of text[0..length) from the host allocator, as
// the scanner hands strings to the handlers, linked after list when one is
// given; the receiver frees it with putil_free_text. A refused allocation
// is the internal error "Out of memory".
char* putil_copy_text(const char* text, std::size_t length, const char* file, int line,
                      PUTIL_TEXT_LINK* list = nullptr);
// Unlinks and frees a text of putil_copy_text; null is ignored.
void putil_free_text(char* text);
// Makes every text of list self-linked (the list's owner goes away, the
// texts' owners keep them), or frees them all.
void putil_detach_texts(PUTIL_TEXT_LINK* list);
void putil_free_texts(PUTIL_TEXT_LINK* list);
