#pragma once
#include <string>
#include <string_view>
#include <vector>

// The administrator's table of the programs that may open things for users:
// one line per rule, `TYPE PROGRAM [ARGUMENT...]`. Words are split as a
// shell splits them, with quotes and backslashes but without any expansion;
// `#` at the start of a word begins a comment. The first line whose TYPE
// matches decides.
namespace opening {

struct OpenWithLine {
    std::string type;                    // a MIME type, a glob such as image/*, or *
    std::string program;                 // meant to be an absolute path; checked when used
    std::vector<std::string> arguments;  // may hold %f
    int lineNumber = 0;
};

struct OpenWithTable {
    std::vector<OpenWithLine> lines;
    // Lines that could not be read (an open quote, a type without a
    // program), by number, for whoever looks after the table.
    std::vector<int> badLines;
};

OpenWithTable ParseOpenWithTable(std::string_view text);

// The words of one line; false for an unterminated quote or a trailing
// backslash.
bool SplitWords(std::string_view line, std::vector<std::string>& words);

// Whether a TYPE of the table matches a thing known by these type names (its
// type and that type's aliases). Case does not count, as in MIME types.
bool TypeMatches(std::string_view pattern, const std::vector<std::string>& typeNames);

// The first line that matches, or null.
const OpenWithLine* FindOpenWith(const OpenWithTable& table, const std::vector<std::string>& typeNames);

// The program's argument array for `target`: each %f in an argument becomes
// the target, which is appended as the last argument when no argument holds
// %f.
std::vector<std::string> BuildArguments(const OpenWithLine& line, const std::string& target);

} // namespace opening
