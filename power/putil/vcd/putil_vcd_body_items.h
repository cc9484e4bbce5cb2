// Recognisers of the common items of a VCD body (timestamps, scalar and vector
// value changes) read straight from the scanner's buffer. Each matches exactly
// what the scanner's rules would match in their top start condition, or
// declines, so that the scanner's rules read whatever is declined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class PUTIL_VCD_BODY_ITEM_KIND { NONE, TIMESTAMP, SCALAR, VECTOR };

struct PUTIL_VCD_BODY_ITEM {
    PUTIL_VCD_BODY_ITEM_KIND kind = PUTIL_VCD_BODY_ITEM_KIND::NONE;
    std::string_view text;   // the token as the scanner would hand it over: "#120", "1!", "b1010"
    std::string_view code;   // the identifier code of a value change ("!"); empty for a timestamp
    const char* end = nullptr;       // one past the item
    std::uint64_t line_steps = 0;    // PUTIL_VCD_BODY_CURSOR: line steps since the item before
};

// The item that starts at `at` (before `end`, the end of the buffered data),
// when it is a timestamp, a scalar or a vector value change whose code follows
// on the same line, and the character after it lies before `end` (so the
// scanner would not need more input to end the match). Strict syntax: a
// decimal timestamp "#12", a scalar [01xXzZ] and a code, a vector [bB][01xXzZ]+,
// blanks and a code; the caller checks that the item starts a line. The
// extended syntax adds the nine-level digits, fractional timestamps ("#12.5")
// and codes with bytes above 0x7f (UTF-8). A printable character right after the timestamp or the vector
// digits makes the whole run one word, which is declined.
PUTIL_VCD_BODY_ITEM putil_vcd_body_item(const char* at, const char* end, bool extended_syntax);

// Reads items one after the other from buffered data, with the line ends and
// blanks around them, as the scanner's rules would match them: a run of line
// ends is one line step, and the next item starts a line when the run ends
// with '\n' (the rules' "^"; a strict item must start a line). Stops before
// anything else: a command, a word, an item or a run that reaches the end of
// the data (the rules would need more input to end its match).
class PUTIL_VCD_BODY_CURSOR {
public:
    PUTIL_VCD_BODY_CURSOR(const char* at, const char* end, bool line_start, bool extended_syntax)
        : m_at(at), m_end(end), m_line_start(line_start), m_extended_syntax(extended_syntax)
    {
    }

    // Reads the next item into item; false where reading stops.
    bool next(PUTIL_VCD_BODY_ITEM& item);

    // Where the rules would go on after the items read so far, whether that
    // is at a line start, and the line steps passed since the last item.
    const char* position() const { return m_at; }
    bool line_start() const { return m_line_start; }
    std::uint64_t line_steps() const { return m_line_steps; }

private:
    const char* m_at;
    const char* m_end;
    bool m_line_start;
    bool m_extended_syntax;
    std::uint64_t m_line_steps = 0;
};

// The number of '\n' in text[0..length), eight bytes at a time.
std::uint64_t putil_count_line_feeds(const char* text, std::size_t length);

// The setting "putil_vcd_fast_body" (on unless set off): whether the scanner
// reads common body items straight from its buffer.
bool putil_vcd_fast_body_is_on();
