#pragma once
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "accounts/object_picker.h"
#include "admin/account_list_model.h"

namespace platform {
class AccountServices;
}

namespace admin {

// The account chooser's questions to the system, each answered on a thread
// of its own so that a directory that answers slowly (a domain through
// winbind or sssd) never freezes the window: the list of every user and
// group, and the objects a typed name designates. The answers arrive as
// signals on the object's own thread. Answers still under way when the
// object goes are dropped; the services must outlive the program's threads,
// as the program's own do.
class AccountQueries : public QObject {
    Q_OBJECT
public:
    explicit AccountQueries(platform::AccountServices& services, QObject* parent = nullptr);
    ~AccountQueries() override;

    // Lists every user and group once, sorted by name, as rows ready to
    // show; listed() follows.
    void StartListing();
    bool IsListing() const { return m_bListing; }
    bool HasListed() const { return m_bListed; }

    // Looks a typed name up; resolved() follows. A request waiting behind a
    // slow one is replaced by a newer one, so only the latest is answered.
    void Resolve(const QString& typed);

signals:
    void listed(const admin::AccountRows& rows);
    void resolved(const QString& typed, const std::vector<accounts::PickedObject>& objects);

private:
    struct Shared;
    static void ResolveLoop(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> m_shared;
    bool m_bListing = false;
    bool m_bListed = false;
};

// The order the chooser lists objects in: by name regardless of case, then
// by domain, users before groups of the same name.
void SortForChooser(std::vector<accounts::PickedObject>& objects);

} // namespace admin
