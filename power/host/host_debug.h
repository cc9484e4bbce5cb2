// Reference host debug channels: printf-style traces on stderr, off unless a
// channel is switched on.
#pragma once

#include <string>

// Shows traces of channel up to level (0 switches the channel off). Without
// a call, every channel takes its level from the environment variable
// PUTIL_DEBUG (for example PUTIL_DEBUG=2), read once.
void host_enable_debug(const char* channel, int level);
int host_debug_level(const char* channel);

// The format with the 64-bit conversion "%I64u" (and "%I64d", "%I64x") that
// the library writes rewritten to the standard "%llu" ("%lld", "%llx").
std::string host_standard_printf_format(const char* format);
