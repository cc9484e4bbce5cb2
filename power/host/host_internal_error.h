// Reference host internal-error report: a broken invariant is printed and
// thrown as HOST_INTERNAL_ERROR, which the CLI turns into exit status 3 and
// the tests catch.
#pragma once

#include <exception>
#include <string>

#include "host/msg.h"

class HOST_INTERNAL_ERROR : public std::exception {
public:
    HOST_INTERNAL_ERROR(std::string expression, std::string tag, std::string file, int line);
    // "internal error: <expression> (<tag>, <file>:<line>)".
    const char* what() const noexcept override { return m_text.c_str(); }

    const std::string expression;
    const std::string tag;
    const std::string file;
    const int line;

private:
    std::string m_text;
};

// Exit status of the CLI when an internal error stopped the run.
constexpr int HOST_INTERNAL_ERROR_EXIT_STATUS = 3;

#ifdef __FILE_NAME__
#define HOST_SOURCE_NAME __FILE_NAME__
#else
#define HOST_SOURCE_NAME __FILE__
#endif

// A misuse of the reference host's own API (a foreign entry, a netlist
// changed after it was numbered): reported like the library's invariants,
// under the tag "HOST".
#define HOST_ASSERT(expression)                                                        \
    do {                                                                               \
        if (!(expression))                                                             \
            MSG_INTERNAL_ERROR::report(#expression, "HOST", HOST_SOURCE_NAME, __LINE__); \
    } while (0)
