#include "app/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace app {

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

void ArmStartupProbe(QWidget& window, std::chrono::steady_clock::time_point start)
{
    if (!qEnvironmentVariableIsSet("QUILLON_EXIT_AFTER_SHOW"))
        return;
    new FirstPaintWatcher(window, start, qEnvironmentVariableIntValue("QUILLON_EXIT_AFTER_SHOW"));
}

} // namespace app
