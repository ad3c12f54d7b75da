#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Reads a whole number written as decimal digits only (no sign, blanks or
// other text) from low to high; leading zeros change nothing, however many.
// Anything else, including a number too long to hold, gives nothing.
std::optional<std::uint64_t> readBoundedNumber(const std::string& text, std::uint64_t low,
                                               std::uint64_t high);

// One option a command-line program takes.
struct CommandLineOption {
    std::vector<std::string> names; // "--ticks", or "--help" and "-h"; the first is its key
    std::string valueName;          // what its value is ("a number of ticks"), empty for a flag
};

// What the command line gave, or the one line to complain with.
struct CommandLineRead {
    std::map<std::string, std::string> given; // by first name; a flag's value is empty
    std::string problem;                      // empty when every argument was read
};

// Reads `--name V`, `--name=V` and flags. An argument that is no option, an
// option given twice, a value missing or given to a flag is a problem.
CommandLineRead readCommandLineOptions(const std::vector<std::string>& args,
                                       const std::vector<CommandLineOption>& options);

// An argument as a one-line message shows it: a control character (a line
// break, a tab, an escape) is written as \n, \t or \xHH, so the message
// stays one line and the terminal shows what was typed.
std::string shownArgument(const std::string& arg);

// The programs' shared complaints, so both word them alike.
std::string unknownArgumentProblem(const std::string& arg);
std::string repeatedOptionProblem(const std::string& name);

// The status for output that could not be written (a full disk, /dev/full);
// apart from the others, so that `--verify`'s 1 keeps meaning a difference.
inline constexpr int kOutputFailedStatus = 3;

// What a program's output came to once it is flushed: the status it meant to
// end with when everything was written, or when the reader went away early
// (`| head`, a closed pipe: nothing wrong). Any other failure writes one line
// to err and gives kOutputFailedStatus. systemError is the errno the failing
// write left.
int outputStatus(const char* program, int status, const std::ostream& out, int systemError,
                 std::ostream& err);

} // namespace vantrel
