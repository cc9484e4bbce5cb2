// FST waveform files, read through fst2vcd (Debian package gtkwave): each
// FST input becomes the read end of a pipe that a fst2vcd child fills with
// VCD text, which the reader reads like any other stream. Nothing is
// written to disk, and memory stays that of a VCD read.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class PUTIL_FST_INPUTS {
public:
    PUTIL_FST_INPUTS() = default;
    ~PUTIL_FST_INPUTS();
    PUTIL_FST_INPUTS(const PUTIL_FST_INPUTS&) = delete;
    PUTIL_FST_INPUTS& operator=(const PUTIL_FST_INPUTS&) = delete;

    // Whether the regular file at path starts with an FST header block. A
    // stream is not looked at: its first bytes would be lost to the reader.
    static bool is_fst_file(const std::string& path);

    // Replaces the name of each FST file in files by the pipe that its
    // conversion writes into; messages still name the FST file. Throws
    // PUTIL_INPUT_ERROR when fst2vcd cannot be started.
    void convert(std::vector<std::string>& files);

    // After the read: ends every conversion and answers why one failed
    // ("x.fst: fst2vcd ended with exit status 1"), or "" when none did. A
    // conversion that the reader stopped early (it closed the pipe) has not
    // failed.
    std::string finish();

    // Whether some input is read through fst2vcd.
    bool active() const { return !m_conversions.empty(); }

private:
    struct CONVERSION {
        std::string file;
        pid_t child;
        int read_end;
    };
    std::vector<CONVERSION> m_conversions;
};

// Ends the conversions after a read that gave status: a failed conversion is
// reported on standard error and makes an OK status an input failure.
int putil_finish_fst_inputs(PUTIL_FST_INPUTS& inputs, int status);
