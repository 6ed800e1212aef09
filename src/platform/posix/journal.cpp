#include "platform/journal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

namespace platform {

namespace {

std::string FieldValue(const JournalFields& fields, const char* name)
{
    for (const JournalField& f : fields)
        if (f.name == name)
            return f.value;
    return {};
}

class SocketJournalSink : public JournalSink {
public:
    explicit SocketJournalSink(std::string socketPath) : m_path(std::move(socketPath))
    {
        // Non-blocking: a journal that lags drops the record, the program goes on.
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        std::memset(&m_address, 0, sizeof m_address);
        m_address.sun_family = AF_UNIX;
        m_addressUsable = m_path.size() < sizeof m_address.sun_path;
        if (m_addressUsable)
            std::memcpy(m_address.sun_path, m_path.c_str(), m_path.size() + 1);
    }
    ~SocketJournalSink() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SocketJournalSink(const SocketJournalSink&) = delete;
    SocketJournalSink& operator=(const SocketJournalSink&) = delete;

    void Send(const JournalFields& fields) override
    {
        const std::string datagram = EncodeJournalFields(fields);
        int error = m_fd >= 0 && m_addressUsable ? SendDatagram(datagram) : ENOENT;
        if (error == EMSGSIZE || error == ENOBUFS)
            error = SendInMemoryFile(datagram);
        if (error == ENOENT || error == ECONNREFUSED || error == ENOTDIR || error == EACCES || error == ENOTSOCK ||
            error == EPROTOTYPE)
            SendToSyslog(fields);
        // Anything else (EAGAIN: the journal is busy) drops the record.
    }

private:
    int SendDatagram(const std::string& datagram)
    {
        const ssize_t n = ::sendto(m_fd, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                   reinterpret_cast<const sockaddr*>(&m_address), sizeof m_address);
        return n < 0 ? errno : 0;
    }

    // A record too large for one datagram travels as a sealed memory file.
    int SendInMemoryFile(const std::string& datagram)
    {
        const int fd = ::memfd_create("quillon-journal", MFD_CLOEXEC | MFD_ALLOW_SEALING);
        if (fd < 0)
            return errno;
        int error = 0;
        for (std::size_t done = 0; done < datagram.size() && !error;) {
            const ssize_t n = ::write(fd, datagram.data() + done, datagram.size() - done);
            if (n < 0 && errno != EINTR)
                error = errno;
            else if (n > 0)
                done += static_cast<std::size_t>(n);
        }
        if (!error && ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) < 0)
            error = errno;
        if (!error) {
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
            msghdr message{};
            message.msg_name = &m_address;
            message.msg_namelen = sizeof m_address;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            cmsghdr* header = CMSG_FIRSTHDR(&message);
            header->cmsg_level = SOL_SOCKET;
            header->cmsg_type = SCM_RIGHTS;
            header->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
            if (::sendmsg(m_fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL) < 0)
                error = errno;
        }
        ::close(fd);
        return error;
    }

    void SendToSyslog(const JournalFields& fields)
    {
        // openlog keeps the pointer: the identifier lives in this object.
        m_ident = FieldValue(fields, "SYSLOG_IDENTIFIER");
        const std::string priority = FieldValue(fields, "PRIORITY");
        const int level = priority.size() == 1 && priority[0] >= '0' && priority[0] <= '7' ? priority[0] - '0' : LOG_INFO;
        ::openlog(m_ident.c_str(), LOG_PID, LOG_USER);
        ::syslog(level, "%s", FieldValue(fields, "MESSAGE").c_str());
        ::closelog();
    }

    std::string m_path;
    int m_fd = -1;
    sockaddr_un m_address;
    bool m_addressUsable = false;
    std::string m_ident;
};

} // namespace

std::unique_ptr<JournalSink> CreateSystemJournalSink(std::string socketPath)
{
    return std::make_unique<SocketJournalSink>(std::move(socketPath));
}

} // namespace platform
