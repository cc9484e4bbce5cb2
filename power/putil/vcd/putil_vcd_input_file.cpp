// Waveform files for the scanner: gzip-compressed ones are inflated as they
// are read, so a compressed dump never needs its full size on disk.
#include "vcd/putil_vcd_input_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "host/putil_lib.h"

namespace {

const std::size_t s_compressed_block = 1u << 18;

// How long a read waits on a silent stream between two looks at a stop request.
const int s_stream_wait_ms = 200;

// Up to count bytes of file, 0 at its end or on an error. A regular file
// fills the whole count; a stream (a pipe, a FIFO, a terminal) returns what
// has arrived, so that a writer that is still writing is read as it goes
// and a stop request is seen between its lines, or while the writer is
// silent (the stream then reads as ended). A stream's FILE is unbuffered,
// so reading its descriptor skips nothing.
std::size_t read_some(std::FILE* file, bool stream, void* buffer, std::size_t count)
{
    if (!stream)
        return std::fread(buffer, 1, count, file);
    pollfd ready{fileno(file), POLLIN, 0};
    for (;;) {
        const int polled = ::poll(&ready, 1, s_stream_wait_ms);
        if (polled < 0 && errno != EINTR)
            return 0;
        if (polled <= 0) {
            if (putil_lib_stop_requested())
                return 0;
            continue;
        }
        const ssize_t got = ::read(ready.fd, buffer, count);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return 0;
    }
}

// zlib's own memory comes from the host like every other block of the library.
void* zlib_alloc(void*, unsigned items, unsigned size)
{
    return mem_malloc_wrapper(static_cast<std::size_t>(items) * size, PUTIL_SEGMENT, PUTIL_SOURCE_NAME, __LINE__);
}

void zlib_free(void*, void* block) { mem_free_wrapper(block, PUTIL_SEGMENT); }

// The bytes of a file as a read-only stream buffer: a single byte, or the
// caller's blocks read straight into its memory. A regular file fills each
// block; a stream hands on what has arrived.
class BYTE_SOURCE : public std::streambuf, public PUTIL_HEAP_OBJECT {
protected:
    BYTE_SOURCE() { setg(m_one, m_one, m_one); }

    // Up to count bytes into buffer, 0 at the end.
    virtual std::size_t read_into(char* buffer, std::size_t count) = 0;

    int_type underflow() override
    {
        if (read_into(m_one, 1) != 1)
            return traits_type::eof();
        setg(m_one, m_one, m_one + 1);
        return traits_type::to_int_type(m_one[0]);
    }

    std::streamsize xsgetn(char* buffer, std::streamsize count) override
    {
        std::streamsize done = 0;
        if (gptr() < egptr() && count > 0) {
            *buffer = *gptr();
            gbump(1);
            done = 1;
        }
        while (done < count) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::streamsize>(count - done, 1 << 30));
            const std::size_t got = read_into(buffer + done, want);
            if (got == 0)
                break;
            done += static_cast<std::streamsize>(got);
            if (m_stream)
                break;
        }
        return done;
    }

    bool m_stream = false;

private:
    char m_one[1];
};

}  // namespace

// A read-only stream buffer that inflates a gzip file, members one after the
// other as gzip allows. Reads of whole blocks (the scanner's) are inflated
// straight into the caller's memory.
class PUTIL_VCD_INPUT_FILE::INFLATER : public BYTE_SOURCE {
public:
    INFLATER() : m_file(nullptr), m_size(0), m_consumed(0), m_block(nullptr), m_ready(false), m_damaged(false)
    {
        std::memset(&m_zlib, 0, sizeof m_zlib);
    }

    ~INFLATER() override
    {
        if (m_ready)
            inflateEnd(&m_zlib);
        mem_free_wrapper(m_block, PUTIL_SEGMENT);
    }

    // Inflates the rest of file (not owned) after the bytes already read
    // from it; size is the file's, or 0 when unknown (a stream).
    void adopt(std::FILE* file, bool stream, const unsigned char* read, std::size_t read_count, long size)
    {
        m_file = file;
        m_stream = stream;
        m_size = size;
        m_block = static_cast<unsigned char*>(
            mem_malloc_wrapper(s_compressed_block, PUTIL_SEGMENT, PUTIL_SOURCE_NAME, __LINE__));
        if (m_block == nullptr)
            PUTIL_INTERNAL_ERROR("Out of memory");
        std::memcpy(m_block, read, read_count);
        m_zlib.next_in = m_block;
        m_zlib.avail_in = static_cast<unsigned>(read_count);
        m_consumed = read_count;
        m_zlib.zalloc = zlib_alloc;
        m_zlib.zfree = zlib_free;
        // 16 + 15: a gzip wrapper around a window of the largest size.
        const int status = inflateInit2(&m_zlib, 16 + MAX_WBITS);
        if (status == Z_MEM_ERROR)
            PUTIL_INTERNAL_ERROR("Out of memory");
        m_ready = status == Z_OK;
        m_damaged = !m_ready;
    }

    bool damaged() const { return m_damaged; }

    double fraction_read() const
    {
        return m_size > 0 ? static_cast<double>(m_consumed - m_zlib.avail_in) / static_cast<double>(m_size) : 0.0;
    }

protected:
    // Bytes of text inflated into buffer, 0 at the end of the file. Damage
    // (a truncated or corrupt file) ends the text and is remembered.
    std::size_t read_into(char* buffer, std::size_t count) override
    {
        m_zlib.next_out = reinterpret_cast<unsigned char*>(buffer);
        m_zlib.avail_out = static_cast<unsigned>(count);
        while (m_ready && !m_damaged && m_zlib.avail_out == count) {
            if (m_zlib.avail_in == 0 && !refill()) {
                // The file ends inside a member: truncated.
                m_damaged = true;
                break;
            }
            const int status = inflate(&m_zlib, Z_NO_FLUSH);
            if (status == Z_STREAM_END) {
                // Another member may follow; trailing zero padding ends the file.
                if ((m_zlib.avail_in == 0 && !refill()) || m_zlib.next_in[0] != 0x1f)
                    m_ready = finish();
                else
                    inflateReset(&m_zlib);
            } else if (status == Z_MEM_ERROR) {
                PUTIL_INTERNAL_ERROR("Out of memory");
            } else if (status != Z_OK && status != Z_BUF_ERROR) {
                m_damaged = true;
            }
        }
        return count - m_zlib.avail_out;
    }

private:
    // More compressed bytes; false at the end of the file, which inside a
    // member is damage.
    bool refill()
    {
        const std::size_t got = read_some(m_file, m_stream, m_block, s_compressed_block);
        m_consumed += got;
        m_zlib.next_in = m_block;
        m_zlib.avail_in = static_cast<unsigned>(got);
        return got > 0;
    }

    // After the last member: no more text.
    bool finish()
    {
        inflateEnd(&m_zlib);
        m_zlib.avail_in = 0;
        return false;
    }

    std::FILE* m_file;
    long m_size;
    std::uint64_t m_consumed;
    unsigned char* m_block;
    z_stream m_zlib;
    bool m_ready;     // inflating: a member is open or may follow
    bool m_damaged;
};

// The bytes of a plain file (not owned) after those already read from it,
// read in the caller's blocks.
class PUTIL_VCD_INPUT_FILE::PLAIN : public BYTE_SOURCE {
public:
    PLAIN(std::FILE* file, bool stream, const unsigned char* read, std::size_t read_count)
        : m_file(file), m_read_count(read_count)
    {
        m_stream = stream;
        std::memcpy(m_read, read, read_count);
    }

protected:
    std::size_t read_into(char* buffer, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count && m_next_read < m_read_count)
            buffer[done++] = static_cast<char>(m_read[m_next_read++]);
        if (done > 0)
            return done;
        return read_some(m_file, m_stream, buffer, count);
    }

private:
    std::FILE* m_file;
    unsigned char m_read[2];   // the bytes read to tell gzip from plain text
    std::size_t m_read_count;
    std::size_t m_next_read = 0;
};

PUTIL_VCD_NUL_FILTER::int_type PUTIL_VCD_NUL_FILTER::underflow()
{
    const int_type next = m_source->sbumpc();
    if (traits_type::eq_int_type(next, traits_type::eof()))
        return next;
    m_one[0] = traits_type::to_char_type(next) == '\0' ? '\x01' : traits_type::to_char_type(next);
    setg(m_one, m_one, m_one + 1);
    return traits_type::to_int_type(m_one[0]);
}

std::streamsize PUTIL_VCD_NUL_FILTER::xsgetn(char* buffer, std::streamsize count)
{
    std::streamsize done = 0;
    if (gptr() < egptr() && count > 0) {
        *buffer = *gptr();
        gbump(1);
        done = 1;
    }
    done += m_source->sgetn(buffer + done, count - done);
    // NULs are rare: memchr finds them far faster than a pass over every byte.
    char* const end = buffer + done;
    for (char* at = buffer; (at = static_cast<char*>(std::memchr(at, '\0', static_cast<std::size_t>(end - at))));)
        *at++ = '\x01';
    return done;
}

PUTIL_VCD_INPUT_FILE::PUTIL_VCD_INPUT_FILE() : m_filter(&m_empty), m_stream(&m_filter) {}

PUTIL_VCD_INPUT_FILE::~PUTIL_VCD_INPUT_FILE()
{
    m_plain.reset();
    m_inflater.reset();
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool PUTIL_VCD_INPUT_FILE::is_gzip_file(const std::string& file_name)
{
    std::FILE* file = std::fopen(file_name.c_str(), "rb");
    if (file == nullptr)
        return false;
    unsigned char magic[2] = {0, 0};
    const bool gzip = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
    std::fclose(file);
    return gzip;
}

bool PUTIL_VCD_INPUT_FILE::is_regular_file(const std::string& file_name)
{
    struct stat status;
    return ::stat(file_name.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The first two bytes tell gzip from text; they are kept and handed on, so
// nothing is read twice.
bool PUTIL_VCD_INPUT_FILE::open(const std::string& file_name)
{
    m_file = std::fopen(file_name.c_str(), "rb");
    if (m_file == nullptr)
        return false;
    struct stat status;
    const bool regular = ::fstat(fileno(m_file), &status) == 0 && S_ISREG(status.st_mode);
    // A stream is read from its descriptor as its bytes arrive: the FILE
    // must not buffer ahead of the peek.
    if (!regular)
        std::setvbuf(m_file, nullptr, _IONBF, 0);
    unsigned char magic[2] = {0, 0};
    const std::size_t read = std::fread(magic, 1, 2, m_file);
    if (read < 2 || magic[0] != 0x1f || magic[1] != 0x8b) {
        m_plain.reset(PUTIL_NEW PLAIN(m_file, !regular, magic, read));
        if (m_plain == nullptr)
            PUTIL_INTERNAL_ERROR("Out of memory");
        m_filter.set_source(m_plain.get());
        return true;
    }
    const long size = regular ? static_cast<long>(status.st_size) : 0;
    m_inflater.reset(PUTIL_NEW INFLATER());
    if (m_inflater == nullptr)
        PUTIL_INTERNAL_ERROR("Out of memory");
    m_inflater->adopt(m_file, !regular, magic, read, size);
    m_filter.set_source(m_inflater.get());
    return true;
}
bool PUTIL_VCD_INPUT_FILE::is_damaged() const { return m_inflater != nullptr && m_inflater->damaged(); }

bool PUTIL_VCD_INPUT_FILE::is_damaged_anywhere()
{
    if (m_inflater == nullptr)
        return false;
    char block[65536];
    while (m_inflater->sgetn(block, sizeof block) > 0) {
    }
    return is_damaged();
}

double PUTIL_VCD_INPUT_FILE::fraction_read() const
{
    return m_inflater != nullptr ? m_inflater->fraction_read() : 0.0;
}
