// An output file that replaces its destination only when the job writing it
// succeeded: the text goes to a temporary file beside the destination, and
// commit() closes it and renames it over the destination. Until then the
// destination keeps its previous content, whatever happens to the run (a
// parse error, a full disk, an interrupt). The destination "-" is standard
// output: the text is held in a temporary file and copied out on commit, so
// that a failed job prints nothing and ">>" appends.
#pragma once

#include <fstream>
#include <string>

#include "core/putil_export.h"

class PUTIL_EXPORT PUTIL_REPLACED_FILE {
public:
    // Opens the temporary file; is_open() tells whether that worked, and
    // error() why not.
    explicit PUTIL_REPLACED_FILE(std::string destination);
    // Removes the temporary file unless it was committed.
    ~PUTIL_REPLACED_FILE();
    PUTIL_REPLACED_FILE(const PUTIL_REPLACED_FILE&) = delete;
    PUTIL_REPLACED_FILE& operator=(const PUTIL_REPLACED_FILE&) = delete;

    bool is_open() const { return m_stream.is_open(); }
    std::ofstream& stream() { return m_stream; }
    const std::string& destination() const { return m_destination; }

    // Flushes and closes the temporary file and puts it in place of the
    // destination. False, with error() set and the destination untouched,
    // when a write, the close or the rename failed.
    bool commit();
    // Drops what was written; the destination keeps its content.
    void discard();

    // "cannot write PATH: REASON" for the last failure, else empty.
    const std::string& error() const { return m_error; }

    // Whether writing the destination could work at all, checked before a
    // long job starts: its folder exists and is writable, and it is not a
    // folder itself. False with the reason in error.
    static bool check_destination(const std::string& destination, std::string& error);

    // Removes every temporary file still open in the process. Safe to call
    // from a signal handler, so that an interrupted run leaves nothing.
    static void remove_all_temporaries();

private:
    void fail(const std::string& reason);

    std::string m_destination;
    std::string m_temporary;
    std::string m_destination_target;   // renamed over on commit; empty when written through
    std::ofstream m_stream;
    int m_slot = -1;
    std::string m_error;
};

#include <functional>

// The path of a side file called name in folder (empty: the working
// directory).
PUTIL_EXPORT std::string putil_side_file_path(const std::string& folder, const std::string& name);

// The path of the side file name in the folder the host names for them.
std::string putil_side_file(const std::string& name);
// Commits file, or reports why it could not be written to the host; true
// when the file is in place.
bool putil_commit_or_report(PUTIL_REPLACED_FILE& file);

// Writes the side file name, in the folder the host names for them, through
// write, replacing it only when the whole text was written. A failure is
// reported to the host; the result says whether the file is in place.
bool putil_write_side_file(const std::string& name, const std::function<void(std::ostream&)>& write);
