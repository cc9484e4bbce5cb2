// Reference host timing API. The timing netlist belongs to the current
// design: a build replaces the design's netlist, a release drops it, and a
// design that stops being current takes its netlist out of view.
#include "host_timing_api.h"

#include "host_design.h"
#include "host_device.h"
#include "host_facade.h"
#include "host_internal_error.h"
#include "host_timing_netlist.h"

namespace {

HOST_TIMING_API_RECORD s_record;
int s_open_scopes = 0;

class HOST_TIMING_ACCESSORIES final : public TDC_ACCESSORIES {
public:
    // Runs inside a started TAPI_ROOT, on the netlist of the current design:
    // anything else is a misuse of the timing API.
    void build_timing_netlist(CMP_FACADE* facade, CDB_ATOM_NETLIST* atom_netlist, const TDC_NETLIST_OPTIONS& options,
                              bool first_flag, bool second_flag) override
    {
        HOST_ASSERT(host_timing_scope_open());
        HOST_ASSERT(facade != nullptr);
        HOST_DESIGN* design = host_design_of(facade->get_action_point_instance());
        HOST_ASSERT(design != nullptr && design == host_current_design());
        HOST_ASSERT(atom_netlist == design->netlist());
        ++s_record.builds;
        s_record.options = options;
        s_record.build_flags[0] = first_flag;
        s_record.build_flags[1] = second_flag;
        design->build_timing_netlist();
    }

    void release_timing_netlist() override
    {
        ++s_record.releases;
        if (HOST_DESIGN* design = host_current_design())
            design->release_timing_netlist();
    }

    TDB_NETLIST* get_timing_netlist() const override
    {
        HOST_DESIGN* design = host_current_design();
        return design == nullptr ? nullptr : design->timing_netlist();
    }
};

class HOST_TAPI_DB_MANAGER final : public TAPI_DB_MANAGER {
public:
    void release_database(int kind) override { s_record.released_databases.push_back(kind); }
};

}  // namespace

const HOST_TIMING_API_RECORD& host_timing_api_record()
{
    return s_record;
}

void host_clear_timing_api_record()
{
    s_record = HOST_TIMING_API_RECORD();
}

bool host_timing_scope_open()
{
    return s_open_scopes > 0;
}

TDC_ACCESSORIES* tdc_get_accessories()
{
    static HOST_TIMING_ACCESSORIES s_accessories;
    return &s_accessories;
}

TAPI_ROOT::TAPI_ROOT(CMP_FACADE* facade, bool flag) : m_facade(facade), m_started(false)
{
    s_record.root_flag = flag;
}

TAPI_ROOT::~TAPI_ROOT()
{
    if (m_started)
        --s_open_scopes;
}

void TAPI_ROOT::start(int invoke_mode, bool first_flag, int timing_model, bool second_flag,
                      const void* edge_delay_table, bool third_flag)
{
    HOST_ASSERT(!m_started);
    m_started = true;
    ++s_open_scopes;
    ++s_record.scope_starts;
    s_record.invoke_mode = invoke_mode;
    s_record.timing_model = timing_model;
    s_record.start_flags[0] = first_flag;
    s_record.start_flags[1] = second_flag;
    s_record.start_flags[2] = third_flag;
    s_record.edge_delay_table = edge_delay_table;
}

// One manager serves every design; the record says what was released.
TAPI_DB_MANAGER* tapi_get_db_manager(CMP_FACADE* facade)
{
    static HOST_TAPI_DB_MANAGER s_manager;
    if (facade == nullptr && host_current_design() == nullptr)
        return nullptr;
    return &s_manager;
}
