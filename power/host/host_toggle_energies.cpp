// Reference host toggle energies: a CSV file of switching energies per signal,
// checked line by line before any of it is taken.
#include "host_toggle_energies.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "host_decimal.h"
#include "host_design.h"
#include "host_sa_data.h"

namespace {

const char* const s_header = "name,energy_type,energy";

// The signal ids of the output terms, by hierarchy path.
std::unordered_map<std::string, std::vector<std::uint32_t>> ids_by_path(const HOST_DESIGN& design)
{
    std::unordered_map<std::string, std::vector<std::uint32_t>> ids;
    const HOST_SA_DATA* store = design.store();
    for (unsigned id = 0; id < store->get_output_signal_id_array_size(); ++id)
        ids[store->oterm_of(id)->get_string_hpath()].push_back(id);
    return ids;
}

std::string without_blanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool read_type(const std::string& text, std::int32_t& type)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX)
        return false;
    type = static_cast<std::int32_t>(value);
    return true;
}

bool read_energy(const std::string& text, double& energy)
{
    return host_read_decimal(text, energy);
}

// The problem with one line, or "" when it reads; a good line's entries go
// into energies.
std::string read_line(const std::string& line,
                      const std::unordered_map<std::string, std::vector<std::uint32_t>>& ids,
                      PUTIL_TOGGLE_ENERGY_MAP& energies)
{
    // The name may hold commas: the numbers are the last two fields.
    const std::size_t energy_comma = line.rfind(',');
    const std::size_t type_comma = energy_comma == std::string::npos || energy_comma == 0
                                       ? std::string::npos
                                       : line.rfind(',', energy_comma - 1);
    if (type_comma == std::string::npos)
        return "expected " + std::string(s_header);
    const std::string name = line.substr(0, type_comma);
    const std::string type_text = without_blanks(line.substr(type_comma + 1, energy_comma - type_comma - 1));
    const std::string energy_text = without_blanks(line.substr(energy_comma + 1));
    std::int32_t type = 0;
    double energy = 0.0;
    if (!read_type(type_text, type))
        return "energy type \"" + type_text + "\" is not a 32-bit integer";
    if (!read_energy(energy_text, energy))
        return "energy \"" + energy_text + "\" is not a finite number";
    auto signal = ids.find(name);
    if (signal == ids.end())
        return "no output term has the path \"" + name + "\"";
    for (std::uint32_t id : signal->second)
        energies[id].emplace_back(type, energy);
    return "";
}

}  // namespace

bool host_load_toggle_energies_text(const HOST_DESIGN& design, const std::string& text, const std::string& label,
                                    PUTIL_TOGGLE_ENERGY_MAP& energies, std::string& error)
{
    const auto ids = ids_by_path(design);
    PUTIL_TOGGLE_ENERGY_MAP read = energies;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (without_blanks(line).empty() || (number == 1 && without_blanks(line) == s_header))
            continue;
        const std::string problem = read_line(line, ids, read);
        if (!problem.empty()) {
            error = label + ":" + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    energies.swap(read);
    error.clear();
    return true;
}

bool host_load_toggle_energies(const HOST_DESIGN& design, const std::string& csv_path,
                               PUTIL_TOGGLE_ENERGY_MAP& energies, std::string& error)
{
    std::ifstream stream(csv_path, std::ios::binary);
    if (!stream) {
        error = csv_path + ": cannot open the toggle energies file";
        return false;
    }
    std::ostringstream text;
    text << stream.rdbuf();
    return host_load_toggle_energies_text(design, text.str(), csv_path, energies, error);
}
