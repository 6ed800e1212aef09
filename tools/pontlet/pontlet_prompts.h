#pragma once
#include <QString>
#include <QStringList>

#include "tree_copy.h"

class QWidget;

// Every modal question and report of the transfer tool goes through this
// seam: the tool uses message boxes, tests answer from a script, so that no
// test waits on a window.
namespace pontlet {

class Prompts {
public:
    virtual ~Prompts() = default;
    // Whether an existing target that differs may be replaced.
    virtual Answer AskReplace(QWidget* owner, const Conflict& conflict) = 0;
    // A report to acknowledge: files not copied, a folder refused. `details`
    // (one line an entry) may be long; it is shown on request.
    virtual void Tell(QWidget* owner, const QString& title, const QString& text, const QStringList& details) = 0;
};

// The question about one file, naming both sides' size and date.
QString ConflictText(const Conflict& conflict);

class QtPrompts : public Prompts {
public:
    Answer AskReplace(QWidget* owner, const Conflict& conflict) override;
    void Tell(QWidget* owner, const QString& title, const QString& text, const QStringList& details) override;
};

} // namespace pontlet
