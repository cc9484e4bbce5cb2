// Reference host device: the device of a design with its die, and the die's
// placement-and-routing view when the design asks for one, with the loaded
// state of its routing data and routing timing data.
#pragma once

#include <memory>

#include "host/dev.h"

class HOST_ROUTE_INFO final : public DYGR_ROUTE_INFO {
public:
    bool is_data_loaded() const override { return m_loaded; }
    void set_loaded(bool loaded) { m_loaded = loaded; }

private:
    bool m_loaded = false;
};

class HOST_ROUTE_TIMING_INFO final : public DYGR_ROUTE_TIMING_INFO {
public:
    bool is_data_loaded() const override { return m_loaded; }
    void destroy_data() override;
    void set_loaded(bool loaded) { m_loaded = loaded; }
    // Calls of destroy_data, whether or not data was loaded.
    int destroy_count() const { return m_destroy_count; }

private:
    bool m_loaded = false;
    int m_destroy_count = 0;
};

class HOST_DYGR_DIE_INFO final : public DYGR_DIE_INFO {
public:
    DYGR_ROUTE_INFO* get_route_info() const override;
    DYGR_ROUTE_TIMING_INFO* get_route_timing_info() const override;
    HOST_ROUTE_INFO& route() { return m_route; }
    HOST_ROUTE_TIMING_INFO& route_timing() { return m_route_timing; }

private:
    HOST_ROUTE_INFO m_route;
    HOST_ROUTE_TIMING_INFO m_route_timing;
};

class HOST_DIE final : public DEV_DIE_INFO {
public:
    DYGR_DIE_INFO* get_dygr_die_info() const override { return m_view.get(); }

private:
    friend class HOST_DEVICE;
    std::unique_ptr<HOST_DYGR_DIE_INFO> m_view;
};

// Every design has a device; the view exists only after set_route_view.
class HOST_DEVICE final : public DEV_DEVICE {
public:
    DEV_DIE_INFO* get_die_info() const override;

    // Makes the view (nothing loaded) or drops it.
    void set_route_view(bool present);
    // The view, or null.
    HOST_DYGR_DIE_INFO* route_view() const { return m_die.m_view.get(); }
    // The loaded flags; false without a view. Setting one needs the view.
    bool route_data_loaded() const;
    bool route_timing_data_loaded() const;
    void set_route_data_loaded(bool loaded);
    void set_route_timing_data_loaded(bool loaded);
    // What building a timing netlist does to the device: the view's routing
    // timing data is loaded; without a view nothing happens.
    void load_route_timing_data();

private:
    HOST_DIE m_die;
};
