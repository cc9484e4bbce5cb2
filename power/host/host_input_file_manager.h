// Reference host waveform input entries: each applies one waveform file to
// one hierarchy instance; the manager lists them, groups entries that share
// a file, and decides how an entry may overwrite another's values.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/big_time.h"
#include "host/putil_sa_data.h"

class HOST_INPUT_FILE_DATA final : public PUTIL_INPUT_FILE_DATA {
public:
    // Terms of the design owner are recorded by number, others one by one.
    HOST_INPUT_FILE_DATA(std::uint16_t id, std::string file_name, HDB_INSTANCE_NAME* instance,
                         const BIG_TIME* start, const BIG_TIME* end, HOST_INPUT_FILE_DATA* primary,
                         const void* owner = nullptr);
    ~HOST_INPUT_FILE_DATA() override = default;

    std::uint16_t get_id() const override { return m_id; }
    const std::string& get_file_name() const override { return m_file_name; }
    const BIG_TIME* get_start_time() const override { return m_start ? &*m_start : nullptr; }
    const BIG_TIME* get_end_time() const override { return m_end ? &*m_end : nullptr; }
    HDB_INSTANCE_NAME* get_hierarchy_instance() const override { return m_instance; }
    void set_toggle_percentage(float percent) override { m_toggle_percentage = percent; }
    void set_unknown_percentage(float percent) override { m_unknown_percentage = percent; }
    void add_ignored_ascending_range(const std::string& range) override;

    // The entry whose file this one applies again; null for a primary entry.
    HOST_INPUT_FILE_DATA* primary() const { return m_primary; }
    bool has_toggle_percentage() const { return m_toggle_percentage.has_value(); }
    float toggle_percentage() const { return m_toggle_percentage.value_or(0.0f); }
    bool has_unknown_percentage() const { return m_unknown_percentage.has_value(); }
    float unknown_percentage() const { return m_unknown_percentage.value_or(0.0f); }

    // The declarations that strict reading left for their ascending range,
    // and the first one's range.
    std::size_t ignored_ascending_ranges() const { return m_ignored_ascending_ranges; }
    const std::string& first_ignored_ascending_range() const { return m_first_ignored_ascending_range; }

    void mark_annotated(const CDB_ATOM_OTERM* oterm);
    std::size_t annotated_count() const { return m_annotated_count; }
    bool is_annotated(const CDB_ATOM_OTERM* oterm) const;

private:
    std::uint16_t m_id;
    std::string m_file_name;
    HDB_INSTANCE_NAME* m_instance;
    std::optional<BIG_TIME> m_start;
    std::optional<BIG_TIME> m_end;
    HOST_INPUT_FILE_DATA* m_primary;
    std::optional<float> m_toggle_percentage;
    std::optional<float> m_unknown_percentage;
    std::size_t m_ignored_ascending_ranges = 0;
    std::string m_first_ignored_ascending_range;
    // A run annotates up to every term of the design: one bit per term
    // number for the owner's terms.
    const void* m_owner;
    std::vector<bool> m_annotated_numbers;
    std::unordered_set<const CDB_ATOM_OTERM*> m_annotated_others;
    std::size_t m_annotated_count = 0;
};

class HOST_INPUT_FILE_MANAGER final : public PUTIL_INPUT_FILE_MANAGER {
public:
    // default_instance stands for a null instance given to add_entry (the
    // design's root); owner identifies the design whose terms the entries
    // record compactly.
    explicit HOST_INPUT_FILE_MANAGER(HDB_INSTANCE_NAME* default_instance, const void* owner = nullptr);
    ~HOST_INPUT_FILE_MANAGER() override;

    // A new waveform entry with the next id (1, 2, ...); start and end are
    // copied, null means no bound. More than 65535 entries is an internal
    // error: ids are 16 bits.
    HOST_INPUT_FILE_DATA* add_entry(const std::string& file, HDB_INSTANCE_NAME* instance, const BIG_TIME* start,
                                    const BIG_TIME* end);
    // An entry with its own id that applies primary's file and window to
    // another instance. It is read together with primary (get_related_entries)
    // and is not listed as a waveform entry of its own.
    HOST_INPUT_FILE_DATA* add_related_entry(HOST_INPUT_FILE_DATA* primary, HDB_INSTANCE_NAME* instance);

    void set_merge_mode(PUTIL_MERGE_MODE mode) { m_merge_mode = mode; }
    PUTIL_MERGE_MODE merge_mode() const { return m_merge_mode; }
    void set_use_timing_estimator(bool use) { m_use_timing_estimator = use; }
    // Every entry, related ones included, in id order.
    std::vector<HOST_INPUT_FILE_DATA*> entries() const;

    void get_waveform_input_entries(int kind, std::vector<PUTIL_INPUT_FILE_DATA*>& entries) const override;
    bool use_timing_estimator() const override { return m_use_timing_estimator; }
    void get_related_entries(const PUTIL_INPUT_FILE_DATA* entry,
                             std::vector<PUTIL_INPUT_FILE_DATA*>& related) const override;
    // REPLACE when the value has no writer yet (owner 0) or the same entry
    // writes it again; otherwise the configured mode. owner becomes entry_id.
    int get_merge_mode(std::uint16_t entry_id, std::uint16_t& owner_id) override;
    PUTIL_INPUT_FILE_DATA* get_input_file_data(std::uint16_t entry_id) const override;
    HOST_INPUT_FILE_DATA* find_entry(std::uint16_t entry_id) const;
    void mark_oterm_annotated(PUTIL_INPUT_FILE_DATA* entry, const CDB_ATOM_OTERM* oterm) override;

private:
    HOST_INPUT_FILE_DATA* make_entry(const std::string& file, HDB_INSTANCE_NAME* instance, const BIG_TIME* start,
                                     const BIG_TIME* end, HOST_INPUT_FILE_DATA* primary);

    HDB_INSTANCE_NAME* m_default_instance;
    const void* m_owner;
    PUTIL_MERGE_MODE m_merge_mode = PUTIL_MERGE_REPLACE;
    bool m_use_timing_estimator = false;
    // Index i holds the entry of id i + 1.
    std::vector<std::unique_ptr<HOST_INPUT_FILE_DATA>> m_entries;
};
