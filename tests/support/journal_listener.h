#pragma once
// A journal socket of the test's own: binds a datagram socket, takes what
// was sent to it (inline or as a passed memory file) and decodes each record
// into its fields. Header-only, no Qt.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace testjournal {

using Record = std::multimap<std::string, std::string>;

inline std::string Field(const Record& r, const std::string& name)
{
    const auto it = r.find(name);
    return it == r.end() ? std::string("<none>") : it->second;
}

inline Record Decode(const std::string& d)
{
    Record r;
    for (std::size_t at = 0; at < d.size();) {
        const std::size_t end = d.find_first_of("=\n", at);
        if (end == std::string::npos)
            break;
        const std::string name = d.substr(at, end - at);
        if (d[end] == '=') {
            const std::size_t eol = d.find('\n', end);
            r.emplace(name, d.substr(end + 1, eol - end - 1));
            at = eol + 1;
        } else {
            std::uint64_t size = 0;
            for (int i = 7; i >= 0; --i)
                size = size << 8 | static_cast<unsigned char>(d[end + 1 + i]);
            r.emplace(name, d.substr(end + 9, size));
            at = end + 9 + size + 1;
        }
    }
    return r;
}

class Listener {
public:
    explicit Listener(const std::filesystem::path& dir) : m_path(dir / "journal.socket")
    {
        std::filesystem::remove(m_path);
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        int size = 4 << 20;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    ~Listener() { ::close(m_fd); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::string Path() const { return m_path.string(); }

    // Every record sent so far, in order; sending is synchronous, so nothing is waited for.
    std::vector<Record> Take()
    {
        std::vector<Record> records;
        std::vector<char> buffer(1 << 20);
        for (;;) {
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
            iovec io{buffer.data(), buffer.size()};
            msghdr message{};
            message.msg_iov = &io;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(m_fd, &message, MSG_DONTWAIT);
            if (n < 0)
                return records;
            std::string datagram(buffer.data(), static_cast<std::size_t>(n));
            if (cmsghdr* header = CMSG_FIRSTHDR(&message); header && header->cmsg_type == SCM_RIGHTS) {
                int fd = -1;
                std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
                char chunk[65536];
                for (ssize_t got; (got = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(datagram.size()))) > 0;)
                    datagram.append(chunk, static_cast<std::size_t>(got));
                ::close(fd);
            }
            records.push_back(Decode(datagram));
        }
    }

    // The records of one event.
    std::vector<Record> Events(const std::vector<Record>& all, const std::string& event)
    {
        std::vector<Record> out;
        for (const Record& r : all)
            if (Field(r, "QUILLON_EVENT") == event)
                out.push_back(r);
        return out;
    }

private:
    std::filesystem::path m_path;
    int m_fd = -1;
};

} // namespace testjournal
