#include "tree_copy.h"

#include <system_error>

namespace fs = std::filesystem;

namespace pontlet {

TreeCopy::TreeCopy(fs::path from, fs::path to, Overwrite policy)
    : m_from(std::move(from)), m_to(std::move(to)), m_policy(policy)
{
}

void TreeCopy::Fail(const fs::path& p, const std::string& what)
{
    ++m_summary.failed;
    m_summary.errors.push_back(p.string() + ": " + what);
}

bool TreeCopy::Start()
{
    m_started = true;
    std::error_code ec;
    if (!fs::is_directory(m_from, ec)) {
        Fail(m_from, "not a folder");
        return false;
    }
    fs::create_directories(m_to, ec);
    if (ec) {
        Fail(m_to, ec.message());
        return false;
    }
    m_it.emplace(m_from, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        Fail(m_from, ec.message());
        return false;
    }
    return true;
}

bool TreeCopy::Step(const Asker& ask)
{
    if (m_done)
        return false;
    if (!m_started && !Start()) {
        m_done = true;
        return false;
    }
    if (*m_it == fs::recursive_directory_iterator()) {
        m_done = true;
        return false;
    }
    const fs::directory_entry entry = **m_it;
    std::error_code ec;
    const fs::path relative = entry.path().lexically_relative(m_from);
    const fs::path target = m_to / relative;
    m_current = relative;

    if (entry.is_directory(ec)) {
        fs::create_directories(target, ec);
        if (ec)
            Fail(target, ec.message());
    } else if (entry.is_regular_file(ec)) {
        if (!fs::exists(target, ec)) {
            CopyFile(entry.path(), target);
        } else if (MayReplace(entry.path(), target, ask)) {
            CopyFile(entry.path(), target);
        } else if (!m_summary.cancelled) {
            ++m_summary.skipped;
        }
    }
    if (m_summary.cancelled) {
        m_done = true;
        return false;
    }
    m_it->increment(ec);
    if (ec) {
        Fail(entry.path(), ec.message());
        m_done = true;
        return false;
    }
    return true;
}

void TreeCopy::RunToEnd(const Asker& ask)
{
    while (Step(ask)) {
    }
}

namespace {

bool SameSizeAndTime(const fs::path& a, const fs::path& b)
{
    std::error_code ec1, ec2, ec3, ec4;
    const bool same = fs::file_size(a, ec1) == fs::file_size(b, ec2)
        && fs::last_write_time(a, ec3) == fs::last_write_time(b, ec4);
    return same && !ec1 && !ec2 && !ec3 && !ec4;
}

} // namespace

bool TreeCopy::MayReplace(const fs::path& source, const fs::path& target, const Asker& ask)
{
    switch (m_policy) {
    case Overwrite::Always:
        return true;
    case Overwrite::Skip:
        return false;
    case Overwrite::IfDifferent:
        return !SameSizeAndTime(source, target);
    case Overwrite::Ask:
        break;
    }
    // A file that is already the same needs no question.
    if (!ask || SameSizeAndTime(source, target))
        return false;
    switch (ask(source, target)) {
    case Answer::Yes:
        return true;
    case Answer::YesToAll:
        m_policy = Overwrite::Always;
        return true;
    case Answer::No:
        return false;
    case Answer::NoToAll:
        m_policy = Overwrite::Skip;
        return false;
    case Answer::Cancel:
        m_summary.cancelled = true;
        return false;
    }
    return false;
}

bool CopyFileSafely(const fs::path& source, const fs::path& target, std::string& error)
{
    std::error_code ec;
    fs::path part = target;
    part += ".pontlet-part";
    fs::copy_file(source, part, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        // Same time stamp as the source, so "if different" sees it as equal next time.
        auto stamp = fs::last_write_time(source, ec);
        if (!ec)
            fs::last_write_time(part, stamp, ec);
        if (!ec)
            fs::rename(part, target, ec);
    }
    if (ec) {
        error = "cannot copy from " + source.string() + ": " + ec.message();
        fs::remove(part, ec);
        return false;
    }
    return true;
}

void TreeCopy::CopyFile(const fs::path& source, const fs::path& target)
{
    std::string error;
    if (!CopyFileSafely(source, target, error)) {
        Fail(target, error);
        return;
    }
    ++m_summary.copied;
}

} // namespace pontlet
