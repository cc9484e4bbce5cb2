// Reference host device loader: reads the JSON device description, checks
// every key, type and range, resolves names of kinds, implementations,
// supplies, regions, voltages and families (the file's own names first),
// adds the blocks in file order so that a parent comes before its children,
// and the supply voltages per region.
#include "host_device_loader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <map>
#include <unordered_map>

#include "host_json_fields.h"

namespace {

using namespace host_json;

const char* kind_words(HOST_NAME_KIND kind)
{
    switch (kind) {
    case HOST_NAME_KIND::ELEMENT:
        return "element kind";
    case HOST_NAME_KIND::PHYS_IMPL:
        return "physical implementation";
    case HOST_NAME_KIND::SUPPLY:
        return "supply";
    case HOST_NAME_KIND::REGION:
        return "region";
    case HOST_NAME_KIND::VOLTAGE:
        return "voltage";
    case HOST_NAME_KIND::VOLTAGE_OPTION:
        return "voltage option";
    case HOST_NAME_KIND::FAMILY:
        break;
    }
    return "family";
}

bool is_decimal(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// The highest gid a block may have: all bits set means none.
constexpr long long MAX_GID = static_cast<long long>(DEV_ILLEGAL_GLOBAL_ID) - 1;

class DEVICE_READER {
public:
    explicit DEVICE_READER(HOST_DEVICE& device) : m_device(device) {}

    void read(const JSON& root)
    {
        require_object(root, "(top level)");
        check_keys(root, "",
                   {"family", "device", "die_width", "names", "hssi_elements", "supply_regions", "voltages",
                    "region_voltages", "blocks", "power_constants"});
        if (const JSON* names = find_member(root, "names"))
            read_names(*names, "names");
        const JSON* family = find_member(root, "family");
        if (family == nullptr)
            fail("family", "missing");
        m_device.set_family(static_cast<DEV_FAMILY_ENUM>(read_value(HOST_NAME_KIND::FAMILY, *family, "family")));
        m_device.set_device_enum(read_int(root, "device", "", 0, 0));
        m_device.set_die_width(read_int(root, "die_width", "", 0, 0));
        read_hssi_elements(root);
        if (const JSON* supply_regions = find_member(root, "supply_regions"))
            read_supply_regions(*supply_regions, "supply_regions");
        if (const JSON* voltages = find_member(root, "voltages"))
            read_voltages(*voltages, "voltages");
        for_each_element(root, "region_voltages", "",
                         [&](const JSON& entry, const std::string& at) { read_region_voltage(entry, at); });
        for_each_element(root, "blocks", "", [&](const JSON& block, const std::string& at) { read_block(block, at); });
        for_each_element(root, "power_constants", "",
                         [&](const JSON& entry, const std::string& at) { read_power_constants(entry, at); });
    }

private:
    // A value by number or by name.
    int read_value(HOST_NAME_KIND kind, const JSON& value, const std::string& where)
    {
        if (value.is_string())
            return value_of_name(kind, value.get<std::string>(), where);
        if (value.is_boolean())
            fail(where, std::string("expected a ") + kind_words(kind) + " name or number, got " + value.dump());
        return static_cast<int>(read_integer_value(value, where, 0, host_name_kind_limit(kind) - 1));
    }

    // The key of an object keyed by value: a decimal number or a name.
    int read_value_key(HOST_NAME_KIND kind, const std::string& key, const std::string& where)
    {
        if (!is_decimal(key))
            return value_of_name(kind, key, where);
        return read_value(kind, JSON(read_number_key(key, where)), where);
    }

    int value_of_name(HOST_NAME_KIND kind, const std::string& name, const std::string& where)
    {
        int value = 0;
        if (!m_device.value_of_name(kind, name, value))
            fail(where, std::string("unknown ") + kind_words(kind) + " name " + in_quotes(name));
        return value;
    }

    void read_names(const JSON& names, const std::string& where)
    {
        require_object(names, where);
        check_keys(names, where, {"element", "phys_impl", "supply", "region", "voltage"});
        for (HOST_NAME_KIND kind : {HOST_NAME_KIND::ELEMENT, HOST_NAME_KIND::PHYS_IMPL, HOST_NAME_KIND::SUPPLY,
                                    HOST_NAME_KIND::REGION, HOST_NAME_KIND::VOLTAGE}) {
            const char* key = host_name_kind_text(kind);
            if (const JSON* table = find_member(names, key))
                read_name_table(kind, *table, member_path(where, key));
        }
    }

    // A name must be new, and not look like a number, so that every name in
    // the file means one value.
    void read_name_table(HOST_NAME_KIND kind, const JSON& table, const std::string& where)
    {
        require_object(table, where);
        for (auto it = table.begin(); it != table.end(); ++it) {
            const std::string entry_where = member_path(where, it.key());
            const int value = read_number_key(it.key(), entry_where);
            read_value(kind, JSON(value), entry_where);
            if (!it.value().is_string())
                fail(entry_where, std::string("expected a string, got ") + it.value().type_name());
            const std::string name = it.value().get<std::string>();
            int known = 0;
            if (name.empty() || is_decimal(name))
                fail(entry_where, "a name must not be empty or a number");
            if (m_device.value_of_name(kind, name, known))
                fail(entry_where, in_quotes(name) + " already names " + kind_words(kind) + " " + std::to_string(known));
            m_device.set_debug_name(kind, value, name);
        }
    }

    void read_hssi_elements(const JSON& root)
    {
        if (find_member(root, "hssi_elements") == nullptr)
            return;
        DEV_2D_INT_DATA rows;
        for_each_element(root, "hssi_elements", "", [&](const JSON& row, const std::string& at) {
            const JSON& list = require_array(row, at);
            if (list.size() < 2)
                fail(at, "a row needs an element kind and a physical implementation");
            std::vector<int> numbers = {read_value(HOST_NAME_KIND::ELEMENT, list[0], element_path(at, 0)),
                                        read_value(HOST_NAME_KIND::PHYS_IMPL, list[1], element_path(at, 1))};
            for (std::size_t i = 2; i < list.size(); ++i)
                numbers.push_back(static_cast<int>(read_integer_value(list[i], element_path(at, i), INT_MIN, INT_MAX)));
            rows.push_back(numbers);
        });
        m_device.set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, rows);
    }

    void read_supply_regions(const JSON& table, const std::string& where)
    {
        require_object(table, where);
        for (auto it = table.begin(); it != table.end(); ++it) {
            const std::string entry_where = member_path(where, it.key());
            const int supply = read_value_key(HOST_NAME_KIND::SUPPLY, it.key(), entry_where);
            const JSON& list = require_array(it.value(), entry_where);
            std::vector<int> regions;
            for (std::size_t i = 0; i < list.size(); ++i)
                regions.push_back(read_value(HOST_NAME_KIND::REGION, list[i], element_path(entry_where, i)));
            m_device.set_power_supply_regions(static_cast<DEV_POWER_SUPPLY_ENUM>(supply), regions);
        }
    }

    void read_voltages(const JSON& table, const std::string& where)
    {
        require_object(table, where);
        for (auto it = table.begin(); it != table.end(); ++it) {
            const std::string entry_where = member_path(where, it.key());
            const int voltage = read_value_key(HOST_NAME_KIND::VOLTAGE, it.key(), entry_where);
            const int millivolts = static_cast<int>(read_integer_value(it.value(), entry_where, 0, INT_MAX));
            m_device.set_voltage_millivolts(static_cast<DEV_VOLTAGE_ENUM>(voltage), millivolts);
        }
    }

    // One entry per supply, region and pad, so that the file says each
    // voltage once.
    void read_region_voltage(const JSON& entry, const std::string& where)
    {
        require_object(entry, where);
        check_keys(entry, where, {"supply", "region", "millivolts", "pad"});
        const int supply = read_required(HOST_NAME_KIND::SUPPLY, entry, "supply", where);
        const int region = read_required(HOST_NAME_KIND::REGION, entry, "region", where);
        if (find_member(entry, "millivolts") == nullptr)
            fail(member_path(where, "millivolts"), "missing");
        const int millivolts = read_int(entry, "millivolts", where, 0, 0);
        const int pad = read_int(entry, "pad", where, 0, 0);
        const auto [place, added] = m_region_voltage_places.emplace(std::array<int, 3>{supply, region, pad}, where);
        if (!added)
            fail(where, "the voltage of supply " + std::to_string(supply) + ", region " + std::to_string(region) +
                            ", pad " + std::to_string(pad) + " is also given at " + place->second);
        m_device.set_region_voltage(static_cast<DEV_POWER_SUPPLY_ENUM>(supply),
                                    static_cast<DEV_POWER_REGION_ENUM>(region), millivolts, pad);
    }

    // One entry per element kind and supply, so that the file says each
    // kind's constants on a supply in one place.
    void read_power_constants(const JSON& entry, const std::string& where)
    {
        require_object(entry, where);
        check_keys(entry, where, {"kind", "supply", "static_power", "dynamic_energy"});
        const int kind = read_required(HOST_NAME_KIND::ELEMENT, entry, "kind", where);
        const int supply = read_required(HOST_NAME_KIND::SUPPLY, entry, "supply", where);
        const auto [place, added] = m_power_constant_places.emplace(std::make_pair(kind, supply), where);
        if (!added)
            fail(where, "the constants of element kind " + std::to_string(kind) + " on supply " +
                            std::to_string(supply) + " are also given at " + place->second);
        HOST_POWER_CONSTANTS constants;
        for_each_element(entry, "static_power", where, [&](const JSON& record, const std::string& at) {
            constants.static_power.push_back(read_power_constant(record, at));
        });
        for_each_element(entry, "dynamic_energy", where, [&](const JSON& record, const std::string& at) {
            constants.dynamic_energy.push_back(read_power_constant(record, at));
        });
        m_device.set_power_constants(static_cast<DEV_ELEMENT_ENUM>(kind), static_cast<DEV_POWER_SUPPLY_ENUM>(supply),
                                     std::move(constants));
    }

    HOST_POWER_CONSTANT read_power_constant(const JSON& record, const std::string& where)
    {
        require_object(record, where);
        check_keys(record, where, {"name", "constant", "multiplier"});
        const std::string name = read_string(record, "name", where, true);
        if (name.empty())
            fail(member_path(where, "name"), "a name must not be empty");
        const JSON* constant = find_member(record, "constant");
        if (constant == nullptr)
            fail(member_path(where, "constant"), "missing");
        const JSON* multiplier = find_member(record, "multiplier");
        return {read_non_negative(*constant, member_path(where, "constant")),
                multiplier == nullptr ? 1.0 : read_non_negative(*multiplier, member_path(where, "multiplier")), name};
    }

    static double read_non_negative(const JSON& value, const std::string& where)
    {
        const double number = read_number_value(value, where);
        if (!(number >= 0.0))
            fail(where, "expected a number of at least 0, got " + value.dump());
        return number;
    }

    void read_block(const JSON& block, const std::string& where)
    {
        require_object(block, where);
        check_keys(block, where,
                   {"gid", "kind", "impl", "x", "y", "parent", "enabled", "pad", "attributes", "supplies",
                    "regions"});
        const unsigned gid = read_gid(block, "gid", where);
        const unsigned parent = find_member(block, "parent") == nullptr ? DEV_ILLEGAL_GLOBAL_ID
                                                                        : read_gid(block, "parent", where);
        if (m_block_places.count(gid) != 0)
            fail(member_path(where, "gid"), "gid " + std::to_string(gid) + " is also declared at " + m_block_places[gid]);
        if (parent != DEV_ILLEGAL_GLOBAL_ID && m_block_places.count(parent) == 0)
            fail(member_path(where, "parent"), "no block " + std::to_string(parent) + " is declared before this one");
        const auto kind = static_cast<DEV_ELEMENT_ENUM>(read_required(HOST_NAME_KIND::ELEMENT, block, "kind", where));
        const auto impl = static_cast<DEV_PHYS_IMPL_ENUM>(read_required(HOST_NAME_KIND::PHYS_IMPL, block, "impl", where));
        m_device.add_block(gid, kind, impl, read_coordinate(block, "x", where), read_coordinate(block, "y", where),
                           parent);
        m_block_places.emplace(gid, where);
        m_device.set_block_enabled(gid, read_bool(block, "enabled", where, true));
        read_block_data(gid, block, where);
    }

    void read_block_data(unsigned gid, const JSON& block, const std::string& where)
    {
        read_numbered_values(block, "attributes", where, [&](int number, long long value, const std::string& at) {
            m_device.set_block_attribute(gid, number, checked_int(value, at));
        });
        if (const JSON* pad = find_member(block, "pad")) {
            require_object(*pad, member_path(where, "pad"));
            std::map<int, int> pad_data;
            read_numbered_values(block, "pad", where, [&](int number, long long value, const std::string& at) {
                pad_data[number] = checked_int(value, at);
            });
            m_device.set_pad(gid, pad_data);
        }
        std::vector<DEV_POWER_SUPPLY_ENUM> supplies;
        for_each_element(block, "supplies", where, [&](const JSON& supply, const std::string& at) {
            supplies.push_back(static_cast<DEV_POWER_SUPPLY_ENUM>(read_value(HOST_NAME_KIND::SUPPLY, supply, at)));
        });
        m_device.set_block_supplies(gid, supplies);
        if (const JSON* regions = find_member(block, "regions"))
            read_block_regions(gid, supplies, *regions, member_path(where, "regions"));
    }

    // A region is given for one of the block's own supplies.
    void read_block_regions(unsigned gid, const std::vector<DEV_POWER_SUPPLY_ENUM>& supplies, const JSON& regions,
                            const std::string& where)
    {
        require_object(regions, where);
        for (auto it = regions.begin(); it != regions.end(); ++it) {
            const std::string entry_where = member_path(where, it.key());
            const auto supply =
                static_cast<DEV_POWER_SUPPLY_ENUM>(read_value_key(HOST_NAME_KIND::SUPPLY, it.key(), entry_where));
            if (std::find(supplies.begin(), supplies.end(), supply) == supplies.end())
                fail(entry_where, "supply " + it.key() + " is not one of the block's supplies");
            const auto region =
                static_cast<DEV_POWER_REGION_ENUM>(read_value(HOST_NAME_KIND::REGION, it.value(), entry_where));
            m_device.set_block_power_region(gid, supply, region);
        }
    }

    int read_required(HOST_NAME_KIND kind, const JSON& object, const char* key, const std::string& where)
    {
        const JSON* value = find_member(object, key);
        if (value == nullptr)
            fail(member_path(where, key), "missing");
        return read_value(kind, *value, member_path(where, key));
    }

    unsigned read_gid(const JSON& object, const char* key, const std::string& where)
    {
        const JSON* value = find_member(object, key);
        if (value == nullptr)
            fail(member_path(where, key), "missing");
        if (value->is_boolean())
            fail(member_path(where, key), "expected an integer, got " + value->dump());
        return static_cast<unsigned>(read_integer_value(*value, member_path(where, key), 0, MAX_GID));
    }

    int read_coordinate(const JSON& object, const char* key, const std::string& where)
    {
        if (find_member(object, key) == nullptr)
            fail(member_path(where, key), "missing");
        return read_int(object, key, where, 0, 0);
    }

    int checked_int(long long value, const std::string& where)
    {
        if (value < INT_MIN || value > INT_MAX)
            fail(where, "integer " + std::to_string(value) + " is out of range");
        return static_cast<int>(value);
    }

    HOST_DEVICE& m_device;
    std::unordered_map<unsigned, std::string> m_block_places;   // where each gid was declared
    std::map<std::array<int, 3>, std::string> m_region_voltage_places;
    std::map<std::pair<int, int>, std::string> m_power_constant_places;
};

}  // namespace

bool host_load_device_text(const std::string& text, const std::string& label, HOST_DEVICE& device,
                           std::string& error)
{
    return host_json::load(text, label, error, [&](const JSON& root) { DEVICE_READER(device).read(root); });
}

bool host_load_device_file(const std::string& path, HOST_DEVICE& device, std::string& error)
{
    std::string text;
    if (!host_json::read_file_text(path, "device file", text, error))
        return false;
    if (!host_load_device_text(text, path, device, error))
        return false;
    device.set_source_file(path);
    return true;
}
