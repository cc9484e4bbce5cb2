// Host timing estimator: connection delays before timing analysis.
#pragma once

class MEM_SEGMENT;
class CDB_ATOM_OTERM;
class CDB_ATOM_ITERM;

class TIM_ADVANCED_ESTIMATOR {
public:
    // Null when no estimator can be made for the current design.
    static TIM_ADVANCED_ESTIMATOR* create_advanced_estimator(MEM_SEGMENT* segment, bool verbose);
    static void destroy_advanced_estimator(TIM_ADVANCED_ESTIMATOR* estimator);

    // Estimated delay in picoseconds from the driver to one of its sinks.
    virtual int estimate_delay(const CDB_ATOM_OTERM* oterm, const CDB_ATOM_ITERM* iterm) const = 0;

protected:
    virtual ~TIM_ADVANCED_ESTIMATOR() = default;
};
