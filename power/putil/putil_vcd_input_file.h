// A waveform file opened for the scanner: plain, or gzip-compressed
// (recognised by its first two bytes, whatever its name).
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "putil_internal.h"

// How far the reading of a file has got, for progress when its lines were
// not counted beforehand.
class PUTIL_VCD_INPUT_PROGRESS {
public:
    virtual ~PUTIL_VCD_INPUT_PROGRESS() = default;
    // From 0 to 1.
    virtual double fraction_read() const = 0;
};

class PUTIL_VCD_INPUT_FILE : public PUTIL_VCD_INPUT_PROGRESS {
public:
    PUTIL_VCD_INPUT_FILE();
    ~PUTIL_VCD_INPUT_FILE() override;
    PUTIL_VCD_INPUT_FILE(const PUTIL_VCD_INPUT_FILE&) = delete;
    PUTIL_VCD_INPUT_FILE& operator=(const PUTIL_VCD_INPUT_FILE&) = delete;

    // Whether the file starts with the gzip magic bytes.
    static bool is_gzip_file(const std::string& file_name);

    // False when the file cannot be opened.
    bool open(const std::string& file_name);
    std::istream& stream() { return *m_stream; }
    bool is_compressed() const { return m_inflater != nullptr; }
    // A compressed file that is truncated or corrupt: its text ends where
    // the damage begins.
    bool is_damaged() const;
    // Of the compressed bytes; 0 for a plain file.
    double fraction_read() const override;

private:
    class INFLATER;

    std::ifstream m_plain;
    std::unique_ptr<INFLATER> m_inflater;
    std::istream m_inflated;   // reads m_inflater
    std::istream* m_stream;
};
