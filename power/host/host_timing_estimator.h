// Reference host timing estimator: connection delays of the current design,
// from a fixed glitch width or the delays given per connection.
#pragma once

#include <string>

#include "host/tim_advanced_estimator.h"

class HOST_DESIGN;

class HOST_TIMING_ESTIMATOR final : public TIM_ADVANCED_ESTIMATOR {
public:
    // The design must outlive the estimator.
    HOST_TIMING_ESTIMATOR(const HOST_DESIGN* design, std::string segment, bool verbose);
    ~HOST_TIMING_ESTIMATOR() override = default;

    // The design's fixed glitch width when it has one, else the input term's
    // delay when given (>= 0), else 0.
    int estimate_delay(const CDB_ATOM_OTERM* oterm, const CDB_ATOM_ITERM* iterm) const override;

    const std::string& segment() const { return m_segment; }
    bool is_verbose() const { return m_verbose; }

private:
    const HOST_DESIGN* m_design;
    std::string m_segment;
    bool m_verbose;
};
