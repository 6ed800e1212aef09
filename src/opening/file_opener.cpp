#include "opening/file_opener.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include "opening/open_with_table.h"
#include "platform/files.h"
#include "platform/system_error.h"

namespace opening {

const char* const kOpenWithFileName = "open-with.conf";

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("opening::FileOpener", text); }

OpenWithTable ReadTable(const std::filesystem::path& path)
{
    platform::WholeFile file;
    if (platform::ReadWholeFile(path, file))
        return {};
    return ParseOpenWithTable(std::string_view(reinterpret_cast<const char*>(file.bytes.get()), file.size));
}

struct Thing {
    std::vector<std::string> typeNames;
    QString typeText;
    std::string target;
    std::string workingDirectory;
};

Thing Examine(const QUrl& url)
{
    Thing thing;
    if (!url.isLocalFile()) {
        const QString type = QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
        thing.typeNames = {type.toStdString()};
        thing.typeText = type;
        thing.target = url.toString(QUrl::FullyEncoded).toStdString();
        return thing;
    }
    // Absolute, so that no name can pass for one of the program's options.
    const QFileInfo info(url.toLocalFile());
    thing.target = QFile::encodeName(info.absoluteFilePath()).toStdString();
    thing.workingDirectory = QFile::encodeName(info.absolutePath()).toStdString();
    // Content is read only from a regular file: a FIFO would never answer.
    static thread_local QMimeDatabase db;
    const QMimeType type = info.isFile() ? db.mimeTypeForFile(info) : db.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    thing.typeNames.push_back(type.name().toStdString());
    for (const QString& alias : type.aliases())
        thing.typeNames.push_back(alias.toStdString());
    thing.typeText = type.comment().isEmpty() ? type.name() : type.comment();
    return thing;
}

} // namespace

OpenDecision DecideOpen(const QUrl& url, const std::filesystem::path& tablePath)
{
    const Thing thing = Examine(url);
    OpenDecision decision;
    decision.typeText = thing.typeText;
    const OpenWithTable table = ReadTable(tablePath);
    const OpenWithLine* line = FindOpenWith(table, thing.typeNames);
    if (!line) {
        decision.refusal = Tr("No program is set up to open files of type %1. Ask your administrator.").arg(thing.typeText);
        return decision;
    }
    decision.argv = BuildArguments(*line, thing.target);
    decision.workingDirectory = thing.workingDirectory;
    return decision;
}

QString CannotStartText(const OpenDecision& decision, int error)
{
    const QString program = decision.argv.empty() ? QString() : QFile::decodeName(decision.argv.front().c_str());
    return Tr("The program %1, set up to open files of type %2, cannot be started: %3. Ask your administrator.")
        .arg(program, decision.typeText, QString::fromStdString(platform::GetSystemErrorText(error)));
}

} // namespace opening
