// Reference host internal-error report: prints the failing invariant on the
// message stream and throws it, so that the run stops where it broke.
#include "host_internal_error.h"

#include <ostream>

#include "host_messages.h"

namespace {

std::string text_or_empty(const char* text)
{
    return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

HOST_INTERNAL_ERROR::HOST_INTERNAL_ERROR(std::string expression_text, std::string tag_text, std::string file_name,
                                         int line_number)
    : expression(std::move(expression_text)),
      tag(std::move(tag_text)),
      file(std::move(file_name)),
      line(line_number),
      m_text("internal error: " + expression + " (" + tag + ", " + file + ":" + std::to_string(line) + ")")
{
}

void MSG_INTERNAL_ERROR::report(const char* expression, const char* tag, const char* file, int line)
{
    HOST_INTERNAL_ERROR error(text_or_empty(expression), text_or_empty(tag), text_or_empty(file), line);
    if (std::ostream* stream = host_message_stream()) {
        *stream << "putil: " << error.what() << '\n';
        stream->flush();
    }
    throw error;
}
