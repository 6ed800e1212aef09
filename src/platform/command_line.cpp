#include "platform/command_line.h"

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view text, std::size_t i)
{
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

} // namespace

std::vector<std::string> SplitArguments(std::string_view text)
{
    std::vector<std::string> args;
    std::size_t i = SkipBlanks(text, 0);
    while (i < text.size()) {
        std::string arg;
        bool inQuotes = false;
        while (i < text.size()) {
            std::size_t backslashes = 0;
            while (i < text.size() && text[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < text.size() && text[i] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1)
                    arg.push_back('"');
                else
                    inQuotes = !inQuotes;
                ++i;
                continue;
            }
            arg.append(backslashes, '\\');
            if (i >= text.size() || (!inQuotes && IsBlank(text[i])))
                break;
            arg.push_back(text[i++]);
        }
        args.push_back(std::move(arg));
        i = SkipBlanks(text, i);
    }
    return args;
}

std::string ProgramToken(std::string_view commandLine, std::size_t& end, bool& quoted)
{
    std::string name;
    quoted = false;
    bool inQuotes = false;
    std::size_t i = SkipBlanks(commandLine, 0);
    for (; i < commandLine.size(); ++i) {
        char c = commandLine[i];
        if (c == '"') {
            quoted = true;
            inQuotes = !inQuotes;
        } else if (!inQuotes && IsBlank(c)) {
            break;
        } else {
            name.push_back(c);
        }
    }
    end = i;
    return name;
}

std::optional<ParsedCommandLine> ParseCommandLine(std::string_view commandLine, const ProgramLookup& lookup)
{
    std::string_view line = commandLine.substr(SkipBlanks(commandLine, 0));
    std::size_t end = 0;
    bool quoted = false;
    std::string name = ProgramToken(line, end, quoted);
    if (name.empty())
        return std::nullopt;

    auto parsed = [&](std::string program, std::string argv0, std::size_t restAt) {
        ParsedCommandLine p;
        p.program = std::move(program);
        p.argv.push_back(std::move(argv0));
        for (auto& a : SplitArguments(line.substr(restAt)))
            p.argv.push_back(std::move(a));
        return p;
    };

    if (auto found = lookup(name))
        return parsed(std::move(*found), std::move(name), end);
    if (quoted)
        return std::nullopt;

    // Successively longer prefixes, each ending before a blank, then the
    // whole line.
    for (std::size_t i = end + 1; i <= line.size(); ++i) {
        if (i < line.size() && !IsBlank(line[i]))
            continue;
        if (i == line.size() && IsBlank(line[i - 1]))
            break;  // the line ends in blanks: its last prefix was tried already
        std::string candidate(line.substr(0, i));
        if (auto found = lookup(candidate))
            return parsed(std::move(*found), std::move(candidate), i);
    }
    return std::nullopt;
}

} // namespace platform
