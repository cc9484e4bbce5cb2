// Partial results and their merge.
#include "putil_partial.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <map>
#include <unordered_map>

#include "putil_activity_job.h"
#include "putil_command.h"
#include "putil_host.h"
#include "reader/putil_vcd_reader.h"

namespace {

const char* const FORMAT_NAME = "putil partial";
const int FORMAT_VERSION = 1;

typedef HOST_SA_DATA::KEPT_RECORD KEPT_RECORD;

// The records one file's read offered, in order.
struct FILE_RECORDS {
    HOST_INPUT_FILE_DATA* entry;
    std::vector<KEPT_RECORD> records;
};

// The design's signals, by name in netlist order: partials of the same
// design name the signals by the same ids.
std::string design_identity(const HOST_DESIGN& design)
{
    std::uint64_t hash = 14695981039346656037ull;
    CDB_ATOM_NETLIST* netlist = design.netlist();
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            for (const char c : (*term)->get_string_hpath() + "\n") {
                hash ^= static_cast<unsigned char>(c);
                hash *= 1099511628211ull;
            }
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

nlohmann::json absolute_path(const std::string& file)
{
    if (file.empty())
        return nullptr;
    std::error_code ignored;
    const std::filesystem::path path = std::filesystem::absolute(file, ignored);
    return path.empty() ? file : path.string();
}

nlohmann::json picoseconds(const std::optional<BIG_TIME>& time)
{
    return time ? nlohmann::json(time->get_storage_number()) : nlohmann::json(nullptr);
}

// What the merge compares: the design, the window, the options.
nlohmann::json design_json(const HOST_DESIGN& design, const PUTIL_PARTIAL_OPTIONS& options)
{
    return {{"file", absolute_path(options.design_file)},
            {"identity", design_identity(design)},
            {"signals", design.store()->get_output_signal_id_array_size()}};
}

nlohmann::json options_json(const PUTIL_PARTIAL_OPTIONS& options)
{
    return {{"scope", options.scope},
            {"constraints", absolute_path(options.constraints_file)},
            {"filter_glitches", options.glitch_width ? nlohmann::json(*options.glitch_width) : nlohmann::json(nullptr)},
            {"strict", options.strict},
            {"settings", options.settings}};
}

// A record: [signal id, toggle count, enabled toggle count, enabled toggles
// only (0/1), weighted high, known and unknown time (whole ticks or
// doubles), level time unit in seconds, time at 0, 1, X, Z].
nlohmann::json record_json(unsigned signal, const KEPT_RECORD& kept)
{
    const PUTIL_RECORD_SUMS& s = kept.sums;
    const PUTIL_SIGNAL_LEVEL_TIMES& t = kept.times;
    nlohmann::json record = {signal, s.toggle_count, s.enabled_toggle_count, s.enabled_toggles_only ? 1 : 0};
    if (s.whole_ticks)
        record.insert(record.end(), {s.weighted_high_ticks, s.known_ticks, s.unknown_ticks});
    else
        record.insert(record.end(), {s.weighted_high_time, s.known_time, s.unknown_time});
    record.insert(record.end(), {t.time_unit_seconds, t.time_at_0, t.time_at_1, t.time_at_x, t.time_at_z});
    return record;
}

nlohmann::json messages_json()
{
    nlohmann::json messages = nlohmann::json::array();
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        messages.push_back(
            {{"severity", host_severity_name(message.severity)}, {"id", message.id}, {"text", message.text}});
    return messages;
}

// The kept records of the store by entry, in the entries' order.
std::vector<FILE_RECORDS> kept_records_by_entry(const HOST_DESIGN& design)
{
    std::vector<FILE_RECORDS> files;
    for (HOST_INPUT_FILE_DATA* entry : design.input_files()->entries())
        files.push_back(FILE_RECORDS{entry, {}});
    for (const KEPT_RECORD& kept : design.store()->kept_records()) {
        const std::size_t index = kept.sums.input_file_id - 1u;
        if (index < files.size())
            files[index].records.push_back(kept);
    }
    return files;
}

// The sums of one signal over several files, as if they were one file
// played after the other: counts added, times added in the finest unit of
// the files while all are whole ticks and the total fits, else in
// nanoseconds as doubles. Files of one unit keep it as they give it.
PUTIL_RECORD_SUMS concatenated_sums(const std::vector<const KEPT_RECORD*>& parts)
{
    PUTIL_RECORD_SUMS sum = parts.back()->sums;
    std::int64_t finest = parts.front()->sums.time_unit_fs;
    bool whole = true;
    bool one_unit = true;
    for (const KEPT_RECORD* part : parts) {
        whole = whole && part->sums.whole_ticks && part->sums.time_unit_fs > 0;
        one_unit = one_unit && part->sums.time_unit_fs == finest && part->sums.time_unit_ns == sum.time_unit_ns;
        finest = std::min(finest, part->sums.time_unit_fs);
    }
    sum.toggle_count = 0.0;
    sum.enabled_toggle_count = 0.0;
    std::int64_t high = 0, known = 0, unknown = 0;
    for (const KEPT_RECORD* part : parts) {
        const PUTIL_RECORD_SUMS& s = part->sums;
        sum.toggle_count += s.toggle_count;
        sum.enabled_toggle_count += s.enabled_toggle_count;
        if (!whole)
            continue;
        const std::int64_t scale = s.time_unit_fs / finest;
        std::int64_t scaled[3];
        whole = !__builtin_mul_overflow(s.weighted_high_ticks, scale, &scaled[0]) &&
                !__builtin_mul_overflow(s.known_ticks, scale, &scaled[1]) &&
                !__builtin_mul_overflow(s.unknown_ticks, scale, &scaled[2]) &&
                !__builtin_add_overflow(high, scaled[0], &high) && !__builtin_add_overflow(known, scaled[1], &known) &&
                !__builtin_add_overflow(unknown, scaled[2], &unknown);
    }
    sum.whole_ticks = whole;
    if (whole) {
        sum.weighted_high_ticks = high;
        sum.known_ticks = known;
        sum.unknown_ticks = unknown;
        sum.weighted_high_time = static_cast<double>(high);
        sum.known_time = static_cast<double>(known);
        sum.unknown_time = static_cast<double>(unknown);
        if (!one_unit) {
            sum.time_unit_fs = finest;
            sum.time_unit_ns = static_cast<double>(finest) / 1e6;
        }
        return sum;
    }
    sum.weighted_high_ticks = sum.known_ticks = sum.unknown_ticks = 0;
    sum.weighted_high_time = sum.known_time = sum.unknown_time = 0.0;
    for (const KEPT_RECORD* part : parts) {
        const PUTIL_RECORD_SUMS& s = part->sums;
        sum.weighted_high_time += s.weighted_high_time * (one_unit ? 1.0 : s.time_unit_ns);
        sum.known_time += s.known_time * (one_unit ? 1.0 : s.time_unit_ns);
        sum.unknown_time += s.unknown_time * (one_unit ? 1.0 : s.time_unit_ns);
    }
    if (!one_unit) {
        sum.time_unit_ns = 1.0;
        sum.time_unit_fs = 1000000;
    }
    return sum;
}

// The level times of one signal over several files, in the finest unit.
PUTIL_SIGNAL_LEVEL_TIMES concatenated_times(const std::vector<const KEPT_RECORD*>& parts)
{
    PUTIL_SIGNAL_LEVEL_TIMES sum{parts.front()->times.time_unit_seconds, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (const KEPT_RECORD* part : parts)
        sum.time_unit_seconds = std::min(sum.time_unit_seconds, part->times.time_unit_seconds);
    for (const KEPT_RECORD* part : parts) {
        const PUTIL_SIGNAL_LEVEL_TIMES& t = part->times;
        const double scale = t.time_unit_seconds == sum.time_unit_seconds ? 1.0 : t.time_unit_seconds / sum.time_unit_seconds;
        sum.time_at_0 += t.time_at_0 * scale;
        sum.time_at_1 += t.time_at_1 * scale;
        sum.time_at_x += t.time_at_x * scale;
        sum.time_at_z += t.time_at_z * scale;
        sum.transitions += t.transitions;
    }
    return sum;
}

std::unique_ptr<PUTIL_VCD_READER> new_reader(HOST_DESIGN& design)
{
    std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design.facade()));
    if (!reader)
        throw std::bad_alloc();
    return reader;
}

// Each signal's values from the last record of it in each file, all files
// concatenated; the entries keep the summaries their own files gave.
void annotate_concatenated(HOST_DESIGN& design, const std::vector<FILE_RECORDS>& files)
{
    std::map<unsigned, std::vector<const KEPT_RECORD*>> parts_by_signal;
    HOST_SA_DATA* store = design.store();
    for (const FILE_RECORDS& file : files) {
        std::unordered_map<unsigned, const KEPT_RECORD*> last;
        for (const KEPT_RECORD& kept : file.records) {
            unsigned id = 0;
            if (store->get_unique_id_for_output_signal(kept.sums.oterm, &id))
                last[id] = &kept;
        }
        for (const auto& [id, kept] : last)
            parts_by_signal[id].push_back(kept);
    }
    std::vector<PUTIL_RECORD_SUMS> records;
    for (const auto& [id, parts] : parts_by_signal) {
        records.push_back(concatenated_sums(parts));
        if (store->keeps_signal_level_times())
            store->set_signal_level_times(parts.back()->sums.oterm, concatenated_times(parts));
    }
    new_reader(design)->annotate_record_sums(store, nullptr, records);
}

PUTIL_PARTIAL_ERROR partial_error(const std::string& name, const std::string& what)
{
    return PUTIL_PARTIAL_ERROR{host_shown_file_name(name) + ": " + what};
}

const nlohmann::json& member(const PUTIL_NAMED_PARTIAL& partial, const nlohmann::json& object, const char* key,
                             nlohmann::json::value_t type)
{
    const auto found = object.find(key);
    const bool number = type == nlohmann::json::value_t::number_float;
    if (found == object.end() || !(found->type() == type || (number && found->is_number())))
        throw partial_error(partial.name, std::string("not a partial result: \"") + key + "\" is missing or of the "
                                                                                        "wrong type");
    return *found;
}

// What two partials must share to merge: the first difference, or "".
std::string difference(const nlohmann::json& a, const nlohmann::json& b)
{
    if (a["design"]["identity"] != b["design"]["identity"] || a["design"]["signals"] != b["design"]["signals"])
        return "their designs differ";
    if (a["design"]["file"] != b["design"]["file"])
        return "their design files differ (" + a["design"]["file"].dump() + ", " + b["design"]["file"].dump() + ")";
    if (a["window"] != b["window"])
        return "their windows differ (" + a["window"].dump() + ", " + b["window"].dump() + ")";
    for (const auto& [key, value] : a["options"].items()) {
        if (b["options"][key] != value)
            return "their options differ (" + key + ": " + value.dump() + ", " + b["options"][key].dump() + ")";
    }
    return "";
}

// A double of the document that must be a number.
double number_of(const PUTIL_NAMED_PARTIAL& partial, const nlohmann::json& value)
{
    if (!value.is_number())
        throw partial_error(partial.name, "not a partial result: a record holds " + value.dump() + " for a number");
    return value.get<double>();
}

std::int64_t ticks_of(const PUTIL_NAMED_PARTIAL& partial, const nlohmann::json& value)
{
    if (!value.is_number_integer())
        throw partial_error(partial.name, "not a partial result: a record holds " + value.dump() + " for whole ticks");
    return value.get<std::int64_t>();
}

// One file's records of a partial, on the design's terms.
FILE_RECORDS file_records(const PUTIL_NAMED_PARTIAL& partial, const nlohmann::json& file, HOST_INPUT_FILE_DATA* entry,
                          const HOST_SA_DATA& store)
{
    FILE_RECORDS result{entry, {}};
    const bool whole = file.value("whole_ticks", false);
    const double unit_ns = file["time_unit_ns"].is_number() ? file["time_unit_ns"].get<double>() : 0.0;
    const std::int64_t unit_fs = file["time_unit_fs"].is_number_integer() ? file["time_unit_fs"].get<std::int64_t>() : 0;
    for (const nlohmann::json& record : member(partial, file, "records", nlohmann::json::value_t::array)) {
        if (!record.is_array() || record.size() != 12 || !record[0].is_number_unsigned())
            throw partial_error(partial.name, "not a partial result: a record is not [signal, 11 numbers]");
        const CDB_ATOM_OTERM* oterm = store.oterm_of(record[0].get<unsigned>());
        if (oterm == nullptr)
            throw partial_error(partial.name, "signal " + record[0].dump() + " is not a signal of the design");
        KEPT_RECORD kept;
        PUTIL_RECORD_SUMS& s = kept.sums;
        s.oterm = oterm;
        s.input_file_id = entry->get_id();
        s.toggle_count = number_of(partial, record[1]);
        s.enabled_toggle_count = number_of(partial, record[2]);
        s.enabled_toggles_only = number_of(partial, record[3]) != 0;
        s.whole_ticks = whole;
        s.weighted_high_ticks = whole ? ticks_of(partial, record[4]) : 0;
        s.known_ticks = whole ? ticks_of(partial, record[5]) : 0;
        s.unknown_ticks = whole ? ticks_of(partial, record[6]) : 0;
        s.weighted_high_time = whole ? static_cast<double>(s.weighted_high_ticks) : number_of(partial, record[4]);
        s.known_time = whole ? static_cast<double>(s.known_ticks) : number_of(partial, record[5]);
        s.unknown_time = whole ? static_cast<double>(s.unknown_ticks) : number_of(partial, record[6]);
        s.time_unit_ns = unit_ns;
        s.time_unit_fs = unit_fs;
        kept.times = PUTIL_SIGNAL_LEVEL_TIMES{number_of(partial, record[7]),  number_of(partial, record[8]),
                                              number_of(partial, record[9]),  number_of(partial, record[10]),
                                              number_of(partial, record[11]), s.toggle_count * 0.5};
        result.records.push_back(kept);
    }
    return result;
}

void check_partials(const std::vector<PUTIL_NAMED_PARTIAL>& partials)
{
    if (partials.empty())
        throw PUTIL_PARTIAL_ERROR{"no partial results to merge"};
    for (const PUTIL_NAMED_PARTIAL& partial : partials) {
        const nlohmann::json& document = partial.document;
        if (!document.is_object() || document.value("format", "") != FORMAT_NAME)
            throw partial_error(partial.name, "not a partial result (no \"format\": \"putil partial\")");
        if (document.value("version", 0) != FORMAT_VERSION)
            throw partial_error(partial.name, "partial result of format version " + document["version"].dump() +
                                                  "; this putil reads version " + std::to_string(FORMAT_VERSION));
        member(partial, document, "design", nlohmann::json::value_t::object);
        member(partial, document, "window", nlohmann::json::value_t::object);
        member(partial, document, "options", nlohmann::json::value_t::object);
        member(partial, document, "messages", nlohmann::json::value_t::array);
        for (const nlohmann::json& file : member(partial, document, "files", nlohmann::json::value_t::array)) {
            if (!file.is_object())
                throw partial_error(partial.name, "not a partial result: a file is not an object");
            member(partial, file, "file", nlohmann::json::value_t::string);
            member(partial, file, "path", nlohmann::json::value_t::string);
        }
        const std::string differs = difference(partials.front().document, document);
        if (!differs.empty())
            throw PUTIL_PARTIAL_ERROR{"cannot merge " + host_shown_file_name(partial.name) + " with " +
                                      host_shown_file_name(partials.front().name) + ": " + differs};
    }
}

std::optional<BIG_TIME> bound_of(const nlohmann::json& picoseconds)
{
    if (!picoseconds.is_number_integer())
        return std::nullopt;
    return BIG_TIME(picoseconds.get<std::int64_t>());
}

// The design the partials were measured against, with their scope, window,
// files and clock constraints, ready to be annotated.
std::unique_ptr<HOST_DESIGN> partials_design(const std::vector<PUTIL_NAMED_PARTIAL>& partials,
                                             const std::string& design_override)
{
    const PUTIL_NAMED_PARTIAL& first = partials.front();
    const nlohmann::json& origin = first.document;
    std::string design_file = design_override;
    if (design_file.empty() && origin["design"]["file"].is_string())
        design_file = origin["design"]["file"].get<std::string>();
    std::string first_file;
    for (const PUTIL_NAMED_PARTIAL& partial : partials) {
        if (first_file.empty() && !partial.document["files"].empty())
            first_file = partial.document["files"][0]["path"].get<std::string>();
    }
    // The run's settings: a derived design depends on them.
    putil_apply_activity_settings(origin["options"].value("strict", false));
    putil_apply_setting_assignments(origin["options"].value("settings", std::vector<std::string>()));
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = putil_load_waveform_design(design_file, first_file, error);
    if (!design)
        throw PUTIL_PARTIAL_ERROR{error};
    if (design_identity(*design) != origin["design"]["identity"] ||
        design->store()->get_output_signal_id_array_size() != origin["design"]["signals"])
        throw PUTIL_PARTIAL_ERROR{
            host_shown_file_name(first.name) + ": the design " +
            (design_file.empty() ? "derived from " + first_file : design_file) +
            " is not the one the partial result was measured against (its signals differ)"};
    host_set_current_design(design.get());
    const nlohmann::json& options = origin["options"];
    HOST_INSTANCE* scope = design->find_instance(options.value("scope", ""));
    if (scope == nullptr)
        throw PUTIL_PARTIAL_ERROR{"the design has no instance \"" + options.value("scope", "") + "\""};
    const std::optional<BIG_TIME> start = bound_of(origin["window"]["start_ps"]);
    const std::optional<BIG_TIME> end = bound_of(origin["window"]["end_ps"]);
    for (const PUTIL_NAMED_PARTIAL& partial : partials) {
        for (const nlohmann::json& file : partial.document["files"])
            design->input_files()->add_entry(file["file"].get<std::string>(), scope, start ? &*start : nullptr,
                                             end ? &*end : nullptr);
    }
    if (options["constraints"].is_string()) {
        std::vector<std::string> warnings;
        if (!putil_apply_clock_constraints(*design, options["constraints"].get<std::string>(), error, warnings))
            throw PUTIL_PARTIAL_ERROR{error};
    }
    return design;
}

void add_messages(const std::vector<PUTIL_NAMED_PARTIAL>& partials)
{
    for (const PUTIL_NAMED_PARTIAL& partial : partials) {
        for (const nlohmann::json& message : partial.document["messages"]) {
            const std::string severity = message.value("severity", "");
            HOST_POSTED_MESSAGE posted{severity == "error"     ? MSG_SEVERITY_ERROR
                                       : severity == "warning" ? MSG_SEVERITY_WARNING
                                                               : MSG_SEVERITY_INFO,
                                       message.value("id", 0u), "", message.value("text", ""), {}};
            host_add_posted_message(posted);
        }
    }
}

}  // namespace

bool putil_merge_choice_from_name(const std::string& name, PUTIL_MERGE_CHOICE& choice)
{
    static const std::pair<const char*, PUTIL_MERGE_CHOICE> NAMES[] = {{"replace", PUTIL_MERGE_CHOICE::REPLACE},
                                                                       {"add", PUTIL_MERGE_CHOICE::ADD},
                                                                       {"keep", PUTIL_MERGE_CHOICE::KEEP},
                                                                       {"concatenate", PUTIL_MERGE_CHOICE::CONCATENATE}};
    for (const auto& [known, value] : NAMES) {
        if (name == known) {
            choice = value;
            return true;
        }
    }
    return false;
}

void putil_prepare_merge(HOST_DESIGN& design, PUTIL_MERGE_CHOICE choice)
{
    HOST_INPUT_FILE_MANAGER* inputs = design.input_files();
    // Concatenation first annotates every file on its own (each entry then
    // has its own summaries), then the sums of all.
    inputs->set_merge_mode(choice == PUTIL_MERGE_CHOICE::ADD    ? PUTIL_MERGE_ADD
                           : choice == PUTIL_MERGE_CHOICE::KEEP ? PUTIL_MERGE_KEEP
                                                                : PUTIL_MERGE_REPLACE);
    if (choice == PUTIL_MERGE_CHOICE::CONCATENATE)
        design.store()->set_keeping_record_sums(true);
}

void putil_concatenate_read(HOST_DESIGN& design) { annotate_concatenated(design, kept_records_by_entry(design)); }

void putil_keep_partial_sums(HOST_DESIGN& design)
{
    design.store()->set_keeping_record_sums(true);
    design.store()->set_keeping_level_times(true);
}

nlohmann::json putil_partial_json(const HOST_DESIGN& design, const PUTIL_PARTIAL_OPTIONS& options, bool stopped)
{
    const std::vector<FILE_RECORDS> by_entry = kept_records_by_entry(design);
    nlohmann::json file_list = nlohmann::json::array();
    const HOST_INPUT_FILE_DATA* last_read = nullptr;
    for (const FILE_RECORDS& file : by_entry) {
        if (file.entry->read_extent())
            last_read = file.entry;
    }
    for (const FILE_RECORDS& file : by_entry) {
        const std::string& name = file.entry->get_file_name();
        nlohmann::json records = nlohmann::json::array();
        for (const KEPT_RECORD& kept : file.records) {
            unsigned id = 0;
            if (design.store()->get_unique_id_for_output_signal(kept.sums.oterm, &id))
                records.push_back(record_json(id, kept));
        }
        const PUTIL_RECORD_SUMS* first = file.records.empty() ? nullptr : &file.records.front().sums;
        file_list.push_back({{"file", host_shown_file_name(name)},
                             {"path", absolute_path(name)},
                             {"stopped", stopped && file.entry == last_read},
                             {"whole_ticks", first != nullptr && first->whole_ticks},
                             {"time_unit_ns", first != nullptr ? nlohmann::json(first->time_unit_ns) : nullptr},
                             {"time_unit_fs", first != nullptr ? nlohmann::json(first->time_unit_fs) : nullptr},
                             {"records", records}});
    }
    return {{"format", FORMAT_NAME},
            {"version", FORMAT_VERSION},
            {"design", design_json(design, options)},
            {"window", {{"start_ps", picoseconds(options.start)}, {"end_ps", picoseconds(options.end)}}},
            {"options", options_json(options)},
            {"messages", messages_json()},
            {"files", file_list}};
}

PUTIL_NAMED_PARTIAL putil_parse_partial(const std::string& name, const std::string& text)
{
    nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded())
        throw partial_error(name, "not a partial result: not JSON");
    return PUTIL_NAMED_PARTIAL{name, std::move(document)};
}

std::unique_ptr<HOST_DESIGN> putil_merge_partials(const std::vector<PUTIL_NAMED_PARTIAL>& partials,
                                                  PUTIL_MERGE_CHOICE choice, const std::string& design_file,
                                                  bool level_times)
{
    check_partials(partials);
    std::unique_ptr<HOST_DESIGN> design = partials_design(partials, design_file);
    HOST_SA_DATA* store = design->store();
    store->set_keeping_level_times(level_times);
    putil_prepare_merge(*design, choice);
    add_messages(partials);
    const std::vector<HOST_INPUT_FILE_DATA*> entries = design->input_files()->entries();
    std::vector<FILE_RECORDS> files;
    std::unique_ptr<PUTIL_VCD_READER> reader = new_reader(*design);
    std::size_t index = 0;
    bool stopped = false;
    for (const PUTIL_NAMED_PARTIAL& partial : partials) {
        for (const nlohmann::json& file : partial.document["files"]) {
            HOST_INPUT_FILE_DATA* entry = entries[index++];
            // A read that stopped on purpose reads no later file.
            if (stopped)
                continue;
            stopped = file.value("stopped", false);
            files.push_back(file_records(partial, file, entry, *store));
            std::vector<PUTIL_RECORD_SUMS> records;
            for (const KEPT_RECORD& kept : files.back().records) {
                if (level_times)
                    store->set_signal_level_times(kept.sums.oterm, kept.times);
                records.push_back(kept.sums);
            }
            reader->annotate_record_sums(store, entry, records);
        }
    }
    if (choice == PUTIL_MERGE_CHOICE::CONCATENATE)
        annotate_concatenated(*design, files);
    return design;
}

bool putil_partials_have_constraints(const std::vector<PUTIL_NAMED_PARTIAL>& partials)
{
    return !partials.empty() && partials.front().document["options"]["constraints"].is_string();
}
