// The transceiver job that `putil hssi`, `putil supplies` and the Python
// module share: the device of a design, the model of its family, the power
// analyzer's step of appending the device's power constants to the elements,
// and the power each element draws from each of its supplies.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hssi/putil_hssi_info.h"
#include "supplies/putil_power_supply_info.h"

class HOST_DESIGN;
class HOST_DEVICE;
class PUTIL_SA_DATA;

// The names of the models --family takes: "base" and the six families.
std::vector<std::string> putil_hssi_model_names();

// Gives the design its device: the device file, unless the design brought
// its own (then a device file must be the same one). false, with error,
// when there is none or it does not load.
bool putil_load_design_device(HOST_DESIGN& design, const std::string& device_file, const std::string& design_file,
                              std::string& error);

// A transceiver model of the design's device with its power supply tables.
struct PUTIL_HSSI_MODEL {
    PUTIL_POWER_SUPPLY_INFO supplies;
    std::unique_ptr<PUTIL_HSSI_INFO> model;
};

// Builds the model named family_name (empty: the device family's, else the
// base model; a family model on another family's device is a usage error),
// fills it from the design's atoms when fill, and, with power, appends the
// device's power constants as the power analyzer does. false, with error (naming the atom, for the caller to
// prefix with the design file), when the design cannot be modelled.
bool putil_build_hssi_model(HOST_DESIGN& design, const std::string& family_name, bool fill, bool power,
                            PUTIL_HSSI_MODEL& built, std::string& error);

// One supply of one element.
struct PUTIL_HSSI_POWER_ROW {
    std::string name;   // "<kind>@<gid>"
    int element;
    unsigned gid;
    std::string kind;
    std::string implementation;
    std::string supply;
    int millivolts;
    std::optional<std::string> region;      // none when the element has none on the supply
    double static_power;                    // watts
    double dynamic_energy;                  // joules per transition
    std::optional<double> toggle_rate;      // transitions per second; none without a terminal
    double dynamic_power;                   // watts: energy x toggle rate (0 without one)
};

// The sums over the rows of a supply, or of a supply in one region.
struct PUTIL_HSSI_POWER_TOTAL {
    std::string name;   // the supply, or "<supply>-<region>"
    std::string supply;
    std::optional<std::string> region;
    double static_power;
    double dynamic_power;
};

struct PUTIL_HSSI_POWER_REPORT {
    std::vector<PUTIL_HSSI_POWER_ROW> elements;   // in element order, each element's supplies in table order
    std::vector<PUTIL_HSSI_POWER_TOTAL> supplies;   // in supply order
    std::vector<PUTIL_HSSI_POWER_TOTAL> regions;    // in supply, then region order
};

// The power of every element that has a supplies table; sa_data (may be
// null) gives the toggle rates.
PUTIL_HSSI_POWER_REPORT putil_hssi_power_report(PUTIL_HSSI_INFO& model, PUTIL_SA_DATA* sa_data);

// The power supply tables of a device as the model reads them: the supplies
// of each element kind with their regions and voltages, and the voltage of
// each supply per region, which the power matrix holds too.
struct PUTIL_SUPPLY_ROW {
    std::string name;   // the element kind
    std::string supply;
    std::optional<std::string> region;   // none when the kind has none on the supply
    std::optional<int> millivolts;       // none without a region or a voltage of it
};

struct PUTIL_REGION_VOLTAGE {
    std::string name;   // "<supply>-<region>"
    std::string supply;
    std::string region;
    int millivolts;
    int element_kinds;   // the kinds that draw the supply in the region
};

struct PUTIL_SUPPLIES_REPORT {
    std::string family;
    std::vector<PUTIL_SUPPLY_ROW> kinds;            // in kind order, each kind's supplies in wiring order
    std::vector<PUTIL_REGION_VOLTAGE> voltages;     // in supply, then region order
    std::string matrix_name;
    std::string matrix_table;                        // the matrix as print_table writes it
    std::string matrix_flat_table;                   // and as print_flat_table writes it
};

// The tables cached for the design's device.
PUTIL_SUPPLIES_REPORT putil_supplies_report(HOST_DESIGN& design);
