// What the journal costs a session start: the account lookup when the
// program's journal is made, then each record built and sent, to a socket
// of the bench's own that is drained as it goes (as journald does), and to
// a path where nothing listens (the syslog fallback).
#include "journal/events.h"
#include "platform/accounts.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Drain {
public:
    Drain() : m_path(fs::temp_directory_path() / ("quillon-journal-bench-" + std::to_string(::getpid())))
    {
        fs::remove(m_path);
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~Drain()
    {
        ::close(m_fd);
        fs::remove(m_path);
    }
    void Empty()
    {
        char buffer[65536];
        while (::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
        }
    }
    std::string Path() const { return m_path.string(); }

private:
    fs::path m_path;
    int m_fd = -1;
};

journal::Record SessionStartRecord()
{
    return journal::SessionStart(false, true, u"CORP\\workplace-users", accounts::ProfileMatch::Group, 4);
}

void BM_MakeProgramJournal(benchmark::State& state)
{
    const auto accounts = platform::CreateSystemAccountServices();
    for (auto _ : state)
        benchmark::DoNotOptimize(journal::SystemJournal("quillon", *accounts));
}

void BM_SessionStartRecord(benchmark::State& state, int target)
{
    Drain drain;
    const std::string socket = target == 0 ? drain.Path() : "/nonexistent/socket";
    const auto accounts = platform::CreateSystemAccountServices();
    const journal::Journal journal = journal::SystemJournal("quillon-bench", *accounts, socket);
    for (auto _ : state) {
        journal.Write(SessionStartRecord());
        state.PauseTiming();
        drain.Empty();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_MakeProgramJournal)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SessionStartRecord, own_socket, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SessionStartRecord, syslog_fallback, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
