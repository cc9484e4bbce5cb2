// The catalogue of user messages (ids 222000 to 222021): one factory per
// message, and the library's debug trace channel.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class MSG_OBJECT;

enum PUTIL_MSG_SEVERITY { PUTIL_MSG_ERROR, PUTIL_MSG_WARNING, PUTIL_MSG_INFO };

struct PUTIL_MSG_ENTRY {
    unsigned id;
    const char* identifier;   // its first letter gives the severity: E, W or I
    const char* text;         // placeholders %1!s! .. %3!s!
    int argument_count;
};

// The whole catalogue, in id order.
extern const PUTIL_MSG_ENTRY putil_msg_catalogue[];
extern const std::size_t putil_msg_catalogue_size;

// Factories: each returns a new message owned by the caller (post it with
// putil_post_message). A suppressed warning or information comes back as a
// null message that posts nothing.
MSG_OBJECT* iputil_putil_vcd_reader_starting_vcd_to_tbl_conversion(const char* vcd_file, const char* tbl_file);
MSG_OBJECT* iputil_putil_vcd_reader_finished_vcd_to_tbl_conversion(const char* vcd_file, const char* tbl_file);
MSG_OBJECT* iputil_putil_vcd_reader_starting_vcd_stats_collection(const char* file, const char* start, const char* end);
MSG_OBJECT* iputil_putil_vcd_reader_finished_vcd_stats_collection(const char* file, const char* start, const char* end);
MSG_OBJECT* eputil_putil_vcd_reader_invalid_start_end_timestamp();
MSG_OBJECT* eputil_putil_vcd_reader_file_not_found(const char* file);
MSG_OBJECT* wputil_putil_vcd_reader_file_not_found_warning(const char* file);
MSG_OBJECT* eputil_putil_vcd_reader_general_error(const char* file, const char* line);
MSG_OBJECT* eputil_putil_vcd_reader_invalid_upscope_command(const char* file, const char* line);
MSG_OBJECT* eputil_putil_vcd_reader_vcd_to_evcd_consistency_error(const char* file, const char* line);
MSG_OBJECT* eputil_putil_vcd_reader_evcd_to_vcd_consistency_error(const char* file, const char* line);
MSG_OBJECT* eputil_putil_vcd_reader_failed_file_parsing(const char* file);
MSG_OBJECT* eputil_putil_vcd_reader_non_positive_elapsed_time(const char* line);
MSG_OBJECT* wputil_putil_no_clk_domains_found();
MSG_OBJECT* wputil_putil_multiple_clk_domains_found_max_freq();
MSG_OBJECT* wputil_putil_multiple_oterm_clk_domains_found_max_freq(const char* node);
MSG_OBJECT* wputil_putil_multiple_clk_domains_found_min_freq();
MSG_OBJECT* wputil_putil_multiple_oterm_clk_domains_found_min_freq(const char* node);
MSG_OBJECT* wputil_putil_multiple_clk_domains_found_no_freq();
MSG_OBJECT* wputil_putil_multiple_reg_clk_domains_found_no_freq();
MSG_OBJECT* wputil_putil_vcd_reader_malformed_value(const char* file, const char* value, const char* line);
MSG_OBJECT* eputil_putil_vcd_reader_damaged_compressed_file(const char* file, const char* line);

// Posts a message without a report and deletes it.
void putil_post_message(MSG_OBJECT* message);

// printf-style trace on the debug channel "PUTIL" at level 2.
void putil_debug(const char* format, ...);
// Whether putil_debug shows anything: a trace whose arguments are costly
// (a full instance name is as long as the hierarchy is deep) is made only
// then, so that deep hierarchies read in linear time.
bool putil_debug_is_on();
