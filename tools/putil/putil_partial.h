// Partial results of the activity job: what a read measured per file (each
// record's sums, exact), kept so that runs made at other times or on other
// machines merge into what one run over all their files gives; and the merge.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "host/big_time.h"

class HOST_DESIGN;

// What decides which signals a run measures and how, besides its files.
struct PUTIL_PARTIAL_OPTIONS {
    std::string design_file;   // empty: derived from the first file
    std::string constraints_file;
    std::string scope;
    std::optional<BIG_TIME> start;
    std::optional<BIG_TIME> end;
    std::optional<std::string> glitch_width;   // with glitch filtering: "true" (the design's delays) or a width
    bool strict = false;
    std::vector<std::string> settings;
};

// A failure of a partial file or of a merge, with the file it is about.
struct PUTIL_PARTIAL_ERROR {
    std::string reason;
};

// How a merge combines the values that several files give one signal: as
// --merge replace, add and keep do in one run, or concatenated (the files'
// times and transitions added, as if the runs were played one after the
// other).
enum class PUTIL_MERGE_CHOICE { REPLACE, ADD, KEEP, CONCATENATE };
bool putil_merge_choice_from_name(const std::string& name, PUTIL_MERGE_CHOICE& choice);

// Sets the design's merge mode; with CONCATENATE, the store keeps the record
// sums of the read, which putil_concatenate_read then annotates.
void putil_prepare_merge(HOST_DESIGN& design, PUTIL_MERGE_CHOICE choice);
// After a read prepared for CONCATENATE: every signal's values from the sums
// of all files read. The inputs keep their own summaries.
void putil_concatenate_read(HOST_DESIGN& design);

// Before a read: the store keeps what the partial result needs.
void putil_keep_partial_sums(HOST_DESIGN& design);
// The partial result of a read of the design's inputs, in their order.
// stopped: the read ended early on purpose after the last file it read.
nlohmann::json putil_partial_json(const HOST_DESIGN& design, const PUTIL_PARTIAL_OPTIONS& options, bool stopped);

// A partial result and the name it is known by (its file).
struct PUTIL_NAMED_PARTIAL {
    std::string name;
    nlohmann::json document;
};

// Parses a partial result's text; the error names the partial.
PUTIL_NAMED_PARTIAL putil_parse_partial(const std::string& name, const std::string& text);

// The merge of partial results, in their order and their files' order: the
// design they were measured against (design_file, when given, instead of the
// one they name), loaded and checked, with their files as inputs, annotated
// under choice. Throws PUTIL_PARTIAL_ERROR for partials that do not agree
// (design, window, options) or that do not fit the design. level_times:
// the store keeps the level times too (SAIF output).
std::unique_ptr<HOST_DESIGN> putil_merge_partials(const std::vector<PUTIL_NAMED_PARTIAL>& partials,
                                                  PUTIL_MERGE_CHOICE choice, const std::string& design_file,
                                                  bool level_times);
// Whether the merged partials' options give clock constraints.
bool putil_partials_have_constraints(const std::vector<PUTIL_NAMED_PARTIAL>& partials);
