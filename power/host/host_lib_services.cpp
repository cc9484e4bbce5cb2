// Reference host services of the power analyzer (current design's facade,
// chip database entry and transceiver marks, settings class) and small
// utilities.
#include "host_lib_services.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "host_atom.h"
#include "host_design.h"
#include "host_device.h"
#include "host_facade.h"
#include "host_messages.h"
#include "host_sa_data.h"

namespace {

bool s_continue_and_warn_on_failure = false;
std::string s_output_directory;
std::atomic<bool> s_stop_requested{false};
std::vector<std::string> s_output_failures;
std::vector<std::string> s_library_warnings;

// The power analyzer's settings class: only the customer-release flag.
class HOST_VELDRA_INI final : public PUTIL_VELDRA_INI {
public:
    bool get_customer_release() const override { return m_customer_release; }
    void set_customer_release(bool on) { m_customer_release = on; }

private:
    bool m_customer_release = false;
};

HOST_VELDRA_INI s_veldra_ini;

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

CDB_CHIP_DB_ENTRY* putil_lib_get_cdb_chip_db_entry()
{
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->store()->get_chip_db_entry();
}

// Without a current design there is no entry to override.
void putil_lib_force_chip_db_entry_voltage_from_ini()
{
    HOST_DESIGN* design = host_current_design();
    if (design != nullptr)
        design->chip_db_entry()->force_voltage_from_ini();
}

// Without a current design the mark has no device to go to.
void putil_lib_set_is_hssi_gid(unsigned gid, bool is_hssi)
{
    HOST_DESIGN* design = host_current_design();
    if (design != nullptr)
        design->device()->set_is_hssi_gid(gid, is_hssi);
}

PUTIL_VELDRA_INI* PUTIL_VELDRA_INI::instance()
{
    return &s_veldra_ini;
}

void host_set_customer_release(bool on)
{
    s_veldra_ini.set_customer_release(on);
}

bool putil_lib_get_continue_and_warn_on_failure()
{
    return s_continue_and_warn_on_failure;
}

void host_request_stop(bool stop) { s_stop_requested = stop; }

bool putil_lib_stop_requested() { return s_stop_requested; }

void host_set_output_directory(const std::string& folder) { s_output_directory = folder; }

std::string putil_lib_get_output_directory() { return s_output_directory; }

void putil_lib_report_output_failure(const std::string& text)
{
    s_output_failures.push_back(text);
    if (std::ostream* stream = host_message_stream())
        *stream << "putil: error: " << text << "\n";
}

const std::vector<std::string>& host_output_failures() { return s_output_failures; }

void putil_lib_report_warning(const std::string& text)
{
    s_library_warnings.push_back(text);
    if (std::ostream* stream = host_message_stream())
        *stream << "putil: warning: " << text << "\n";
}

const std::vector<std::string>& host_library_warnings() { return s_library_warnings; }

void host_clear_output_failures()
{
    s_output_failures.clear();
    s_library_warnings.clear();
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

bool putil_is_named_pin_side(const CDB_ATOM_NODE* atom, const CDB_ATOM_OTERM* oterm)
{
    if (!atom->is_pin_atom())
        return false;
    const int usage = oterm->get_any_usage_as();
    if (atom->is_padio_pin_atom())
        return usage == CDB_PORT_TYPE_PAD_OUTPUT || usage == CDB_PORT_TYPE_PIN_CLKOUT;
    return usage == CDB_PORT_TYPE_PIN_COMBOUT || usage == CDB_PORT_TYPE_PIN_CLKOUT;
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

std::string stl_escape_control_bytes(std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            result += c;
            continue;
        }
        result += "\\x";
        result += digits[byte >> 4];
        result += digits[byte & 0xF];
    }
    return result;
}

void stl_tolower(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
}
