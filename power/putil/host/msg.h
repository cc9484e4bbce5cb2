// Host message service: numbered user messages, the internal-error report for
// broken invariants, and debug traces.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

class MSG_REPORT;

enum MSG_SEVERITY { MSG_SEVERITY_INFO, MSG_SEVERITY_WARNING, MSG_SEVERITY_ERROR };

// One message. The text handed to fill_args is "<text>/<IDENTIFIER>"; the
// text holds placeholders "%1!s!" .. "%3!s!" for the arguments.
class MSG_OBJECT {
public:
    virtual ~MSG_OBJECT();

    void fill_args(const char* text);
    void fill_args(const char* text, const char* arg1);
    void fill_args(const char* text, const char* arg1, const char* arg2);
    void fill_args(const char* text, const char* arg1, const char* arg2, const char* arg3);
    void set_id(unsigned id);
    void set_report(MSG_REPORT* report);
    // Takes ownership of sub; it is shown indented below this message.
    void add_sub_message(MSG_OBJECT* sub);
    // Shows the message (unless it is a null message) and records it.
    virtual void post();

    MSG_SEVERITY get_severity() const;
    unsigned get_id() const;
    MSG_REPORT* get_report() const;
    // The text as filled in ("<text>/<IDENTIFIER>", placeholders unexpanded).
    const std::string& get_filled_text() const;
    const std::vector<std::string>& get_args() const;
    const std::vector<MSG_OBJECT*>& get_sub_messages() const;

protected:
    MSG_OBJECT(MSG_SEVERITY severity, MSG_REPORT* report);

private:
    MSG_SEVERITY m_severity;
    unsigned m_id = 0;
    MSG_REPORT* m_report;
    std::string m_text;
    std::vector<std::string> m_args;
    std::vector<MSG_OBJECT*> m_sub_messages;
};

class MSG_E : public MSG_OBJECT {
public:
    explicit MSG_E(MSG_REPORT* report = nullptr);
};
class MSG_W : public MSG_OBJECT {
public:
    explicit MSG_W(MSG_REPORT* report = nullptr);
};
class MSG_I : public MSG_OBJECT {
public:
    explicit MSG_I(MSG_REPORT* report = nullptr);
};
// Stand-ins for suppressed messages: posting them shows and records nothing.
class MSG_W_NULL : public MSG_W {
public:
    MSG_W_NULL();
    void post() override;
};
class MSG_I_NULL : public MSG_I {
public:
    MSG_I_NULL();
    void post() override;
};

// Which warning and information ids the user has suppressed.
class MSG_INDEX {
public:
    static MSG_INDEX* get_default_index();
    virtual bool is_suppressed(unsigned id) const = 0;

protected:
    virtual ~MSG_INDEX() = default;
};

class MSG_INTERNAL_ERROR {
public:
    // Reports a broken invariant (the failing expression as text, the tool tag,
    // the source file's base name and line) and stops the run; never returns.
    [[noreturn]] static void report(const char* expression, const char* tag, const char* file, int line);
};

// printf-style trace on a named debug channel; shown when that channel is on
// at the given level or higher.
void msg_local_vdebug(const char* channel, int level, const char* format, va_list args);
// Whether msg_local_vdebug would show a trace of that channel and level:
// traces whose arguments cost something to make are made only then.
bool msg_local_debug_is_on(const char* channel, int level);
