// Body items read straight from the scanner's buffer, matched as the rules of
// putil_vcd_lexer.l match them.
#include "putil_vcd_body_items.h"

#include <cstring>

#include "host/cfg.h"

namespace {

enum : unsigned char {
    PRINTABLE = 1,       // {PRINTABLE}: 0x21 to 0x7e
    DIGIT = 2,           // [0-9]
    STRICT_LEVEL = 4,    // [01xXzZ]
    NINE_LEVEL = 8,      // {NINE_LEVEL}: [01xXzZuUwWlLhH-]
    LINE_END = 16,       // [\n\r]
    BLANK = 32           // [ \t]
};

struct CHARACTER_CLASSES {
    unsigned char of[256] = {};

    constexpr CHARACTER_CLASSES()
    {
        for (int c = 0x21; c <= 0x7e; ++c)
            of[c] = PRINTABLE;
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

bool is(const char* at, unsigned char classes) { return (s_classes.of[static_cast<unsigned char>(*at)] & classes) != 0; }

const char* skip(const char* at, const char* end, unsigned char classes)
{
    while (at < end && is(at, classes))
        ++at;
    return at;
}

// The item ends at `item_end` when the scanner's longest match would end
// there: a printable character after it would extend the match to a word.
PUTIL_VCD_BODY_ITEM item_ending_at(PUTIL_VCD_BODY_ITEM_KIND kind, const char* at, const char* item_end,
                                   const char* end)
{
    PUTIL_VCD_BODY_ITEM item;
    if (item_end >= end || is(item_end, PRINTABLE))
        return item;
    item.kind = kind;
    item.text = std::string_view(at, static_cast<std::size_t>(item_end - at));
    if (kind == PUTIL_VCD_BODY_ITEM_KIND::SCALAR)
        item.code = item.text.substr(1);
    item.end = item_end;
    return item;
}

// "#" and digits, with the extended syntax also "." and more digits.
PUTIL_VCD_BODY_ITEM timestamp(const char* at, const char* end, bool extended_syntax)
{
    const char* digits_end = skip(at + 1, end, DIGIT);
    if (digits_end == at + 1)
        return PUTIL_VCD_BODY_ITEM();
    if (extended_syntax && digits_end < end && *digits_end == '.')
        digits_end = skip(digits_end + 1, end, DIGIT);
    return item_ending_at(PUTIL_VCD_BODY_ITEM_KIND::TIMESTAMP, at, digits_end, end);
}

// A level and at least one more printable character: the code.
PUTIL_VCD_BODY_ITEM scalar(const char* at, const char* end)
{
    const char* code_end = skip(at + 1, end, PRINTABLE);
    if (code_end == at + 1)
        return PUTIL_VCD_BODY_ITEM();
    return item_ending_at(PUTIL_VCD_BODY_ITEM_KIND::SCALAR, at, code_end, end);
}

// "b" and digits, blanks, then the code on the same line.
PUTIL_VCD_BODY_ITEM vector(const char* at, const char* end, unsigned char levels)
{
    const char* digits_end = skip(at + 1, end, levels);
    if (digits_end == at + 1 || digits_end >= end || !is(digits_end, BLANK))
        return PUTIL_VCD_BODY_ITEM();
    const char* code = skip(digits_end, end, BLANK);
    const char* code_end = skip(code, end, PRINTABLE);
    if (code_end == code)
        return PUTIL_VCD_BODY_ITEM();
    PUTIL_VCD_BODY_ITEM item = item_ending_at(PUTIL_VCD_BODY_ITEM_KIND::VECTOR, at, code_end, end);
    if (item.kind == PUTIL_VCD_BODY_ITEM_KIND::NONE)
        return item;
    item.text = std::string_view(at, static_cast<std::size_t>(digits_end - at));
    item.code = std::string_view(code, static_cast<std::size_t>(code_end - code));
    return item;
}

}  // namespace

PUTIL_VCD_BODY_ITEM putil_vcd_body_item(const char* at, const char* end, bool extended_syntax)
{
    if (at >= end)
        return PUTIL_VCD_BODY_ITEM();
    const unsigned char levels = extended_syntax ? NINE_LEVEL : STRICT_LEVEL;
    if (*at == '#')
        return timestamp(at, end, extended_syntax);
    if (*at == 'b' || *at == 'B')
        return vector(at, end, levels);
    if (is(at, levels))
        return scalar(at, end);
    return PUTIL_VCD_BODY_ITEM();
}

PUTIL_VCD_BODY_ITEM PUTIL_VCD_BODY_CURSOR::next()
{
    for (;;) {
        if (m_at >= m_end)
            return PUTIL_VCD_BODY_ITEM();
        const char* run_end = skip(m_at, m_end, LINE_END);
        if (run_end != m_at) {
            if (run_end == m_end)
                return PUTIL_VCD_BODY_ITEM();
            ++m_line_steps;
            m_line_start = run_end[-1] == '\n';
            m_at = run_end;
            continue;
        }
        run_end = skip(m_at, m_end, BLANK);
        if (run_end != m_at) {
            if (run_end == m_end)
                return PUTIL_VCD_BODY_ITEM();
            m_line_start = false;
            m_at = run_end;
            continue;
        }
        if (!m_extended_syntax && !m_line_start)
            return PUTIL_VCD_BODY_ITEM();
        PUTIL_VCD_BODY_ITEM item = putil_vcd_body_item(m_at, m_end, m_extended_syntax);
        if (item.kind != PUTIL_VCD_BODY_ITEM_KIND::NONE) {
            item.line_steps = m_line_steps;
            m_at = item.end;
            m_line_start = false;
        }
        return item;
    }
}

bool putil_vcd_fast_body_is_on() { return cfg_is_on("putil_vcd_fast_body", true); }
