#include "base/CommandLine.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace vantrel {

std::optional<std::uint64_t> readBoundedNumber(const std::string& text, std::uint64_t low,
                                               std::uint64_t high) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        // Checked before the step, so that it can never overflow.
        if (digit > high || value > (high - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::string shownArgument(const std::string& arg) {
    std::string shown;
    for (const char c : arg) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            const char digits[] = "0123456789abcdef";
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string unknownArgumentProblem(const std::string& arg) {
    return "unknown argument '" + shownArgument(arg) + "' (see --help)";
}

std::string repeatedOptionProblem(const std::string& name) {
    return name + " given more than once";
}

CommandLineRead readCommandLineOptions(const std::vector<std::string>& args,
                                       const std::vector<CommandLineOption>& options) {
    CommandLineRead read;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const CommandLineOption* option = nullptr;
        for (const CommandLineOption& candidate : options)
            for (const std::string& candidateName : candidate.names)
                if (candidateName == name)
                    option = &candidate;
        if (!option) {
            read.problem = unknownArgumentProblem(arg);
            return read;
        }
        const std::string& key = option->names.front();
        std::string value;
        if (option->valueName.empty()) {
            if (equals != std::string::npos) {
                read.problem = key + " takes no value";
                return read;
            }
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            read.problem = key + " needs " + option->valueName;
            return read;
        }
        if (!read.given.emplace(key, value).second) {
            read.problem = repeatedOptionProblem(key);
            return read;
        }
    }
    return read;
}

int outputStatus(const char* program, int status, const std::ostream& out, int systemError,
                 std::ostream& err) {
    if (out.good() || systemError == EPIPE)
        return status;
    err << program << ": cannot write the output";
    if (systemError != 0)
        err << ": " << std::strerror(systemError);
    err << '\n';
    return kOutputFailedStatus;
}

} // namespace vantrel
