// Body items read straight from the scanner's buffer, matched as the rules of
// putil_vcd_lexer.l match them.
#include "vcd/putil_vcd_body_items.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/putil_internal.h"
#include "host/cfg.h"

namespace {

enum : unsigned char {
    PRINTABLE = 1,       // {PRINTABLE}: 0x21 to 0x7e
    DIGIT = 2,           // [0-9]
    STRICT_LEVEL = 4,    // [01xXzZ]
    NINE_LEVEL = 8,      // {NINE_LEVEL}: [01xXzZuUwWlLhH-]
    LINE_END = 16,       // [\n\r]
    BLANK = 32,          // [ \t]
    NAME = 64            // {NAME_BYTE}: printable or above 0x7f, the bytes of extended codes
};

struct CHARACTER_CLASSES {
    unsigned char of[256] = {};

    constexpr CHARACTER_CLASSES()
    {
        for (int c = 0x21; c <= 0x7e; ++c)
            of[c] = PRINTABLE | NAME;
        for (int c = 0x80; c <= 0xff; ++c)
            of[c] = NAME;
        for (int c = '0'; c <= '9'; ++c)
            of[c] |= DIGIT;
        for (const char* c = "01xXzZ"; *c != '\0'; ++c)
            of[static_cast<unsigned char>(*c)] |= STRICT_LEVEL | NINE_LEVEL;
        for (const char* c = "uUwWlLhH-"; *c != '\0'; ++c)
            of[static_cast<unsigned char>(*c)] |= NINE_LEVEL;
        of[static_cast<unsigned char>('\n')] = of[static_cast<unsigned char>('\r')] = LINE_END;
        of[static_cast<unsigned char>(' ')] = of[static_cast<unsigned char>('\t')] = BLANK;
    }
};

constexpr CHARACTER_CLASSES s_classes;

PUTIL_ALWAYS_INLINE bool is(const char* at, unsigned char classes)
{
    return (s_classes.of[static_cast<unsigned char>(*at)] & classes) != 0;
}

PUTIL_ALWAYS_INLINE const char* skip(const char* at, const char* end, unsigned char classes)
{
    while (at < end && is(at, classes))
        ++at;
    return at;
}

// Runs are skipped eight bytes at a time where they can be: a word's bytes
// are marked in the high bit of each byte (the first byte lowest), exactly
// up to the first marked one, which is all that counts.
constexpr bool s_words = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
constexpr std::uint64_t s_ones = 0x0101010101010101ull;
constexpr std::uint64_t s_highs = 0x8080808080808080ull;

std::uint64_t word_at(const char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Bytes below n, above n (n < 128), and not zero.
std::uint64_t below(std::uint64_t word, unsigned n) { return (word - s_ones * n) & ~word & s_highs; }
std::uint64_t above(std::uint64_t word, unsigned n) { return ((word + s_ones * (127 - n)) | word) & s_highs; }
std::uint64_t nonzero(std::uint64_t word) { return (((word & ~s_highs) + ~s_highs) | word) & s_highs; }

std::uint64_t not_printable(std::uint64_t word) { return below(word, 0x21) | above(word, 0x7e); }
std::uint64_t not_name(std::uint64_t word) { return below(word, 0x21) | (~nonzero(word ^ s_ones * 0x7f) & s_highs); }
std::uint64_t not_digit(std::uint64_t word) { return below(word, '0') | above(word, '9'); }
// The common levels only; the byte loop reads the others.
std::uint64_t not_0_or_1(std::uint64_t word) { return nonzero((word ^ s_ones * '0') & ~s_ones); }

// skip(at, end, classes) where `marked` marks every byte outside classes,
// and, unless exact, maybe some inside.
template <std::uint64_t (*marked)(std::uint64_t), bool exact>
PUTIL_ALWAYS_INLINE const char* skip_words(const char* at, const char* end, unsigned char classes)
{
    if (s_words) {
        for (; end - at >= 8; at += 8) {
            const std::uint64_t marks = marked(word_at(at));
            if (marks != 0) {
                at += __builtin_ctzll(marks) / 8;
                if (exact)
                    return at;
                break;
            }
        }
    }
    return skip(at, end, classes);
}

// The item ends at `item_end` when the scanner's longest match would end
// there: a character of `run` after it would extend the match (to a word,
// or to a longer code). The recognisers fill in item (text, code, end) only
// when they accept it.
PUTIL_ALWAYS_INLINE bool ends_item(const char* item_end, const char* end, unsigned char run = PRINTABLE)
{
    return item_end < end && !is(item_end, run);
}

// The end of an identifier code: printable bytes, and in the extended
// syntax bytes above 0x7f too (UTF-8).
PUTIL_ALWAYS_INLINE const char* skip_code(const char* at, const char* end, bool extended_syntax)
{
    return extended_syntax ? skip_words<not_name, true>(at, end, NAME)
                           : skip_words<not_printable, true>(at, end, PRINTABLE);
}

PUTIL_ALWAYS_INLINE void set_text(PUTIL_VCD_BODY_ITEM& item, PUTIL_VCD_BODY_ITEM_KIND kind, const char* at,
                                  const char* text_end, const char* code, const char* item_end)
{
    item.kind = kind;
    item.text = std::string_view(at, static_cast<std::size_t>(text_end - at));
    item.code = std::string_view(code, static_cast<std::size_t>(item_end - code));
    item.end = item_end;
}

// "#" and digits, with the extended syntax also "." and more digits.
PUTIL_ALWAYS_INLINE bool timestamp(PUTIL_VCD_BODY_ITEM& item, const char* at, const char* end, bool extended_syntax)
{
    const char* digits_end = skip_words<not_digit, true>(at + 1, end, DIGIT);
    if (digits_end == at + 1)
        return false;
    if (extended_syntax && digits_end < end && *digits_end == '.')
        digits_end = skip_words<not_digit, true>(digits_end + 1, end, DIGIT);
    if (!ends_item(digits_end, end))
        return false;
    set_text(item, PUTIL_VCD_BODY_ITEM_KIND::TIMESTAMP, at, digits_end, digits_end, digits_end);
    return true;
}

// A level and at least one more character: the code.
PUTIL_ALWAYS_INLINE bool scalar(PUTIL_VCD_BODY_ITEM& item, const char* at, const char* end, bool extended_syntax)
{
    const char* code_end = skip_code(at + 1, end, extended_syntax);
    if (code_end == at + 1 || !ends_item(code_end, end, extended_syntax ? NAME : PRINTABLE))
        return false;
    set_text(item, PUTIL_VCD_BODY_ITEM_KIND::SCALAR, at, code_end, at + 1, code_end);
    return true;
}

// "b" and digits, blanks, then the code on the same line.
PUTIL_ALWAYS_INLINE bool vector(PUTIL_VCD_BODY_ITEM& item, const char* at, const char* end, bool extended_syntax)
{
    const unsigned char levels = extended_syntax ? NINE_LEVEL : STRICT_LEVEL;
    const char* digits_end = skip_words<not_0_or_1, false>(at + 1, end, levels);
    if (digits_end == at + 1 || digits_end >= end || !is(digits_end, BLANK))
        return false;
    const char* code = skip(digits_end, end, BLANK);
    const char* code_end = skip_code(code, end, extended_syntax);
    if (code_end == code || !ends_item(code_end, end, extended_syntax ? NAME : PRINTABLE))
        return false;
    set_text(item, PUTIL_VCD_BODY_ITEM_KIND::VECTOR, at, digits_end, code, code_end);
    return true;
}

PUTIL_ALWAYS_INLINE bool recognise(PUTIL_VCD_BODY_ITEM& item, const char* at, const char* end, bool extended_syntax)
{
    const unsigned char levels = extended_syntax ? NINE_LEVEL : STRICT_LEVEL;
    if (at >= end)
        return false;
    if (*at == '#')
        return timestamp(item, at, end, extended_syntax);
    if (*at == 'b' || *at == 'B')
        return vector(item, at, end, extended_syntax);
    return is(at, levels) && scalar(item, at, end, extended_syntax);
}

}  // namespace

PUTIL_VCD_BODY_ITEM putil_vcd_body_item(const char* at, const char* end, bool extended_syntax)
{
    PUTIL_VCD_BODY_ITEM item;
    if (!recognise(item, at, end, extended_syntax))
        item = PUTIL_VCD_BODY_ITEM();
    return item;
}

bool PUTIL_VCD_BODY_CURSOR::next(PUTIL_VCD_BODY_ITEM& item)
{
    const char* at = m_at;
    bool line_start = m_line_start;
    std::uint64_t line_steps = m_line_steps;
    bool found = false;
    while (at < m_end) {
        // Most items end their line with a single '\n'.
        if (*at == '\n' && at + 1 < m_end && !is(at + 1, LINE_END)) {
            ++line_steps;
            line_start = true;
            ++at;
        }
        const char* run_end = skip(at, m_end, LINE_END);
        if (run_end != at) {
            if (run_end == m_end)
                break;
            ++line_steps;
            line_start = run_end[-1] == '\n';
            at = run_end;
            continue;
        }
        run_end = skip(at, m_end, BLANK);
        if (run_end != at) {
            if (run_end == m_end)
                break;
            line_start = false;
            at = run_end;
            continue;
        }
        found = (m_extended_syntax || line_start) && recognise(item, at, m_end, m_extended_syntax);
        if (found) {
            item.line_steps = line_steps;
            line_steps = 0;
            at = item.end;
            line_start = false;
        }
        break;
    }
    m_at = at;
    m_line_start = line_start;
    m_line_steps = line_steps;
    return found;
}

std::uint64_t putil_count_line_feeds(const char* text, std::size_t length)
{
    std::uint64_t count = 0;
    std::size_t at = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each '\n' adds one to its byte's counter,
    // and the counters are summed before any can reach 256.
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (length - at >= 16) {
        __m128i counters = zero;
        for (int block = 0; block < 255 && length - at >= 16; ++block, at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(bytes, line_feed));
        }
        const __m128i sums = _mm_sad_epu8(counters, zero);
        count += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#else
    if (s_words) {
        // Per word, the high bit of each byte that is '\n', exactly: no carry
        // crosses a byte.
        for (; length - at >= 8; at += 8) {
            const std::uint64_t other = word_at(text + at) ^ (s_ones * '\n');
            // One per byte that is '\n', summed into the top byte.
            count += (((~nonzero(other) & s_highs) >> 7) * s_ones) >> 56;
        }
    }
#endif
    for (; at < length; ++at)
        count += text[at] == '\n';
    return count;
}

bool putil_vcd_fast_body_is_on() { return cfg_is_on("putil_vcd_fast_body", true); }
