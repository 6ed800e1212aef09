#include "browser/folder_lister.h"

#include <chrono>

#include <QFile>

#include "platform/folder_listing.h"

namespace browser {

FolderLister::~FolderLister() = default;

namespace {

// The first rows go out at once so that the view fills quickly; after that
// rows are gathered for a while, because every batch costs the view a layout.
constexpr std::size_t kFirstBatch = 64;
constexpr std::size_t kMaxBatch = 16384;
constexpr auto kBatchInterval = std::chrono::milliseconds(40);

class SystemFolderLister final : public FolderLister {
public:
    int list(const QString& folder, const std::function<void(std::vector<FileEntry>&&)>& batch,
             const std::function<bool()>& cancelled) override
    {
        using Clock = std::chrono::steady_clock;
        std::vector<FileEntry> rows;
        rows.reserve(kFirstBatch);
        bool first = true;
        auto lastFlush = Clock::now();
        auto flush = [&] {
            batch(std::move(rows));
            rows = {};
            first = false;
            lastFlush = Clock::now();
        };
        int err = platform::ListFolder(QFile::encodeName(folder).toStdString(),
                                       [&](platform::FolderEntryInfo&& info) {
            if (cancelled())
                return false;
            FileEntry e;
            e.name = QFile::decodeName(QByteArray::fromRawData(info.name.data(), qsizetype(info.name.size())));
            e.size = info.size;
            e.mtimeMs = info.mtimeMs;
            e.isDir = info.isDir;
            e.isSymLink = info.isSymLink;
            e.isHidden = info.name.front() == '.';
            rows.push_back(std::move(e));
            if ((first && rows.size() >= kFirstBatch) || rows.size() >= kMaxBatch
                || (!first && Clock::now() - lastFlush >= kBatchInterval))
                flush();
            return true;
        });
        if (err == 0 && !rows.empty() && !cancelled())
            flush();
        return err;
    }
};

} // namespace

std::unique_ptr<FolderLister> createSystemFolderLister()
{
    return std::make_unique<SystemFolderLister>();
}

} // namespace browser
