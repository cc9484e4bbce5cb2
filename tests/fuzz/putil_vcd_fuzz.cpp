// Fuzz target: any bytes as a VCD file, read in strict or extended mode
// into the design derived from its own declarations, once with the scanner's
// fast body path and once without it. The first byte chooses the mode,
// whether the fast read uses the apply thread, and whether a TBL file is
// written instead of activity measured. Only a clean result or a numbered
// message is acceptable, the same both ways: a crash, a leak of the library's
// memory, an unexpected internal error or a difference between the two reads
// aborts.
#include <cstdint>
#include <memory>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "putil_derived_design.h"
#include "putil_host.h"
#include "reader/putil_vcd_reader.h"

namespace {

const unsigned s_max_signals = 1u << 16;

// One read of the file into the design derived from its declarations:
// operate runs the reader, result then answers what it produced. Answers
// that and the posted messages. No file may reach an internal error.
template <class OPERATE, class RESULT>
std::string run_read(const std::string& path, bool extended, bool fast, bool apply_thread, OPERATE operate,
                     RESULT result)
{
    host_clear_settings();
    host_clear_posted_messages();
    if (extended)
        host_set_setting("putil_vcd_extended_syntax", "on");
    host_set_setting("putil_vcd_fast_body", fast ? "on" : "off");
    host_set_setting("putil_vcd_apply_thread", apply_thread ? "on" : "off");
    const std::size_t live_blocks = host_memory_live_blocks("PUTIL");
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = putil_derive_design(path, error);
    if (!design)
        std::abort();
    // A declaration can be a million bits wide; reading such a design is
    // slow, not interesting, and would stall the search.
    if (design->store()->get_output_signal_id_array_size() > s_max_signals)
        return "many signals";
    host_set_current_design(design.get());
    std::string produced;
    try {
        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
        operate(*reader, *design);
    } catch (const HOST_INTERNAL_ERROR&) {
        std::abort();
    }
    // The reader frees what it holds on every way out.
    if (host_memory_live_blocks("PUTIL") != live_blocks)
        std::abort();
    produced = result(*design);
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        produced += std::to_string(message.id) + ": " + message.text + "\n";
    host_set_current_design(nullptr);
    return produced;
}

// The annotated values as the bits of their floats.
std::string measure(const std::string& path, bool extended, bool fast, bool apply_thread)
{
    const auto read = [&path](PUTIL_VCD_READER& reader, HOST_DESIGN& design) {
        design.input_files()->add_entry(path, design.root(), nullptr, nullptr);
        reader.read_vcd_files(design.store());
    };
    const auto annotations = [](HOST_DESIGN& design) {
        std::string measured;
        const auto bits = [](float value) {
            std::uint32_t word;
            std::memcpy(&word, &value, sizeof word);
            return " " + std::to_string(word);
        };
        HOST_SA_DATA* store = design.store();
        for (unsigned id = 0; id < store->get_output_signal_id_array_size(); ++id) {
            PUTIL_OUTPUT_SIGNAL_DATA* data = store->get_output_signal_data(id, false);
            if (data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED))
                measured += bits(data->get_static_probability());
            if (data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED))
                measured += bits(data->get_toggle_rate());
            measured += "\n";
        }
        return measured;
    };
    return run_read(path, extended, fast, apply_thread, read, annotations);
}

// The TBL file written from the file.
std::string convert(const std::string& path, bool extended, bool fast)
{
    const std::string tbl_path = path + ".tbl";
    const auto write = [&](PUTIL_VCD_READER& reader, HOST_DESIGN&) {
        reader.convert_vcd_to_tbl_file(path, tbl_path, nullptr, nullptr);
    };
    const auto text = [&tbl_path](HOST_DESIGN&) {
        std::ifstream in(tbl_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    return run_read(path, extended, fast, false, write, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/putil_fuzz_" + std::to_string(getpid()) + ".vcd";
    if (size == 0)
        return 0;
    host_set_message_stream(nullptr);
    const bool extended = (data[0] & 1) != 0;
    const bool apply_thread = (data[0] & 2) != 0;
    const bool tbl = (data[0] & 4) != 0;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (tbl) {
        if (convert(path, extended, true) != convert(path, extended, false))
            std::abort();
        return 0;
    }
    if (measure(path, extended, true, apply_thread) != measure(path, extended, false, false))
        std::abort();
    return 0;
}
