// Reference host user settings, and the project option store that answers
// them for the current design.
#include "host_user_settings.h"

#include "host_design.h"

void HOST_USER_SETTINGS::set_string_option(int id, std::string text)
{
    m_string_options.insert_or_assign(id, HOST_OPTION(std::move(text)));
}

const HDB_OPTION* HOST_USER_SETTINGS::string_option(int id) const
{
    auto found = m_string_options.find(id);
    return found == m_string_options.end() ? nullptr : &found->second;
}

// Without a current design no option is set.
const HDB_OPTION* HDB_STRING_OPTION::get_string_option(int id)
{
    const HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->user_settings().string_option(id);
}
