#pragma once
#include "pontlet_prompts.h"

#include <QApplication>
#include <QThread>

#include <deque>
#include <functional>

// The transfer tool's prompts answered from a script, recording what was
// asked and told, and on which thread.
class ScriptedPrompts : public pontlet::Prompts {
public:
    std::deque<pontlet::Answer> answers;  // Cancel once they run out
    std::function<void()> whileAsking;    // runs inside each question
    std::vector<pontlet::Conflict> asked;
    QStringList told;
    bool allOnGuiThread = true;

    pontlet::Answer AskReplace(QWidget*, const pontlet::Conflict& conflict) override
    {
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
        asked.push_back(conflict);
        if (whileAsking)
            whileAsking();
        if (answers.empty())
            return pontlet::Answer::Cancel;
        const pontlet::Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    void Tell(QWidget*, const QString&, const QString& text, const QStringList& details) override
    {
        told << (details.isEmpty() ? text : text + "\n" + details.join('\n'));
    }
};
