// Fuzz target: any bytes as a VCD file, read in strict or extended mode (the
// first byte chooses) into the design derived from its own declarations.
// Only a clean result or a numbered message is acceptable: a crash, a leak
// of the library's memory or an unexpected internal error aborts.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "putil_derived_design.h"
#include "putil_host.h"
#include "putil_vcd_reader.h"

namespace {

// The one internal error a well-formed but unusual file may reach: several
// digits for an identifier declared as one bit.
bool is_expected_internal_error(const HOST_INTERNAL_ERROR& error)
{
    return error.expression == "total_bits == 1";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/putil_fuzz_" + std::to_string(getpid()) + ".vcd";
    if (size == 0)
        return 0;
    host_set_message_stream(nullptr);
    host_clear_settings();
    host_clear_posted_messages();
    const bool extended = (data[0] & 1) != 0;
    if (extended)
        host_set_setting("putil_vcd_extended_syntax", "on");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::size_t live_blocks = host_memory_live_blocks("PUTIL");
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = putil_derive_design(path, error);
    if (!design)
        std::abort();
    host_set_current_design(design.get());
    design->input_files()->add_entry(path, design->root(), nullptr, nullptr);
    PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design->facade());
    try {
        reader->read_vcd_files(design->store());
    } catch (const HOST_INTERNAL_ERROR& internal_error) {
        // The run stops at an internal error; what it held is not freed.
        if (!is_expected_internal_error(internal_error))
            std::abort();
        host_set_current_design(nullptr);
        return 0;
    }
    delete reader;
    host_set_current_design(nullptr);
    if (host_memory_live_blocks("PUTIL") != live_blocks)
        std::abort();
    return 0;
}
