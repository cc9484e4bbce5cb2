// Value characters of VCD changes: what a scalar digit, a vector digit left
// of those given, and an extended-VCD port state stand for. Every handler
// that keeps signal values decodes them the same way.
#pragma once

// The value character of every digit, by table: levels change
// unpredictably, and a mispredicted branch stalls the loads of the records
// that follow.
struct PUTIL_VCD_VALUE_TABLE {
    char value_of[256] = {};

    constexpr PUTIL_VCD_VALUE_TABLE()
    {
        for (int c = 0; c < 256; ++c)
            value_of[c] = static_cast<char>(c);
        // Besides 0, 1, x and z, the nine-level digits that VHDL simulators
        // write are read by level: L and H as 0 and 1, U, W and - as unknown.
        for (const char* c = "xUuWw-"; *c != '\0'; ++c)
            value_of[static_cast<unsigned char>(*c)] = 'X';
        value_of[static_cast<unsigned char>('z')] = 'Z';
        value_of[static_cast<unsigned char>('L')] = value_of[static_cast<unsigned char>('l')] = '0';
        value_of[static_cast<unsigned char>('H')] = value_of[static_cast<unsigned char>('h')] = '1';
    }
};

inline constexpr PUTIL_VCD_VALUE_TABLE s_putil_vcd_values;

// Value character of a scalar or vector digit: x is X, z is Z, 0 and 1 stay.
inline char putil_vcd_scalar_value(char digit)
{
    return s_putil_vcd_values.value_of[static_cast<unsigned char>(digit)];
}

// Value of vector bits left of the given digits, from the leftmost digit:
// a leading 1 extends with 0, x and z extend with themselves.
inline char putil_vcd_left_extension(char leftmost_digit)
{
    const char value = putil_vcd_scalar_value(leftmost_digit);
    return value == '1' ? '0' : value;
}

// Extended-VCD port state: drive or sense direction does not matter, only
// the level.
inline char putil_vcd_port_value(char state)
{
    switch (state) {
    case 'D': case 'L': case '0': case 'd': case 'l': return '0';
    case 'U': case 'H': case '1': case 'u': case 'h': return '1';
    case 'Z': case 'T': case 'F': return 'Z';
    default: return 'X';
    }
}
