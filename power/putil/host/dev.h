// Host device database: the current device, its die, and the die's
// placement-and-routing view with the routing data the timing component may
// load.
#pragma once

class DYGR_ROUTE_INFO {
public:
    virtual bool is_data_loaded() const = 0;

protected:
    virtual ~DYGR_ROUTE_INFO() = default;
};

class DYGR_ROUTE_TIMING_INFO {
public:
    virtual bool is_data_loaded() const = 0;
    // Unloads the routing timing data.
    virtual void destroy_data() = 0;

protected:
    virtual ~DYGR_ROUTE_TIMING_INFO() = default;
};

// The placement-and-routing view of a die.
class DYGR_DIE_INFO {
public:
    virtual DYGR_ROUTE_INFO* get_route_info() const = 0;
    virtual DYGR_ROUTE_TIMING_INFO* get_route_timing_info() const = 0;

protected:
    virtual ~DYGR_DIE_INFO() = default;
};

class DEV_DIE_INFO {
public:
    // The die's placement-and-routing view, or null when it has none.
    virtual DYGR_DIE_INFO* get_dygr_die_info() const = 0;

protected:
    virtual ~DEV_DIE_INFO() = default;
};

class DEV_DEVICE {
public:
    virtual DEV_DIE_INFO* get_die_info() const = 0;

protected:
    virtual ~DEV_DEVICE() = default;
};

class DMGR_UTILITY {
public:
    // The device of the current compilation, or null.
    static DEV_DEVICE* get_current_device();
};
