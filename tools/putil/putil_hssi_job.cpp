// The shared steps of the transceiver job.
#include "putil_hssi_job.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "hssi/families/putil_brindev_hssi_info.h"
#include "hssi/families/putil_fennick_hssi_info.h"
#include "hssi/families/putil_haldorv_hssi_info.h"
#include "hssi/families/putil_kvb_hssi_info.h"
#include "hssi/families/putil_pellumv_hssi_info.h"
#include "hssi/families/putil_womblet_hssi_info.h"
#include "host_device_data.h"
#include "putil_command.h"
#include "putil_host.h"
#include "supplies/putil_power_matrix.h"

namespace {

// The models the program can build, by name; a model serves the device
// family of its value (-1: any family).
struct FAMILY_MODEL {
    const char* name;
    int family;
    PUTIL_HSSI_INFO* (*make)();
};
const FAMILY_MODEL FAMILY_MODELS[] = {
    {"base", -1, []() -> PUTIL_HSSI_INFO* { return new PUTIL_HSSI_INFO; }},
    {"haldorv", HOST_FAMILY_HALDORV, []() -> PUTIL_HSSI_INFO* { return new PUTIL_HALDORV_HSSI_INFO; }},
    {"pellumv", HOST_FAMILY_PELLUMV, []() -> PUTIL_HSSI_INFO* { return new PUTIL_PELLUMV_HSSI_INFO; }},
    {"brindev", HOST_FAMILY_BRINDEV, []() -> PUTIL_HSSI_INFO* { return new PUTIL_BRINDEV_HSSI_INFO; }},
    {"kvb", HOST_FAMILY_KVB, []() -> PUTIL_HSSI_INFO* { return new PUTIL_KVB_HSSI_INFO; }},
    {"fennick", HOST_FAMILY_FENNICK, []() -> PUTIL_HSSI_INFO* { return new PUTIL_FENNICK_HSSI_INFO; }},
    {"womblet", HOST_FAMILY_WOMBLET, []() -> PUTIL_HSSI_INFO* { return new PUTIL_WOMBLET_HSSI_INFO; }},
};

// The model of family_name, or of the device's family. A family model reads
// its own family's atoms and element kinds only: on another family's device
// it would meet blocks it has no rule for, so that is refused; the base
// model serves every device.
const FAMILY_MODEL& model_for(const std::string& family_name, int device_family)
{
    const FAMILY_MODEL* device_model = &FAMILY_MODELS[0];
    for (const FAMILY_MODEL& model : FAMILY_MODELS)
        if (model.family == device_family)
            device_model = &model;
    if (family_name.empty())
        return *device_model;
    for (const FAMILY_MODEL& model : FAMILY_MODELS) {
        if (family_name != model.name)
            continue;
        if (model.family != -1 && model.family != device_family)
            throw PUTIL_USAGE_ERROR{"--family " + family_name + " does not fit the device, whose family is " +
                                    (device_model->family == -1 ? std::string("none of the six")
                                                                : std::string(device_model->name)) +
                                    ": give --family " +
                                    (device_model->family == -1 ? std::string("base")
                                                                : std::string(device_model->name) + " or base")};
        return model;
    }
    return FAMILY_MODELS[0];
}

// A BRINDEV serializer whose TX buffer passes the reference clock check
// counts as unused while the buffer beside it in the same channel is used;
// the model requires the blocks of a channel to agree on that, so such a
// design cannot be modelled. The error names both atoms and the channel.
bool check_brindev_tx_paths(const HOST_DESIGN& design, std::string& error)
{
    const HOST_NETLIST* netlist = design.host_netlist();
    const HOST_DEVICE::DATA& device = design.device()->data();
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        const auto* tx_ser = static_cast<const HOST_ATOM*>(*node);
        const HOST_ATOM* tx_buf = netlist->tx_path_link(tx_ser, HOST_TX_PATH_LINK::BUFFER);
        if (tx_buf == nullptr || !netlist->rtc_assignment_ok(tx_buf))
            continue;
        const HOST_BLOCK* ser_block = device.block(tx_ser->get_location_index());
        const HOST_BLOCK* buf_block = device.block(tx_buf->get_location_index());
        if (ser_block == nullptr || buf_block == nullptr || ser_block->parent != buf_block->parent ||
            ser_block->parent == DEV_ILLEGAL_GLOBAL_ID)
            continue;
        error = "atom " + tx_buf->name() +
                ": rtc_assignment_ok: on a BRINDEV device a serializer whose TX buffer passes the reference clock "
                "check counts as unused, so " + tx_ser->name() + " would be unused while " + tx_buf->name() +
                " in the same channel (block " + std::to_string(ser_block->parent) +
                ") is used; a channel's blocks must agree (leave rtc_assignment_ok out, or model with --family base)";
        return false;
    }
    return true;
}

// The power analyzer's step: every element gets the device's constants of
// its kind on each of its supplies.
void append_power_constants(const HOST_DEVICE& device, PUTIL_HSSI_INFO& model)
{
    for (PUTIL_HSSI_ELEMENT* element : model.get_hssi_elements()) {
        if (!element->is_valid_2d_int_enum(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES))
            continue;
        PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
        element->get_element_phys_impl_type(key);
        for (const auto& row : element->get_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES)) {
            const auto supply = static_cast<DEV_POWER_SUPPLY_ENUM>(row[0]);
            const HOST_POWER_CONSTANTS* constants = device.power_constants(key.element, supply);
            if (constants == nullptr)
                continue;
            for (const HOST_POWER_CONSTANT& record : constants->static_power)
                element->append_static_power(supply, record.constant, record.multiplier, record.name);
            for (const HOST_POWER_CONSTANT& record : constants->dynamic_energy)
                element->append_dynamic_energy(supply, record.constant, record.multiplier, record.name);
        }
    }
}

// The element's region on a supply. The element asks the device for the
// supply's regions when the host has no region for the block: a supply the
// device describes no regions of gives the element's own region.
DEV_POWER_REGION_ENUM region_of(const PUTIL_HSSI_ELEMENT& element, DEV_POWER_SUPPLY_ENUM supply)
{
    const unsigned gid = element.get_element_gid();
    DEV_POWER_REGION_ENUM region = element.get_power_region();
    const DEV_PART_INFO* part = DMGR_UTILITY::get_current_device()->get_part_info();
    if (CUT_VOLTAGE_UTIL::get_power_region_of_element(gid, supply) != 0 ||
        (part != nullptr && part->get_power_supply_desc(supply) != nullptr))
        region = element.get_power_region_of_element(gid, supply);
    return region;
}

void add_to(std::map<std::pair<int, int>, PUTIL_HSSI_POWER_TOTAL>& totals, std::pair<int, int> key,
            const PUTIL_HSSI_POWER_ROW& row, bool by_region)
{
    auto [total, added] = totals.try_emplace(key);
    if (added) {
        total->second.supply = row.supply;
        total->second.region = by_region ? row.region : std::nullopt;
        total->second.name = by_region ? row.supply + "-" + row.region.value_or("-") : row.supply;
    }
    total->second.static_power += row.static_power;
    total->second.dynamic_power += row.dynamic_power;
}

// What print writes on a file stream, caught in memory: the stream writes
// into a string buffer put in place of its file buffer.
std::string printed(const std::function<void(std::ofstream*)>& print)
{
    std::ofstream stream;
    std::stringbuf text;
    static_cast<std::ostream&>(stream).rdbuf(&text);
    print(&stream);
    return text.str();
}

}  // namespace

std::vector<std::string> putil_hssi_model_names()
{
    std::vector<std::string> names;
    for (const FAMILY_MODEL& model : FAMILY_MODELS)
        names.push_back(model.name);
    return names;
}

bool putil_load_design_device(HOST_DESIGN& design, const std::string& device_file, const std::string& design_file,
                              std::string& error)
{
    HOST_DEVICE& device = *design.device();
    const std::string& own = device.source_file();
    if (own.empty() && device_file.empty()) {
        error = "no device: give --device FILE, or a design that names its device file";
        return false;
    }
    if (own.empty())
        return host_load_device_file(device_file, device, error);
    std::error_code ignored;
    if (!device_file.empty() && !std::filesystem::equivalent(own, device_file, ignored)) {
        error = design_file + ": the design is placed on the device " + own + ", not on " + device_file;
        return false;
    }
    return true;
}

bool putil_build_hssi_model(HOST_DESIGN& design, const std::string& family_name, bool fill, bool power,
                            PUTIL_HSSI_MODEL& built, std::string& error)
{
    HOST_DEVICE* device = design.device();
    const FAMILY_MODEL& chosen = model_for(family_name, device->get_basic_info()->get_family_enum());
    if (fill && chosen.family == HOST_FAMILY_BRINDEV && !check_brindev_tx_paths(design, error))
        return false;
    built.supplies.cache_power_supply_data(device);
    built.model.reset(chosen.make());
    if (!built.model) {
        error = "out of memory";
        return false;
    }
    built.model->set_power_supply_info(&built.supplies);
    built.model->build_hssi_info_from_device_database(device);
    if (fill)
        built.model->fill_in_hssi_info_from_cdb_atom_netlist(design.netlist(), design.store());
    if (power)
        append_power_constants(*device, *built.model);
    return true;
}

PUTIL_HSSI_POWER_REPORT putil_hssi_power_report(PUTIL_HSSI_INFO& model, PUTIL_SA_DATA* sa_data)
{
    PUTIL_HSSI_POWER_REPORT report;
    std::map<std::pair<int, int>, PUTIL_HSSI_POWER_TOTAL> supplies;
    std::map<std::pair<int, int>, PUTIL_HSSI_POWER_TOTAL> regions;
    for (PUTIL_HSSI_ELEMENT* element : model.get_hssi_elements()) {
        if (!element->is_valid_2d_int_enum(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES))
            continue;
        PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
        element->get_element_phys_impl_type(key);
        double rate = 0.0;
        bool from_input = false;
        const bool has_rate = element->get_terminal_toggle_rate(sa_data, rate, from_input);
        for (const auto& table_row : element->get_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES)) {
            const auto supply = static_cast<DEV_POWER_SUPPLY_ENUM>(table_row[0]);
            PUTIL_HSSI_POWER_ROW row;
            row.kind = dstr_get_debug_string(key.element);
            row.implementation = dstr_get_debug_string(key.phys_impl);
            row.gid = element->get_element_gid();
            row.name = row.kind + "@" + std::to_string(row.gid);
            row.element = element->get_element_id();
            row.supply = astr_get_debug_string(supply);
            row.millivolts = table_row[1];
            const DEV_POWER_REGION_ENUM region = region_of(*element, supply);
            if (region != DEV_POWER_REGION_NONE)
                row.region = astr_get_debug_string(region);
            row.static_power = element->get_static_power_sum(supply);
            row.dynamic_energy = element->get_dynamic_energy_sum(supply);
            row.toggle_rate = has_rate ? std::optional<double>(rate) : std::nullopt;
            row.dynamic_power = row.dynamic_energy * rate;
            add_to(supplies, {supply, 0}, row, false);
            add_to(regions, {supply, region}, row, true);
            report.elements.push_back(std::move(row));
        }
    }
    for (auto& entry : supplies)
        report.supplies.push_back(std::move(entry.second));
    for (auto& entry : regions)
        report.regions.push_back(std::move(entry.second));
    return report;
}

PUTIL_SUPPLIES_REPORT putil_supplies_report(HOST_DESIGN& design)
{
    HOST_DEVICE* device = design.device();
    PUTIL_POWER_SUPPLY_INFO supplies;
    supplies.cache_power_supply_data(device);
    PUTIL_SUPPLIES_REPORT report;
    const int family = device->get_basic_info()->get_family_enum();
    const char* family_name = host_builtin_name(HOST_NAME_KIND::FAMILY, family);
    report.family = family_name != nullptr ? family_name : std::to_string(family);
    const auto voltage_keys = supplies.get_power_region_voltage_keys();
    std::map<std::pair<DEV_POWER_SUPPLY_ENUM, DEV_POWER_REGION_ENUM>, int> kinds_per_region;
    for (DEV_ELEMENT_ENUM kind : supplies.get_element_kinds()) {
        for (int supply_value : supplies.get_gid_power_supplies(kind)) {
            const auto supply = static_cast<DEV_POWER_SUPPLY_ENUM>(supply_value);
            PUTIL_SUPPLY_ROW row{dstr_get_debug_string(kind), astr_get_debug_string(supply), std::nullopt, std::nullopt};
            if (supplies.has_power_region(kind, supply)) {
                const DEV_POWER_REGION_ENUM region = supplies.get_gid_power_region(kind, supply);
                row.region = astr_get_debug_string(region);
                if (std::find(voltage_keys.begin(), voltage_keys.end(), std::make_pair(supply, region)) !=
                    voltage_keys.end())
                    row.millivolts = supplies.get_power_region_voltage(supply, region);
                ++kinds_per_region[{supply, region}];
            }
            report.kinds.push_back(std::move(row));
        }
    }
    PUTIL_POWER_MATRIX matrix("power_region_voltages");
    for (const auto& [supply, region] : voltage_keys) {
        const int millivolts = supplies.get_power_region_voltage(supply, region);
        const int kinds = kinds_per_region[{supply, region}];
        report.voltages.push_back({astr_get_debug_string(supply) + "-" + astr_get_debug_string(region),
                                   astr_get_debug_string(supply), astr_get_debug_string(region), millivolts, kinds});
        matrix.set_data(supply, region, "millivolts", millivolts);
        matrix.set_data(supply, region, "element_kinds", kinds);
    }
    report.matrix_name = "power_region_voltages";
    report.matrix_table = printed([&](std::ofstream* out) { matrix.print_table(out); });
    report.matrix_flat_table = printed([&](std::ofstream* out) { matrix.print_flat_table(out); });
    return report;
}
