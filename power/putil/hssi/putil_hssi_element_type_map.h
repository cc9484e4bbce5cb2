// The element types of one transceiver model: a dense number per (kind,
// implementation) that the model's device family uses, and per kind's
// any-implementation key, so that elements keep per-type lists in arrays.
#pragma once

#include "host/dev_enums.h"
#include "core/putil_export.h"

class DEV_DEVICE;

typedef int PUTIL_HSSI_ELEMENT_TYPE;

// A block's kind and physical implementation; (kind, DEV_PHYS_IMPL_ANY)
// stands for every block of the kind.
struct PUTIL_EXPORT PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY {
    DEV_ELEMENT_ENUM element = DEV_ELEMENT_ENUM_BEGIN;
    DEV_PHYS_IMPL_ENUM phys_impl = DEV_PHYS_IMPL_ENUM_BEGIN;

    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY() = default;
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY(int element_kind, int implementation)
        : element(static_cast<DEV_ELEMENT_ENUM>(element_kind)),
          phys_impl(static_cast<DEV_PHYS_IMPL_ENUM>(implementation))
    {
    }
    bool operator==(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& other) const
    {
        return element == other.element && phys_impl == other.phys_impl;
    }
    // The any-implementation key of this key's kind.
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY any_implementation() const { return {element, DEV_PHYS_IMPL_ANY}; }
};

struct PUTIL_EXPORT PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY_HASH {
    std::size_t operator()(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const
    {
        const unsigned element = static_cast<unsigned>(key.element);
        return ((element >> 2) | (element << 2)) ^ static_cast<unsigned>(key.phys_impl);
    }
};

// Each model owns one map and its elements read it, so models of different
// families (or of two devices) live side by side in one process.
class PUTIL_EXPORT PUTIL_HSSI_ELEMENT_TYPE_MAP {
public:
    typedef PUTIL_VECTOR<PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY> KEY_VECTOR;

    // Builds the map for the device's family; does nothing when it was last
    // built for that family. Renumbers the types otherwise: elements made
    // under the previous numbering must not be used after that.
    void create_element_type_map(DEV_DEVICE* device);

    // The type of key, which must be in the map.
    PUTIL_HSSI_ELEMENT_TYPE get_hssi_element_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const;
    bool element_phys_impl_key_exists(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const;
    // The key of element_type, which must be a type of the map.
    void get_element_phys_impl_key(PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key, int element_type) const;
    bool hssi_element_type_exists(int element_type) const;
    int get_num_element_types() const { return m_num_element_types; }
    DEV_FAMILY_ENUM get_user_family() const { return m_user_family; }
    // Type number to key: the index is the type.
    const KEY_VECTOR& get_element_phys_impl_vector() const { return m_int_to_element_phys_impl_vector; }

private:
    void add_type_rows(const std::vector<std::vector<int>>& rows);

    DEV_FAMILY_ENUM m_user_family = DEV_FAMILY_NONE;   // family the map was last built for
    int m_num_element_types = 0;
    KEY_VECTOR m_int_to_element_phys_impl_vector;
    PUTIL_HASH_MAP<PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY, int, PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY_HASH>
        m_element_phys_impl_to_int_hash;
};
