// `putil hssi`: builds the transceiver power model of a device (and fills it
// from a design's atoms when one is given) and writes every element's debug
// description, then the power-region voltages the model recorded.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "core/putil_replaced_file.h"
#include "putil_command.h"
#include "hssi/families/putil_brindev_hssi_info.h"
#include "hssi/families/putil_fennick_hssi_info.h"
#include "hssi/families/putil_haldorv_hssi_info.h"
#include "hssi/putil_hssi_info.h"
#include "hssi/families/putil_kvb_hssi_info.h"
#include "hssi/families/putil_pellumv_hssi_info.h"
#include "hssi/families/putil_womblet_hssi_info.h"
#include "putil_host.h"
#include "supplies/putil_power_supply_info.h"

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

class PUTIL_HSSI_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        std::vector<std::string> names;
        for (const FAMILY_MODEL& model : FAMILY_MODELS)
            names.push_back(model.name);
        app.add_option("--device", m_device_file,
                       "Device description (JSON); may be left out when the design names its device file");
        app.add_option("--design", m_design_file, "Design (JSON) whose atoms are placed on the device's blocks");
        app.add_option("--family", m_family_name,
                       "Transceiver model to build (default: the device family's, else the base model)")
            ->check(CLI::IsMember(names));
        app.add_option("-o,--output", m_output_file,
                       "Write the dump to FILE (replaced only when the run succeeded) instead of standard output");
    }

    int run() override
    {
        std::vector<std::string> inputs;
        for (const std::string& file : {m_device_file, m_design_file})
            if (!file.empty())
                inputs.push_back(file);
        putil_check_input_files(inputs);
        putil_check_outputs({m_output_file}, inputs);
        std::string error;
        std::unique_ptr<HOST_DESIGN> design =
            m_design_file.empty() ? std::make_unique<HOST_DESIGN>() : host_load_design_file(m_design_file, error);
        if (design && !load_device(*design->device(), error))
            design.reset();
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        host_set_current_design(design.get());
        HOST_DEVICE* device = design->device();

        PUTIL_POWER_SUPPLY_INFO supplies;
        supplies.cache_power_supply_data(device);
        const FAMILY_MODEL& chosen = model_for(device->get_basic_info()->get_family_enum());
        std::unique_ptr<PUTIL_HSSI_INFO> model(chosen.make());
        if (!model) {
            std::cerr << "putil: error: out of memory\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        model->set_power_supply_info(&supplies);
        model->build_hssi_info_from_device_database(device);
        if (!m_design_file.empty())
            model->fill_in_hssi_info_from_cdb_atom_netlist(design->netlist(), design->store());

        // The elements write on a file stream: standard output too goes
        // through one, copied out when complete.
        PUTIL_REPLACED_FILE out(m_output_file.empty() ? "-" : m_output_file);
        if (out.is_open()) {
            PUTIL_SA_DATA* sa_data = m_design_file.empty() ? nullptr : design->store();
            for (PUTIL_HSSI_ELEMENT* element : model->get_hssi_elements())
                element->write_debug_info(&out.stream(), sa_data);
            write_power_region_voltages(*design, out.stream());
            if (out.commit())
                return PUTIL_EXIT_OK;
        }
        std::cerr << "putil: error: " << out.error() << "\n";
        return PUTIL_EXIT_INPUT_FAILED;
    }

private:
    // The device file given, unless the design brought its own: then a
    // second file would be a different device.
    bool load_device(HOST_DEVICE& device, std::string& error) const
    {
        const std::string& own = device.source_file();
        if (own.empty() && m_device_file.empty()) {
            error = "no device: give --device FILE, or a design that names its device file";
            return false;
        }
        if (own.empty())
            return host_load_device_file(m_device_file, device, error);
        std::error_code ignored;
        if (!m_device_file.empty() && !std::filesystem::equivalent(own, m_device_file, ignored)) {
            error = m_design_file + ": the design is placed on the device " + own + ", not on " + m_device_file;
            return false;
        }
        return true;
    }

    // The model of --family, or of the device's family. A family model reads
    // its own family's atoms and element kinds only: on another family's
    // device it would meet blocks it has no rule for, so that is refused;
    // the base model serves every device.
    const FAMILY_MODEL& model_for(int device_family) const
    {
        const FAMILY_MODEL* device_model = &FAMILY_MODELS[0];
        for (const FAMILY_MODEL& model : FAMILY_MODELS)
            if (model.family == device_family)
                device_model = &model;
        if (m_family_name.empty())
            return *device_model;
        for (const FAMILY_MODEL& model : FAMILY_MODELS) {
            if (m_family_name != model.name)
                continue;
            if (model.family != -1 && model.family != device_family)
                throw PUTIL_USAGE_ERROR{"--family " + m_family_name + " does not fit the device, whose family is " +
                                        (device_model->family == -1 ? std::string("none of the six")
                                                                    : std::string(device_model->name)) +
                                        ": give --family " +
                                        (device_model->family == -1 ? std::string("base")
                                                                    : std::string(device_model->name) + " or base")};
            return model;
        }
        return FAMILY_MODELS[0];
    }

    // What the model recorded in the chip database, in the order it did.
    static void write_power_region_voltages(const HOST_DESIGN& design, std::ostream& out)
    {
        const auto& records = design.chip_db_entry()->power_region_voltages();
        out << "POWER_REGION_VOLTAGES\n{\n";
        for (const auto& record : records)
            out << "   " << astr_get_debug_string(record.supply) << "-" << astr_get_debug_string(record.region)
                << " = " << record.voltage << " mV (" << record.value << ")\n";
        out << "}\n";
    }

    std::string m_device_file;
    std::string m_design_file;
    std::string m_family_name;
    std::string m_output_file;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_hssi_command()
{
    return std::make_unique<PUTIL_HSSI_COMMAND>();
}
