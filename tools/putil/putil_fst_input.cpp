#include "putil_fst_input.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "putil_command.h"
#include "putil_host.h"
#include "putil_stream_replay.h"

extern char** environ;

namespace {

// An FST file opens with its header block: block type 0, then the block's
// length as a big-endian 64-bit number, 329.
const unsigned char FST_HEADER_START[] = {0, 0, 0, 0, 0, 0, 0, 1, 0x49};

void close_quietly(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Whether child has ended within a moment (a reader that read to the end of
// the text saw the child close it), with its status.
bool ended_soon(pid_t child, int& status)
{
    for (int look = 0; look < 50; ++look) {
        const pid_t waited = ::waitpid(child, &status, WNOHANG);
        if (waited == child)
            return true;
        if (waited < 0 && errno != EINTR)
            return true;
        ::usleep(10000);
    }
    return false;
}

}  // namespace

PUTIL_FST_INPUTS::~PUTIL_FST_INPUTS() { finish(); }

bool PUTIL_FST_INPUTS::is_fst_file(const std::string& path)
{
    if (PUTIL_STREAM_REPLAY::is_stream(path))
        return false;
    std::ifstream in(path, std::ios::binary);
    char start[sizeof FST_HEADER_START];
    return in.read(start, sizeof start) && std::memcmp(start, FST_HEADER_START, sizeof start) == 0;
}

void PUTIL_FST_INPUTS::convert(std::vector<std::string>& files)
{
    for (std::string& file : files) {
        if (!is_fst_file(file))
            continue;
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw PUTIL_INPUT_ERROR{file + ": cannot make a pipe for fst2vcd: " + std::strerror(errno)};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        std::string option = "-f", name = file;
        char program[] = "fst2vcd";
        char* arguments[] = {program, option.data(), name.data(), nullptr};
        pid_t child = 0;
        const int spawned = posix_spawnp(&child, program, &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        if (spawned != 0) {
            ::close(ends[0]);
            throw PUTIL_INPUT_ERROR{file + " is an FST file: reading it needs fst2vcd (Debian package gtkwave): " +
                                    std::strerror(spawned)};
        }
        m_conversions.push_back({file, child, ends[0]});
        const std::string pipe_path = "/dev/fd/" + std::to_string(ends[0]);
        host_set_shown_file_name(pipe_path, host_shown_file_name(file));
        file = pipe_path;
    }
}

std::string PUTIL_FST_INPUTS::finish()
{
    std::string failure;
    for (CONVERSION& conversion : m_conversions) {
        close_quietly(conversion.read_end);
        int status = 0;
        if (!ended_soon(conversion.child, status)) {
            // Still writing: the reader stopped before the end of the text
            // (it failed, or was asked to stop), and others may still hold
            // the pipe open. The conversion is cut off, not failed.
            ::kill(conversion.child, SIGTERM);
            while (::waitpid(conversion.child, &status, 0) < 0 && errno == EINTR)
                continue;
            continue;
        }
        if (!failure.empty())
            continue;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
            failure = conversion.file + " is an FST file: reading it needs fst2vcd (Debian package gtkwave)";
        else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            failure = conversion.file + ": fst2vcd ended with exit status " + std::to_string(WEXITSTATUS(status));
        else if (WIFSIGNALED(status) && WTERMSIG(status) != SIGPIPE)
            failure = conversion.file + ": fst2vcd ended on signal " + std::to_string(WTERMSIG(status));
    }
    m_conversions.clear();
    return failure;
}

int putil_finish_fst_inputs(PUTIL_FST_INPUTS& inputs, int status)
{
    const std::string failure = inputs.finish();
    if (failure.empty())
        return status;
    std::cerr << "putil: error: " << failure << "\n";
    return status == PUTIL_EXIT_OK ? PUTIL_EXIT_INPUT_FAILED : status;
}
