#include "support/scripted_modal_seam.h"

namespace testsupport {

using framework::Answer;

ScriptedModalSeam::~ScriptedModalSeam()
{
    if (!m_allowUnused && PendingAnswers() != 0)
        ADD_FAILURE() << "scripted answers never asked for: " << m_messageAnswers.size()
                      << " message(s), " << m_fileAnswers.size() << " file dialog(s), "
                      << m_dialogHandlers.size() + m_locationAnswers.size() + m_scriptAnswers.size() +
                             m_pickerAnswers.size()
                      << " dialog(s)";
}

ScriptedModalSeam& ScriptedModalSeam::AnswerMessage(Answer answer)
{
    m_messageAnswers.push_back(answer);
    return *this;
}

ScriptedModalSeam& ScriptedModalSeam::ChooseFileAnswer(const QString& path)
{
    m_fileAnswers.push_back({true, path});
    return *this;
}

ScriptedModalSeam& ScriptedModalSeam::CancelFileDialog()
{
    m_fileAnswers.push_back({false, QString()});
    return *this;
}

ScriptedModalSeam& ScriptedModalSeam::HandleDialog(DialogHandler handler)
{
    m_dialogHandlers.push_back(std::move(handler));
    return *this;
}

ScriptedModalSeam& ScriptedModalSeam::AcceptDialog()
{
    return HandleDialog([](QDialog&) { return int(QDialog::Accepted); });
}

ScriptedModalSeam& ScriptedModalSeam::RejectDialog()
{
    return HandleDialog([](QDialog&) { return int(QDialog::Rejected); });
}

ScriptedModalSeam& ScriptedModalSeam::AnswerLocationEditor(LocationAnswer answer)
{
    m_locationAnswers.push_back(std::move(answer));
    return *this;
}

ScriptedModalSeam& ScriptedModalSeam::AnswerScriptEditor(ScriptAnswer answer)
{
    m_scriptAnswers.push_back(std::move(answer));
    return *this;
}

ScriptedModalSeam& ScriptedModalSeam::AnswerPicker(std::optional<std::vector<accounts::SelectionMap>> picked)
{
    m_pickerAnswers.push_back(std::move(picked));
    return *this;
}

QStringList ScriptedModalSeam::MessageTexts() const
{
    QStringList texts;
    for (const auto& message : m_messages)
        texts << message.text;
    return texts;
}

std::size_t ScriptedModalSeam::PendingAnswers() const
{
    return m_messageAnswers.size() + m_fileAnswers.size() + m_dialogHandlers.size() + m_locationAnswers.size() +
           m_scriptAnswers.size() + m_pickerAnswers.size();
}

Answer ScriptedModalSeam::ShowMessage(const framework::MessageRequest& request)
{
    m_messages.push_back(request);
    if (m_messageAnswers.empty()) {
        ADD_FAILURE() << "unscripted message box: " << request.text.toStdString();
        return Answer::Cancel;
    }
    const Answer answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedModalSeam::ChooseFile(const framework::FileDialogRequest& request)
{
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty()) {
        ADD_FAILURE() << "unscripted file dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const FileAnswer answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    if (!answer.chosen)
        return std::nullopt;
    return answer.path;
}

bool ScriptedModalSeam::WaitUntil(const framework::WaitRequest& request, const std::function<bool()>& ready)
{
    m_waits.push_back({request, 0});
    const long long tries = request.poll.count() > 0 ? request.limit / request.poll : 1;
    // The record is indexed: `ready` may wait again.
    const std::size_t at = m_waits.size() - 1;
    for (long long i = 0; i <= tries; ++i) {
        ++m_waits[at].tries;
        if (ready())
            return true;
    }
    return false;
}

int ScriptedModalSeam::RunDialog(QDialog& dialog)
{
    ShownDialog shown{QString::fromLatin1(dialog.metaObject()->className()), dialog.windowTitle(),
                      QDialog::Rejected};
    if (m_dialogHandlers.empty()) {
        ADD_FAILURE() << "unscripted dialog: " << shown.className.toStdString() << " \""
                      << shown.title.toStdString() << "\"";
        m_dialogs.push_back(shown);
        return QDialog::Rejected;
    }
    DialogHandler handler = std::move(m_dialogHandlers.front());
    m_dialogHandlers.pop_front();
    shown.result = handler(dialog);
    dialog.setResult(shown.result);
    m_dialogs.push_back(shown);
    return shown.result;
}

template <class Queue>
std::optional<typename Queue::value_type> ScriptedModalSeam::Next(Queue& queue, const char* name)
{
    ShownDialog shown{QString::fromLatin1(name), QString(), QDialog::Rejected};
    if (queue.empty()) {
        ADD_FAILURE() << "unscripted " << name;
        m_dialogs.push_back(shown);
        return std::nullopt;
    }
    auto answer = std::move(queue.front());
    queue.pop_front();
    m_dialogs.push_back(shown);
    return answer;
}

std::optional<CTSAppDataItem> ScriptedModalSeam::EditLocation(const CTSAppDataItem& initial, QWidget*)
{
    const auto answer = Next(m_locationAnswers, "EditLocation");
    auto result = answer ? (*answer)(initial) : std::nullopt;
    m_dialogs.back().result = result ? QDialog::Accepted : QDialog::Rejected;
    return result;
}

std::optional<CTSUserScriptItem> ScriptedModalSeam::EditLogonScript(const CTSUserScriptItem& initial, QWidget*)
{
    const auto answer = Next(m_scriptAnswers, "EditLogonScript");
    auto result = answer ? (*answer)(initial) : std::nullopt;
    m_dialogs.back().result = result ? QDialog::Accepted : QDialog::Rejected;
    return result;
}

std::optional<std::vector<accounts::SelectionMap>> ScriptedModalSeam::PickAccounts(QWidget*)
{
    auto answer = Next(m_pickerAnswers, "PickAccounts");
    auto result = answer ? std::move(*answer) : std::nullopt;
    m_dialogs.back().result = result ? QDialog::Accepted : QDialog::Rejected;
    return result;
}

} // namespace testsupport
