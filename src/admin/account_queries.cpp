#include "admin/account_queries.h"

#include <QMetaObject>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>

#include "accounts/account_directory.h"
#include "config/text.h"

namespace admin {

struct AccountQueries::Shared {
    explicit Shared(platform::AccountServices& s) : services(s) {}

    platform::AccountServices& services;
    std::mutex mutex;
    std::condition_variable wake;
    AccountQueries* owner = nullptr;         // null once the object is gone
    std::optional<std::u16string> request;   // the latest name not yet taken up
    bool resolverStarted = false;

    // Hands a result to the owner's thread, unless the owner is gone. Under
    // the lock, so that the owner cannot go between the check and the post;
    // a post it does not live to receive is dropped with it.
    template <class Deliver>
    void Post(Deliver deliver)
    {
        std::lock_guard lock(mutex);
        if (owner)
            QMetaObject::invokeMethod(owner, [o = owner, deliver = std::move(deliver)] { deliver(*o); },
                                      Qt::QueuedConnection);
    }
};

void AccountQueries::ResolveLoop(const std::shared_ptr<Shared>& shared)
{
    for (;;) {
        std::u16string typed;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return !shared->owner || shared->request; });
            if (!shared->owner)
                return;
            typed = std::move(*shared->request);
            shared->request.reset();
        }
        auto found = accounts::AccountDirectory(shared->services).Lookup(typed);
        shared->Post([typed = QString::fromStdU16String(typed), found = std::move(found)](AccountQueries& o) {
            emit o.resolved(typed, found);
        });
    }
}

AccountQueries::AccountQueries(platform::AccountServices& services, QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>(services))
{
    m_shared->owner = this;
}

AccountQueries::~AccountQueries()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->owner = nullptr;
    }
    m_shared->wake.notify_all();
}

void AccountQueries::StartListing()
{
    if (m_bListing || m_bListed)
        return;
    m_bListing = true;
    // Detached: a directory that takes minutes must not hold up closing the
    // dialog or the program.
    std::thread([shared = m_shared] {
        auto objects = accounts::AccountDirectory(shared->services).Enumerate();
        SortForChooser(objects);
        AccountRows rows = MakeAccountRows(std::move(objects));
        shared->Post([rows = std::move(rows)](AccountQueries& o) {
            o.m_bListing = false;
            o.m_bListed = true;
            emit o.listed(rows);
        });
    }).detach();
}

void AccountQueries::Resolve(const QString& typed)
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->request = typed.toStdU16String();
        if (!m_shared->resolverStarted) {
            m_shared->resolverStarted = true;
            std::thread([shared = m_shared] { ResolveLoop(shared); }).detach();
        }
    }
    m_shared->wake.notify_one();
}

void SortForChooser(std::vector<accounts::PickedObject>& objects)
{
    struct Key {
        std::u16string name;
        std::u16string domain;
        bool group;
        std::size_t index;
    };
    auto folded = [](std::u16string s) {
        for (char16_t& c : s)
            c = config::FoldCase(c);
        return s;
    };
    std::vector<Key> keys;
    keys.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        std::u16string domain;
        accounts::SplitADsPath(objects[i].adsPath, &domain, nullptr);
        keys.push_back({folded(objects[i].name), folded(domain), objects[i].className != u"user", i});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return std::tie(a.name, a.domain, a.group, a.index) < std::tie(b.name, b.domain, b.group, b.index);
    });
    std::vector<accounts::PickedObject> sorted;
    sorted.reserve(objects.size());
    for (const Key& k : keys)
        sorted.push_back(std::move(objects[k.index]));
    objects = std::move(sorted);
}

} // namespace admin
