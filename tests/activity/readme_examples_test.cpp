// The README's shown runs ("$ putil ..." and the lines after it in a code
// block) are run on the bundled files, and what the program prints must be
// what the README shows, so that the README cannot drift. A line "..."
// stands for any number of lines; the rest must match exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "putil_test_support.h"

namespace {

const std::string SOURCE_DIR = std::string(PUTIL_TEST_DATA_DIR) + "/../..";

struct SHOWN_RUN {
    std::size_t line;                 // of the "$ " line in the README
    std::string command;              // continuation lines joined
    std::vector<std::string> output;  // the lines shown after it
};

std::vector<SHOWN_RUN> shown_runs(const std::string& text)
{
    std::vector<SHOWN_RUN> runs;
    const std::vector<std::string> lines = putil_lines_of(text);
    bool in_block = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("```", 0) == 0) {
            in_block = !in_block;
            continue;
        }
        if (!in_block || lines[i].rfind("$ ", 0) != 0)
            continue;
        SHOWN_RUN run{i + 1, lines[i].substr(2), {}};
        while (!run.command.empty() && run.command.back() == '\\' && i + 1 < lines.size())
            run.command = run.command.substr(0, run.command.size() - 1) + lines[++i];
        while (i + 1 < lines.size() && lines[i + 1].rfind("```", 0) != 0)
            run.output.push_back(lines[++i]);
        runs.push_back(run);
    }
    return runs;
}

// Whether actual reads as shown: "..." lines skip any lines, others match.
bool reads_as_shown(const std::vector<std::string>& shown, const std::vector<std::string>& actual, std::string& why)
{
    std::size_t at = 0;
    bool skipping = false;
    for (const std::string& line : shown) {
        if (line == "...") {
            skipping = true;
            continue;
        }
        while (skipping && at < actual.size() && actual[at] != line)
            ++at;
        if (at >= actual.size() || actual[at] != line) {
            why = "shown \"" + line + "\", printed \"" + (at < actual.size() ? actual[at] : "(nothing)") + "\"";
            return false;
        }
        ++at;
        skipping = false;
    }
    if (!skipping && at != actual.size()) {
        why = "printed more than shown, from \"" + actual[at] + "\"";
        return false;
    }
    return true;
}

// The program's commands of the README's sh blocks, one per line.
std::vector<std::pair<std::size_t, std::string>> example_commands(const std::string& text)
{
    std::vector<std::pair<std::size_t, std::string>> commands;
    const std::vector<std::string> lines = putil_lines_of(text);
    bool in_sh = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("```", 0) == 0)
            in_sh = !in_sh && lines[i] == "```sh";
        else if (in_sh && lines[i].rfind("putil ", 0) == 0)
            commands.emplace_back(i + 1, lines[i]);
    }
    return commands;
}

class README_TEST : public PUTIL_TEST {
protected:
    // Runs a README command line in the scratch folder, beside a link to the examples; answers its exit status.
    int run_readme_command(std::string command, const std::string& out)
    {
        for (std::size_t at; (at = command.find("build/bin/putil ")) != std::string::npos;)
            command.replace(at, 16, "putil ");
        write_file("shown.sh", "cd " + m_folder + " && D=examples/counter_design.json V=examples/counter.vcd && " +
                                   "putil() { " + PUTIL_BINARY + " \"$@\"; } && " + command + "\n");
        const int raw = std::system(("sh " + m_folder + "/shown.sh >" + out + " 2>/dev/null").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
};

// Every example command on the bundled files runs and succeeds.
TEST_F(README_TEST, example_commands_succeed)
{
    std::filesystem::create_directory_symlink(std::filesystem::canonical(SOURCE_DIR + "/examples"),
                                              m_folder + "/examples");
    const auto commands = example_commands(putil_read_text(SOURCE_DIR + "/README.md"));
    ASSERT_GE(commands.size(), 10u);
    for (const auto& [line, command] : commands)
        EXPECT_EQ(run_readme_command(command, m_folder + "/out.txt"), 0) << "README.md:" << line << ": " << command;
}

TEST_F(README_TEST, shown_runs_print_what_the_readme_shows)
{
    std::filesystem::create_directory_symlink(std::filesystem::canonical(SOURCE_DIR + "/examples"),
                                              m_folder + "/examples");
    const std::vector<SHOWN_RUN> runs = shown_runs(putil_read_text(SOURCE_DIR + "/README.md"));
    ASSERT_GE(runs.size(), 8u);
    for (const SHOWN_RUN& run : runs) {
        SCOPED_TRACE("README.md:" + std::to_string(run.line) + ": " + run.command);
        // "putil" and "build/bin/putil" are the program; D and V the README's names for the counter example.
        const std::string out = m_folder + "/shown.txt";
        ASSERT_EQ(run_readme_command(run.command, out), 0);
        std::string why;
        EXPECT_TRUE(reads_as_shown(run.output, putil_lines_of(putil_read_text(out)), why)) << why;
    }
}

}  // namespace
