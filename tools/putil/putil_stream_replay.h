// A waveform stream (a pipe, a FIFO, standard input) read once but used
// twice when no design is given: its declarations derive the design, then
// the reader reads the whole text. The head of the stream, up to the end of
// the declarations, is held in memory; two pipes replay it, the head alone
// for the design, the head and then the rest of the stream for the reader.
#pragma once

#include <string>
#include <thread>

class PUTIL_STREAM_REPLAY {
public:
    PUTIL_STREAM_REPLAY() = default;
    ~PUTIL_STREAM_REPLAY();
    PUTIL_STREAM_REPLAY(const PUTIL_STREAM_REPLAY&) = delete;
    PUTIL_STREAM_REPLAY& operator=(const PUTIL_STREAM_REPLAY&) = delete;

    // Whether path names something that can be read only once.
    static bool is_stream(const std::string& path);

    // Reads the head of the stream at path and starts the two replays.
    // False, with error set, when it cannot be read or is compressed (its
    // declarations cannot be read ahead: give a design).
    bool start(const std::string& path, std::string& error);

    // What to open for the declarations, then for the whole text.
    const std::string& declarations_path() const { return m_declarations_path; }
    const std::string& text_path() const { return m_text_path; }

    // The declarations have been read: their replay ends.
    void finish_declarations();

private:
    int m_source = -1;
    int m_declarations_read = -1;
    int m_text_read = -1;
    std::string m_declarations_path;
    std::string m_text_path;
    std::string m_head;
    std::thread m_declarations_writer;
    std::thread m_text_writer;
};
