// Measures start-up from outside the shipped program: runs the same program
// and reports when its window is first painted, then quits after the given
// number of milliseconds (default 0). Arguments after the first go to the
// program, so `quillon_startup_probe 0 service` measures a session start.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/run_quillon.h"

namespace {

class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(QWidget& window, std::chrono::steady_clock::time_point start, int stayMs)
        : QObject(&window), m_start(start), m_stayMs(stayMs)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start);
            std::fprintf(stderr, "quillon: window shown after %lld ms\n", static_cast<long long>(elapsed.count()));
            QTimer::singleShot(m_stayMs, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::chrono::steady_clock::time_point m_start;
    int m_stayMs;
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    const int stayMs = argc > 1 ? std::atoi(argv[1]) : 0;
    std::vector<char*> args{argv[0]};
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    return app::RunQuillon(count, args.data(),
                           [&](QWidget& frame) { new FirstPaintWatcher(frame, start, stayMs); });
}
