// A waveform file opened for the scanner: plain, or gzip-compressed
// (recognised by its first two bytes, whatever its name). The file is opened
// and read once, so a pipe, a FIFO or standard input reads like a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include "core/putil_internal.h"

// How far the reading of a file has got, for progress when its lines were
// not counted beforehand, and whether its text ended early on damage.
class PUTIL_VCD_INPUT_PROGRESS {
public:
    virtual ~PUTIL_VCD_INPUT_PROGRESS() = default;
    // From 0 to 1.
    virtual double fraction_read() const = 0;
    // Whether the file is damaged anywhere: reads and drops the rest of its
    // text first, since corrupt data may inflate to garbage for a while
    // before the damage shows. For a read that has gone wrong.
    virtual bool is_damaged_anywhere() = 0;
};

// Passes on the bytes of another stream buffer with every NUL byte made
// 0x01. Flex takes a NUL for a possible end of its buffer and scans the
// token again from its start at each one, so a run of NULs (a comment of
// zeros, a file preallocated and never filled) would cost the square of its
// length; 0x01 is outside the language like NUL, and every scanner rule
// treats the two alike.
class PUTIL_VCD_NUL_FILTER : public std::streambuf {
public:
    explicit PUTIL_VCD_NUL_FILTER(std::streambuf* source) : m_source(source) { setg(m_one, m_one, m_one); }
    void set_source(std::streambuf* source) { m_source = source; }

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* buffer, std::streamsize count) override;

private:
    std::streambuf* m_source;
    char m_one[1];
};

class PUTIL_VCD_INPUT_FILE : public PUTIL_VCD_INPUT_PROGRESS {
public:
    PUTIL_VCD_INPUT_FILE();
    ~PUTIL_VCD_INPUT_FILE() override;
    PUTIL_VCD_INPUT_FILE(const PUTIL_VCD_INPUT_FILE&) = delete;
    PUTIL_VCD_INPUT_FILE& operator=(const PUTIL_VCD_INPUT_FILE&) = delete;

    // Whether the file starts with the gzip magic bytes. Reads the file:
    // for regular files only (a stream would lose those bytes).
    static bool is_gzip_file(const std::string& file_name);
    // Whether the file can be read twice (a regular file), which counting
    // its lines beforehand needs.
    static bool is_regular_file(const std::string& file_name);

    // False when the file cannot be opened.
    bool open(const std::string& file_name);
    // What the scanner reads: the file's text with NUL bytes made 0x01
    // (PUTIL_VCD_NUL_FILTER); empty when the file could not be opened.
    std::istream& stream() { return m_stream; }
    bool is_compressed() const { return m_inflater != nullptr; }
    // A compressed file that is truncated or corrupt: its text ends where
    // the damage begins.
    bool is_damaged() const;
    bool is_damaged_anywhere() override;
    // Of the compressed bytes; 0 for a plain file.
    double fraction_read() const override;

private:
    class PLAIN;
    class INFLATER;

    std::FILE* m_file = nullptr;
    std::unique_ptr<PLAIN> m_plain;
    std::unique_ptr<INFLATER> m_inflater;
    std::stringbuf m_empty;          // the source before a file is open
    PUTIL_VCD_NUL_FILTER m_filter;   // over m_plain or m_inflater
    std::istream m_stream;           // reads m_filter
};
