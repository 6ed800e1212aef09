#include "opening/open_with_table.h"

#include <algorithm>
#include <cctype>

namespace opening {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// `*` any run of characters, `?` one; nothing else is special.
bool GlobMatches(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

void ReplaceAll(std::string& text, std::string_view what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

bool SplitWords(std::string_view line, std::vector<std::string>& words)
{
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i >= line.size() || line[i] == '#')
            return true;
        std::string word;
        while (i < line.size() && !IsBlank(line[i])) {
            const char c = line[i++];
            if (c == '\\') {
                if (i >= line.size())
                    return false;
                word += line[i++];
            } else if (c == '\'') {
                const std::size_t close = line.find('\'', i);
                if (close == std::string_view::npos)
                    return false;
                word.append(line.substr(i, close - i));
                i = close + 1;
            } else if (c == '"') {
                for (;;) {
                    if (i >= line.size())
                        return false;
                    const char d = line[i++];
                    if (d == '"')
                        break;
                    // Inside double quotes a backslash only escapes what the
                    // shell would give a meaning there.
                    if (d == '\\' && i < line.size() && std::string_view("\"\\$`").find(line[i]) != std::string_view::npos)
                        word += line[i++];
                    else
                        word += d;
                }
            } else {
                word += c;
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

OpenWithTable ParseOpenWithTable(std::string_view text)
{
    OpenWithTable table;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ++number;
        std::vector<std::string> words;
        if (!SplitWords(text.substr(start, end - start), words) || words.size() == 1) {
            table.badLines.push_back(number);
        } else if (!words.empty()) {
            OpenWithLine line;
            line.type = std::move(words[0]);
            line.program = std::move(words[1]);
            line.arguments.assign(std::make_move_iterator(words.begin() + 2), std::make_move_iterator(words.end()));
            line.lineNumber = number;
            table.lines.push_back(std::move(line));
        }
        start = end + 1;
    }
    return table;
}

bool TypeMatches(std::string_view pattern, const std::vector<std::string>& typeNames)
{
    return std::any_of(typeNames.begin(), typeNames.end(),
                       [pattern](const std::string& name) { return GlobMatches(pattern, name); });
}

const OpenWithLine* FindOpenWith(const OpenWithTable& table, const std::vector<std::string>& typeNames)
{
    for (const OpenWithLine& line : table.lines)
        if (TypeMatches(line.type, typeNames))
            return &line;
    return nullptr;
}

std::vector<std::string> BuildArguments(const OpenWithLine& line, const std::string& target)
{
    std::vector<std::string> argv{line.program};
    bool placed = false;
    for (std::string argument : line.arguments) {
        if (argument.find("%f") != std::string::npos) {
            ReplaceAll(argument, "%f", target);
            placed = true;
        }
        argv.push_back(std::move(argument));
    }
    if (!placed)
        argv.push_back(target);
    return argv;
}

} // namespace opening
