// `putil hssi`: builds the transceiver power model of a device (and fills it
// from a design's atoms when one is given, after the design's activity was
// read from waveforms or a saved activity report), and writes either every
// element's debug description and the power-region voltages the model
// recorded, or, with the device's power constants appended, the power per
// element, supply and region.
#include <CLI/CLI.hpp>
#include <iostream>

#include "core/putil_replaced_file.h"
#include "putil_activity_inputs.h"
#include "putil_activity_json.h"
#include "putil_command.h"
#include "putil_host.h"
#include "putil_hssi_job.h"
#include "putil_hssi_report.h"

namespace {

class PUTIL_HSSI_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("--device", m_device_file,
                       "Device description (JSON); may be left out when the design names its device file");
        app.add_option("--design", m_design_file, "Design (JSON) whose atoms are placed on the device's blocks");
        app.add_option("--family", m_family_name,
                       "Transceiver model to build (default: the device family's, else the base model)")
            ->check(CLI::IsMember(putil_hssi_model_names()));
        m_inputs.configure(app, "--vcd");
        app.add_option("--activity", m_activity_file,
                       "Activity that putil activity --format json wrote for the design, instead of --vcd");
        app.add_option("--format", m_format_name,
                       "Write the power per element and supply, then per supply and region: table, csv or json")
            ->check(CLI::IsMember({"table", "csv", "json"}));
        app.add_flag("--dump", m_dump, "Write every element's debug description (the default without --format)");
        putil_add_output_option(app, m_output_file);
    }

    int run() override
    {
        if (m_dump && !m_format_name.empty())
            throw PUTIL_USAGE_ERROR{"--dump and --format write different outputs; give one"};
        if (m_inputs.given() && !m_activity_file.empty())
            throw PUTIL_USAGE_ERROR{"--activity takes the place of waveforms; give one or the other"};
        if ((m_inputs.given() || !m_activity_file.empty()) && m_design_file.empty())
            throw PUTIL_USAGE_ERROR{"activity needs --design: it is measured on the design's signals"};
        std::unique_ptr<HOST_DESIGN> design;
        const int status = load_design(design);
        if (status != PUTIL_EXIT_OK)
            return status;
        host_set_current_design(design.get());
        std::string error;
        PUTIL_HSSI_MODEL built;
        if (!putil_load_design_device(*design, m_device_file, m_design_file, error) ||
            (!m_activity_file.empty() && !putil_read_activity_json(m_activity_file, *design, error))) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        // The dump shows the model as the device and design give it; the
        // power report adds the power analyzer's constants.
        const bool power = !m_format_name.empty();
        if (!putil_build_hssi_model(*design, m_family_name, !m_design_file.empty(), power, built, error)) {
            std::cerr << "putil: error: " << m_design_file << ": " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        PUTIL_SA_DATA* sa_data = m_design_file.empty() ? nullptr : design->store();
        if (!m_format_name.empty())
            return write_power_report(*built.model, sa_data);
        return write_dump(*design, *built.model, sa_data);
    }

private:
    // The design file, read with its activity, or an empty design for a
    // device alone.
    int load_design(std::unique_ptr<HOST_DESIGN>& design)
    {
        if (m_inputs.given()) {
            m_inputs.prepare(m_design_file);
            m_inputs.check_input_files();
            if (!m_device_file.empty())
                putil_check_input_files({m_device_file});
            std::vector<std::string> inputs = m_inputs.input_files();
            inputs.push_back(m_device_file);
            putil_check_outputs({m_output_file}, inputs);
            const int status = m_inputs.read(design, false);
            return design ? status : PUTIL_EXIT_INPUT_FAILED;
        }
        std::vector<std::string> inputs;
        for (const std::string& file : {m_device_file, m_design_file, m_activity_file})
            if (!file.empty())
                inputs.push_back(file);
        putil_check_input_files(inputs);
        putil_check_outputs({m_output_file}, inputs);
        std::string error;
        design = m_design_file.empty() ? std::make_unique<HOST_DESIGN>() : host_load_design_file(m_design_file, error);
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        return PUTIL_EXIT_OK;
    }

    int write_power_report(PUTIL_HSSI_INFO& model, PUTIL_SA_DATA* sa_data) const
    {
        const PUTIL_HSSI_POWER_REPORT report = putil_hssi_power_report(model, sa_data);
        const PUTIL_HSSI_FORMAT format = putil_hssi_format_from_name(m_format_name);
        const bool written = putil_write_output(
            m_output_file, [&](std::ostream& out) { putil_write_hssi_power_report(report, format, out); });
        return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
    }

    // The elements write on a file stream: standard output too goes through
    // one, copied out when complete.
    int write_dump(const HOST_DESIGN& design, PUTIL_HSSI_INFO& model, PUTIL_SA_DATA* sa_data) const
    {
        PUTIL_REPLACED_FILE out(m_output_file.empty() ? "-" : m_output_file);
        if (out.is_open()) {
            for (PUTIL_HSSI_ELEMENT* element : model.get_hssi_elements())
                element->write_debug_info(&out.stream(), sa_data);
            write_power_region_voltages(design, out.stream());
            if (out.commit())
                return PUTIL_EXIT_OK;
        }
        std::cerr << "putil: error: " << out.error() << "\n";
        return PUTIL_EXIT_INPUT_FAILED;
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
    PUTIL_ACTIVITY_INPUTS m_inputs;
    std::string m_activity_file;
    std::string m_format_name;
    bool m_dump = false;
    std::string m_output_file;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_hssi_command()
{
    return std::make_unique<PUTIL_HSSI_COMMAND>();
}
