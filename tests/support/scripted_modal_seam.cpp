#include "support/scripted_modal_seam.h"

namespace testsupport {

using framework::Answer;

ScriptedModalSeam::~ScriptedModalSeam()
{
    if (!m_allowUnused && PendingAnswers() != 0)
        ADD_FAILURE() << "scripted answers never asked for: " << m_messageAnswers.size()
                      << " message(s), " << m_fileAnswers.size() << " file dialog(s), "
                      << m_dialogHandlers.size() << " dialog(s)";
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

QStringList ScriptedModalSeam::MessageTexts() const
{
    QStringList texts;
    for (const auto& message : m_messages)
        texts << message.text;
    return texts;
}

std::size_t ScriptedModalSeam::PendingAnswers() const
{
    return m_messageAnswers.size() + m_fileAnswers.size() + m_dialogHandlers.size();
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

} // namespace testsupport
