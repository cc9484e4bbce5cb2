// Reference host services of the power analyzer and small utilities.
#include "host_lib_services.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "host_atom.h"
#include "host_design.h"

namespace {

bool s_continue_and_warn_on_failure = false;

}  // namespace

void host_set_continue_and_warn_on_failure(bool value)
{
    s_continue_and_warn_on_failure = value;
}

CMP_FACADE* putil_lib_get_cmp_facade()
{
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->facade();
}

bool putil_lib_get_continue_and_warn_on_failure()
{
    return s_continue_and_warn_on_failure;
}

bool putil_is_valid_power_atom(CDB_ATOM_NODE* atom)
{
    const HOST_ATOM* host_atom = dynamic_cast<const HOST_ATOM*>(atom);
    return host_atom != nullptr && host_atom->is_power_valid();
}

bool putil_is_valid_power_term(CDB_ATOM_ITERM* iterm)
{
    return iterm != nullptr && putil_is_valid_power_atom(iterm->get_my_node());
}

bool putil_is_valid_power_term(CDB_ATOM_OTERM* oterm, bool include_unconnected)
{
    if (oterm == nullptr || !putil_is_valid_power_atom(oterm->get_my_node()))
        return false;
    return include_unconnected || cdb_is_connected(oterm);
}

bool FIO_FILE_SYSTEM::exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void stl_tolower(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
}
