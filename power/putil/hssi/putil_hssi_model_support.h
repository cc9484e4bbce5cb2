// What the transceiver models' sources share: typed data keys by number,
// the any-implementation key of a kind, reads of atom parameters with a
// default, and small questions about an element's data.
#pragma once

#include "host/cdb_atom.h"
#include "hssi/putil_hssi_element.h"

namespace putil_hssi {

inline DEV_POWER_HSSI_INT_DATA_ENUM int_key(int key) { return static_cast<DEV_POWER_HSSI_INT_DATA_ENUM>(key); }
inline DEV_POWER_HSSI_BOOL_DATA_ENUM bool_key(int key) { return static_cast<DEV_POWER_HSSI_BOOL_DATA_ENUM>(key); }
inline DEV_POWER_HSSI_ENUM_DATA_ENUM enum_key(int key) { return static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(key); }
inline DEV_POWER_HSSI_DOUBLE_DATA_ENUM double_key(int key) { return static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(key); }
inline DEV_POWER_HSSI_ITERM_DATA_ENUM iterm_key(int key) { return static_cast<DEV_POWER_HSSI_ITERM_DATA_ENUM>(key); }
constexpr DEV_POWER_HSSI_OTERM_DATA_ENUM OTERM_0 = static_cast<DEV_POWER_HSSI_OTERM_DATA_ENUM>(0);

// Every block of a kind.
inline PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY any(int kind) { return {kind, DEV_PHYS_IMPL_ANY}; }

// Whether a transmit clock generation block takes its clock from the x6/xN
// clock network (PELLUMV's rule, which the strip captures use too).
bool tx_cgb_sourced_by_x6_xn_network(const CDB_ATOM_NODE* tx_cgb_atom);

// Parameters an atom may lack: the default stays.
inline int enum_parameter(const CDB_ATOM_NODE* atom, int parameter, int value = 0)
{
    cga_current_interface()->get_enum_parameter(atom, parameter, value);
    return value;
}
inline int int_parameter(const CDB_ATOM_NODE* atom, int parameter, int value = 0)
{
    cga_current_interface()->get_int_parameter(atom, parameter, value);
    return value;
}
inline bool bool_parameter(const CDB_ATOM_NODE* atom, int parameter, bool value = false)
{
    cga_current_interface()->get_bool_parameter(atom, parameter, value);
    return value;
}

inline bool is_true(const PUTIL_HSSI_ELEMENT* element, DEV_POWER_HSSI_BOOL_DATA_ENUM key)
{
    return element->is_valid_bool_enum(key) && element->get_bool_data(key);
}
inline bool is_used(const PUTIL_HSSI_ELEMENT* element)
{
    return is_true(element, DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED);
}
inline bool has_index(const PUTIL_HSSI_ELEMENT* element)
{
    return element->is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX);
}
inline DEV_ELEMENT_ENUM kind_of(const PUTIL_HSSI_ELEMENT* element)
{
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
    element->get_element_phys_impl_type(key);
    return key.element;
}

// The parent's side of a tree link: the child among its children and its
// associated elements, in the plain lists and in those of the child's kind.
inline void adopt_child(PUTIL_HSSI_ELEMENT* parent, PUTIL_HSSI_ELEMENT* child)
{
    const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY child_kind = any(kind_of(child));
    parent->add_child_element(child);
    parent->add_associated_element(child);
    parent->add_child_element(child_kind, child);
    parent->add_associated_element(child_kind, child);
}

// The child's side: its parent, also associated under the parent's kind.
inline void attach_to_parent(PUTIL_HSSI_ELEMENT* child, PUTIL_HSSI_ELEMENT* parent)
{
    child->set_parent_element(parent);
    child->add_associated_element(parent);
    child->add_associated_element(any(kind_of(parent)), parent);
}

// Every capture ends here: the atom, and that the block is used.
inline void mark_populated(PUTIL_HSSI_ELEMENT* element, CDB_ATOM_NODE* atom)
{
    element->set_atom_data(DEV_POWER_HSSI_ATOM_PLACED, atom);
    element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED, true);
}

}   // namespace putil_hssi
