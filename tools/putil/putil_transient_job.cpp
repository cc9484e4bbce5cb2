// The shared transient job.
#include "putil_transient_job.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "putil_activity_job.h"
#include "putil_host.h"
#include "reader/putil_vcd_reader.h"

namespace {

const unsigned MSG_FAILED_FILE_PARSING = 222011;

}  // namespace

PUTIL_TRANSIENT_WAVEFORM putil_generate_transient_current(HOST_DESIGN& design, const std::vector<std::string>& files,
                                                          HOST_INSTANCE* scope, const PUTIL_TOGGLE_ENERGY_MAP& energies,
                                                          double voltage, bool dump)
{
    PUTIL_TRANSIENT_WAVEFORM waveform;
    putil_add_waveform_inputs(design, files, scope, std::nullopt, std::nullopt);
    std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design.facade()));
    if (!reader) {
        waveform.error = "out of memory";
        return waveform;
    }
    // The job posts no message at the start and end of a file: the bar is
    // named and completed here.
    host_progress_start(host_shown_file_name(files.front()) +
                        (files.size() > 1 ? " and " + std::to_string(files.size() - 1) + " more" : ""));
    const double unused = 0.0;
    waveform.generated = reader->generate_transient_current(design.store(), energies, &voltage, &unused,
                                                            &waveform.times, &waveform.currents, dump);
    waveform.reader_status = reader->get_status();
    reader.reset();
    if (waveform.generated && waveform.reader_status == PUTIL_VCD_READER_STATUS_OK)
        host_progress_complete();
    host_progress_finish();
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        waveform.generated = waveform.generated && message.id != MSG_FAILED_FILE_PARSING;
    return waveform;
}

bool putil_currents_finite(const PUTIL_TRANSIENT_WAVEFORM& waveform)
{
    return std::all_of(waveform.currents.begin(), waveform.currents.end(),
                       [](double current) { return std::isfinite(current); });
}
