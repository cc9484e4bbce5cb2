// Propagation of one data key of transceiver elements up or down the
// containment tree, along the child lists.
#include "hssi/putil_hssi_info.h"
#include "core/putil_internal.h"

namespace {

// The accessors of one value kind, so that the walks are written once.
struct ENUM_DATA {
    typedef DEV_POWER_HSSI_ENUM_DATA_ENUM KEY;
    typedef int VALUE;
    static bool is_valid(const PUTIL_HSSI_ELEMENT* e, KEY key) { return e->is_valid_enum_enum(key); }
    static VALUE get(const PUTIL_HSSI_ELEMENT* e, KEY key) { return e->get_enum_data(key); }
    static void set(PUTIL_HSSI_ELEMENT* e, KEY key, VALUE value) { e->set_enum_data(key, value); }
};
struct INT_DATA {
    typedef DEV_POWER_HSSI_INT_DATA_ENUM KEY;
    typedef int VALUE;
    static bool is_valid(const PUTIL_HSSI_ELEMENT* e, KEY key) { return e->is_valid_int_enum(key); }
    static VALUE get(const PUTIL_HSSI_ELEMENT* e, KEY key) { return e->get_int_data(key); }
    static void set(PUTIL_HSSI_ELEMENT* e, KEY key, VALUE value) { e->set_int_data(key, value); }
};
struct BOOL_DATA {
    typedef DEV_POWER_HSSI_BOOL_DATA_ENUM KEY;
    typedef bool VALUE;
    static bool is_valid(const PUTIL_HSSI_ELEMENT* e, KEY key) { return e->is_valid_bool_enum(key); }
    static VALUE get(const PUTIL_HSSI_ELEMENT* e, KEY key) { return e->get_bool_data(key); }
    static void set(PUTIL_HSSI_ELEMENT* e, KEY key, VALUE value) { e->set_bool_data(key, value); }
};

// An element with a value answers with it and hides its subtree; otherwise
// the children's agreed value becomes the element's.
template <class DATA>
bool match_upwards(PUTIL_HSSI_ELEMENT* hssi_element, typename DATA::KEY key, typename DATA::VALUE& value)
{
    if (DATA::is_valid(hssi_element, key)) {
        value = DATA::get(hssi_element, key);
        return true;
    }
    value = typename DATA::VALUE();
    bool found = false;
    typename DATA::VALUE local_data = typename DATA::VALUE();
    for (PUTIL_HSSI_ELEMENT* child : hssi_element->get_child_elements()) {
        typename DATA::VALUE kids_data = typename DATA::VALUE();
        if (!match_upwards<DATA>(child, key, kids_data))
            continue;
        if (found) {
            PUTIL_ASSERT(kids_data == local_data);
            continue;
        }
        local_data = kids_data;
        found = true;
    }
    if (!found)
        return false;
    DATA::set(hssi_element, key, local_data);
    value = local_data;
    return true;
}

template <class DATA>
void set_downwards(PUTIL_HSSI_ELEMENT* hssi_element, typename DATA::KEY key, typename DATA::VALUE value)
{
    DATA::set(hssi_element, key, value);
    for (PUTIL_HSSI_ELEMENT* child : hssi_element->get_child_elements())
        set_downwards<DATA>(child, key, value);
}

}   // namespace

bool PUTIL_HSSI_INFO_HELPERS::propagate_and_match_enum_data_upwards_recursive_helper(
    PUTIL_HSSI_ELEMENT* hssi_element, DEV_POWER_HSSI_ENUM_DATA_ENUM key, int& value)
{
    return match_upwards<ENUM_DATA>(hssi_element, key, value);
}

bool PUTIL_HSSI_INFO_HELPERS::propagate_and_match_int_data_upwards_recursive_helper(
    PUTIL_HSSI_ELEMENT* hssi_element, DEV_POWER_HSSI_INT_DATA_ENUM key, int& value)
{
    return match_upwards<INT_DATA>(hssi_element, key, value);
}

bool PUTIL_HSSI_INFO_HELPERS::propagate_and_match_bool_data_upwards_recursive_helper(
    PUTIL_HSSI_ELEMENT* hssi_element, DEV_POWER_HSSI_BOOL_DATA_ENUM key, bool& value)
{
    return match_upwards<BOOL_DATA>(hssi_element, key, value);
}

bool PUTIL_HSSI_INFO_HELPERS::propagate_and_match_enum_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                    DEV_POWER_HSSI_ENUM_DATA_ENUM key)
{
    int scratch = 0;
    return propagate_and_match_enum_data_upwards_recursive_helper(hssi_element, key, scratch);
}

bool PUTIL_HSSI_INFO_HELPERS::propagate_and_match_int_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                   DEV_POWER_HSSI_INT_DATA_ENUM key)
{
    int scratch = 0;
    return propagate_and_match_int_data_upwards_recursive_helper(hssi_element, key, scratch);
}

bool PUTIL_HSSI_INFO_HELPERS::propagate_and_match_bool_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                    DEV_POWER_HSSI_BOOL_DATA_ENUM key)
{
    bool scratch = false;
    return propagate_and_match_bool_data_upwards_recursive_helper(hssi_element, key, scratch);
}

void PUTIL_HSSI_INFO_HELPERS::propagate_true_bool_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                               DEV_POWER_HSSI_BOOL_DATA_ENUM key)
{
    propagate_true_bool_data_upwards_recursive_helper(hssi_element, key);
}

// Children after the first true one are not visited.
bool PUTIL_HSSI_INFO_HELPERS::propagate_true_bool_data_upwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                                DEV_POWER_HSSI_BOOL_DATA_ENUM key)
{
    if (hssi_element->is_valid_bool_enum(key))
        return hssi_element->get_bool_data(key);
    for (PUTIL_HSSI_ELEMENT* child : hssi_element->get_child_elements()) {
        if (propagate_true_bool_data_upwards_recursive_helper(child, key)) {
            hssi_element->set_bool_data(key, true);
            return true;
        }
    }
    return false;
}

void PUTIL_HSSI_INFO_HELPERS::propagate_enum_data_downwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                            DEV_POWER_HSSI_ENUM_DATA_ENUM key)
{
    PUTIL_ASSERT(hssi_element->is_valid_enum_enum(key));
    propagate_enum_data_downwards_recursive_helper(hssi_element, key, hssi_element->get_enum_data(key));
}

void PUTIL_HSSI_INFO_HELPERS::propagate_int_data_downwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                           DEV_POWER_HSSI_INT_DATA_ENUM key)
{
    PUTIL_ASSERT(hssi_element->is_valid_int_enum(key));
    propagate_int_data_downwards_recursive_helper(hssi_element, key, hssi_element->get_int_data(key));
}

void PUTIL_HSSI_INFO_HELPERS::propagate_enum_data_downwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                            DEV_POWER_HSSI_ENUM_DATA_ENUM key,
                                                                            int value)
{
    set_downwards<ENUM_DATA>(hssi_element, key, value);
}

void PUTIL_HSSI_INFO_HELPERS::propagate_int_data_downwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                           DEV_POWER_HSSI_INT_DATA_ENUM key,
                                                                           int value)
{
    set_downwards<INT_DATA>(hssi_element, key, value);
}
