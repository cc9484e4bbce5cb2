// Reference host timing estimator, allocated from the host memory manager
// under the segment the caller names.
#include "host_timing_estimator.h"

#include <new>

#include "host_atom.h"
#include "host_design.h"
#include "host_internal_error.h"
#include "host_memory.h"

HOST_TIMING_ESTIMATOR::HOST_TIMING_ESTIMATOR(const HOST_DESIGN* design, std::string segment, bool verbose)
    : m_design(design), m_segment(std::move(segment)), m_verbose(verbose)
{
}

int HOST_TIMING_ESTIMATOR::estimate_delay(const CDB_ATOM_OTERM*, const CDB_ATOM_ITERM* iterm) const
{
    if (m_design->fixed_glitch_width())
        return *m_design->fixed_glitch_width();
    const HOST_ITERM* host_iterm = dynamic_cast<const HOST_ITERM*>(iterm);
    if (host_iterm == nullptr || host_iterm->delay_ps() < 0)
        return 0;
    return host_iterm->delay_ps();
}

TIM_ADVANCED_ESTIMATOR* TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_SEGMENT* segment, bool verbose)
{
    HOST_DESIGN* design = host_current_design();
    if (design == nullptr)
        return nullptr;
    if (segment == nullptr)
        segment = MEM_MANAGER::get_default_segment();
    void* block = mem_new_wrapper(sizeof(HOST_TIMING_ESTIMATOR), segment->name().c_str(), HOST_SOURCE_NAME, __LINE__);
    if (block == nullptr)
        return nullptr;
    return new (block) HOST_TIMING_ESTIMATOR(design, segment->name(), verbose);
}

void TIM_ADVANCED_ESTIMATOR::destroy_advanced_estimator(TIM_ADVANCED_ESTIMATOR* estimator)
{
    HOST_TIMING_ESTIMATOR* own = dynamic_cast<HOST_TIMING_ESTIMATOR*>(estimator);
    if (own == nullptr)
        return;
    std::string segment = own->segment();
    own->~HOST_TIMING_ESTIMATOR();
    mem_delete_wrapper(own, segment.c_str());
}
