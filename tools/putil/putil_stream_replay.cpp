#include "putil_stream_replay.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::size_t BLOCK = 1 << 16;

// Writes text, then (when source >= 0) everything source still holds, into
// the pipe end out, and closes it. A reader that stops early closes its end:
// the write then fails with EPIPE, which ends the copy (SIGPIPE is blocked
// on this thread, so it does not end the program).
void replay(int out, const std::string* text, int source)
{
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
    const auto write_all = [out](const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(out, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    };
    bool open = write_all(text->data(), text->size());
    char block[BLOCK];
    while (open && source >= 0) {
        const ssize_t got = ::read(source, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        open = write_all(block, static_cast<std::size_t>(got));
    }
    ::close(out);
}

// A pipe whose read end the library opens by name.
bool make_pipe(int& read_end, int& write_end, std::string& path)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    read_end = ends[0];
    write_end = ends[1];
    path = "/dev/fd/" + std::to_string(read_end);
    return true;
}

}  // namespace

bool PUTIL_STREAM_REPLAY::is_stream(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

bool PUTIL_STREAM_REPLAY::start(const std::string& path, std::string& error)
{
    m_source = ::open(path.c_str(), O_RDONLY);
    if (m_source < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // The head ends with the block that holds "$enddefinitions" and the
    // "$end" after it (or with the stream).
    const std::string end_of_declarations = "$enddefinitions";
    std::size_t searched = 0;
    for (char block[BLOCK];;) {
        const ssize_t got = ::read(m_source, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        if (got == 0)
            break;
        m_head.append(block, static_cast<std::size_t>(got));
        if (m_head.size() >= 2 && static_cast<unsigned char>(m_head[0]) == 0x1f &&
            static_cast<unsigned char>(m_head[1]) == 0x8b) {
            error = path + ": a compressed stream is read once: give its design with --design";
            return false;
        }
        const std::size_t at = m_head.find(end_of_declarations, searched);
        if (at != std::string::npos && m_head.find("$end", at + end_of_declarations.size()) != std::string::npos)
            break;
        searched = m_head.size() > end_of_declarations.size() ? m_head.size() - end_of_declarations.size() : 0;
    }
    int declarations_write = -1, text_write = -1;
    if (!make_pipe(m_declarations_read, declarations_write, m_declarations_path) ||
        !make_pipe(m_text_read, text_write, m_text_path)) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    m_declarations_writer = std::thread(replay, declarations_write, &m_head, -1);
    m_text_writer = std::thread(replay, text_write, &m_head, m_source);
    return true;
}

void PUTIL_STREAM_REPLAY::finish_declarations()
{
    if (m_declarations_read >= 0)
        ::close(m_declarations_read);
    m_declarations_read = -1;
    if (m_declarations_writer.joinable())
        m_declarations_writer.join();
}

PUTIL_STREAM_REPLAY::~PUTIL_STREAM_REPLAY()
{
    finish_declarations();
    // With the read end closed, a writer the reader left behind fails and
    // ends.
    if (m_text_read >= 0)
        ::close(m_text_read);
    if (m_text_writer.joinable())
        m_text_writer.join();
    if (m_source >= 0)
        ::close(m_source);
}
