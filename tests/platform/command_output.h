#pragma once
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

// Runs a shell command for tests that compare with the system's own tools.
struct CommandOutput {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string text;
};

inline CommandOutput RunCommand(const std::string& command)
{
    CommandOutput out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.text.append(buf, n);
    const int rc = ::pclose(p);
    out.status = (rc != -1 && WIFEXITED(rc)) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

inline std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// Single-quotes a word for the shell.
inline std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
