#pragma once
#include <functional>
#include <mutex>

#include <QMetaObject>
#include <QObject>

namespace browser {

// Hands work from worker threads back to an object's thread. Workers keep a
// shared pointer to it and may outlive the object: once the object detaches
// (in its destructor) whatever they post is dropped.
class GuiPost {
public:
    explicit GuiPost(QObject* target) : m_target(target) {}

    void post(std::function<void()> fn)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_target)
            QMetaObject::invokeMethod(m_target, std::move(fn), Qt::QueuedConnection);
    }

    void detach()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_target = nullptr;
    }

private:
    std::mutex m_mutex;
    QObject* m_target;
};

} // namespace browser
