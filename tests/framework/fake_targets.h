#pragma once
#include <QString>
#include <QStringList>

#include "framework/command_target.h"

namespace testsupport_framework {

// A route stop whose handlers log "name:id" when they run.
class FakeTarget : public framework::CommandTarget {
public:
    FakeTarget(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}

    void Handle(int id)
    {
        Commands().On(id, [this, id] { m_log << QString("%1:%2").arg(m_name).arg(id); });
    }
    void Update(int id, bool enabled, bool checked = false, QString text = QString())
    {
        Commands().OnUpdate(id, [enabled, checked, text](framework::CommandState& state) {
            state.enabled = enabled;
            state.checked = checked;
            state.text = text;
        });
    }
    // An update handler that reads live state, as real ones do.
    void UpdateFrom(int id, const bool& enabled, const bool& checked)
    {
        Commands().OnUpdate(id, [&enabled, &checked](framework::CommandState& state) {
            state.enabled = enabled;
            state.checked = checked;
        });
    }

private:
    QString m_name;
    QStringList& m_log;
};

} // namespace testsupport_framework
