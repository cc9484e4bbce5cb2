#include "core/putil_replaced_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include "host/putil_lib.h"

namespace {

// The temporary files open in the process, for remove_all_temporaries: a
// fixed table, so that a signal handler can walk it without allocating.
const int TEMPORARY_SLOTS = 64;
const std::size_t TEMPORARY_PATH_MAX = 4096;
char s_temporary_paths[TEMPORARY_SLOTS][TEMPORARY_PATH_MAX];
std::atomic<bool> s_temporary_used[TEMPORARY_SLOTS];

int claim_slot(const std::string& path)
{
    if (path.size() >= TEMPORARY_PATH_MAX)
        return -1;
    for (int slot = 0; slot < TEMPORARY_SLOTS; ++slot) {
        bool expected = false;
        if (s_temporary_used[slot].load() || !s_temporary_used[slot].compare_exchange_strong(expected, true))
            continue;
        // The path is written before the flag can be seen set by a reader
        // that did not claim it: claimed slots are only read after this.
        std::memcpy(s_temporary_paths[slot], path.c_str(), path.size() + 1);
        return slot;
    }
    return -1;
}

void release_slot(int slot)
{
    if (slot >= 0) {
        s_temporary_paths[slot][0] = '\0';
        s_temporary_used[slot].store(false);
    }
}

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Standard output, and destinations that are not regular files (a
// terminal, /dev/null, a FIFO), are written through: their text is held
// aside and copied to them on commit.
bool is_written_through(const std::string& destination)
{
    if (destination == "-")
        return true;
    struct stat status;
    return ::stat(destination.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// The mode a new file gets: the destination's when it exists, else what
// the process's umask leaves of rw-rw-rw-.
mode_t mode_for(const std::string& destination)
{
    struct stat status;
    if (::stat(destination.c_str(), &status) == 0)
        return status.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string temporary_folder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

}  // namespace

PUTIL_REPLACED_FILE::PUTIL_REPLACED_FILE(std::string destination) : m_destination(std::move(destination))
{
    std::string target = m_destination;
    // A symbolic link is followed: the file it names is replaced, not the
    // link.
    char resolved[TEMPORARY_PATH_MAX];
    const ssize_t length = ::readlink(target.c_str(), resolved, sizeof resolved - 1);
    if (length > 0) {
        resolved[length] = '\0';
        target = resolved[0] == '/' ? std::string(resolved) : folder_of(target) + "/" + resolved;
    }
    const bool through = is_written_through(target);
    std::string pattern = through ? temporary_folder() + "/putil-output-XXXXXX"
                                  : folder_of(target) + "/." + base_of(target) + ".putil-XXXXXX";
    const int descriptor = ::mkstemp(&pattern[0]);
    if (descriptor < 0) {
        fail(std::strerror(errno));
        return;
    }
    if (!through)
        ::fchmod(descriptor, mode_for(target));
    ::close(descriptor);
    m_temporary = pattern;
    m_slot = claim_slot(m_temporary);
    m_stream.open(m_temporary, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!m_stream.is_open()) {
        fail(std::strerror(errno));
        discard();
        return;
    }
    if (!through)
        m_destination_target = target;
}

PUTIL_REPLACED_FILE::~PUTIL_REPLACED_FILE() { discard(); }

void PUTIL_REPLACED_FILE::fail(const std::string& reason)
{
    m_error = "cannot write " + (m_destination == "-" ? std::string("standard output") : m_destination) + ": " +
              reason;
}

void PUTIL_REPLACED_FILE::discard()
{
    if (m_stream.is_open())
        m_stream.close();
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    release_slot(m_slot);
    m_slot = -1;
}

bool PUTIL_REPLACED_FILE::commit()
{
    if (m_temporary.empty())
        return false;
    errno = 0;
    m_stream.flush();
    const bool written = static_cast<bool>(m_stream);
    const int write_error = errno;
    m_stream.close();
    if (!written || m_stream.fail()) {
        fail(std::strerror(write_error != 0 ? write_error : errno != 0 ? errno : EIO));
        discard();
        return false;
    }
    if (!m_destination_target.empty()) {
        if (std::rename(m_temporary.c_str(), m_destination_target.c_str()) != 0) {
            fail(std::strerror(errno));
            discard();
            return false;
        }
        m_temporary.clear();
        discard();
        return true;
    }
    // Written through: copy the held text out.
    std::ifstream held(m_temporary, std::ios::binary);
    std::ofstream device;
    std::ostream* out = &std::cout;
    if (m_destination != "-") {
        device.open(m_destination, std::ios::out | std::ios::binary | std::ios::app);
        out = &device;
    }
    errno = 0;
    if (out->good() && held.good())
        *out << held.rdbuf();
    out->flush();
    const bool copied = out->good();
    const int copy_error = errno;
    discard();
    if (!copied) {
        fail(std::strerror(copy_error != 0 ? copy_error : EIO));
        return false;
    }
    return true;
}

bool PUTIL_REPLACED_FILE::check_destination(const std::string& destination, std::string& error)
{
    if (destination == "-")
        return true;
    const auto refuse = [&](const char* reason) {
        error = "cannot write " + destination + ": " + reason;
        return false;
    };
    struct stat status;
    if (::stat(destination.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return refuse(std::strerror(EISDIR));
        if (!S_ISREG(status.st_mode))
            return ::access(destination.c_str(), W_OK) == 0 || refuse(std::strerror(errno));
    }
    const std::string folder = folder_of(destination);
    if (::stat(folder.c_str(), &status) != 0)
        return refuse(std::strerror(errno));
    if (!S_ISDIR(status.st_mode))
        return refuse(std::strerror(ENOTDIR));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return refuse(std::strerror(errno));
    // Some folders refuse new files whatever their mode says (/proc, a
    // read-only mount): try one.
    std::string probe = folder + "/.putil-probe-XXXXXX";
    const int descriptor = ::mkstemp(&probe[0]);
    if (descriptor < 0)
        return refuse(std::strerror(errno));
    ::close(descriptor);
    ::unlink(probe.c_str());
    return true;
}

void PUTIL_REPLACED_FILE::remove_all_temporaries()
{
    for (int slot = 0; slot < TEMPORARY_SLOTS; ++slot) {
        if (s_temporary_used[slot].load() && s_temporary_paths[slot][0] != '\0')
            ::unlink(s_temporary_paths[slot]);
    }
}

std::string putil_side_file_path(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string putil_side_file(const std::string& name)
{
    return putil_side_file_path(putil_lib_get_output_directory(), name);
}

bool putil_commit_or_report(PUTIL_REPLACED_FILE& file)
{
    if (file.commit())
        return true;
    putil_lib_report_output_failure(file.error());
    return false;
}

bool putil_write_side_file(const std::string& name, const std::function<void(std::ostream&)>& write)
{
    PUTIL_REPLACED_FILE file(putil_side_file(name));
    if (file.is_open())
        write(file.stream());
    return putil_commit_or_report(file);
}
