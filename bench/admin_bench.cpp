// The users and groups pane with 20,000 entries (fill, select all, select
// one) and the account chooser over 100,000 accounts (filter as you type,
// the listing's sort). Run offscreen: QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

#include "admin/account_list_model.h"
#include "admin/account_queries.h"
#include "admin/user_group_view.h"
#include "document/document_host.h"
#include "document/quillon_doc.h"
#include "framework/command_router.h"
#include "framework/modal_seam.h"
#include "platform/accounts.h"

namespace {

class NoSeam : public framework::ModalSeam {
public:
    framework::Answer ShowMessage(const framework::MessageRequest&) override { return framework::Answer::Ok; }
    std::optional<QString> ChooseFile(const framework::FileDialogRequest&) override { return std::nullopt; }
    int RunDialog(QDialog&) override { return 0; }
    std::optional<CTSAppDataItem> EditLocation(const CTSAppDataItem&, QWidget*) override { return std::nullopt; }
    std::optional<CTSUserScriptItem> EditLogonScript(const CTSUserScriptItem&, QWidget*) override
    {
        return std::nullopt;
    }
    std::optional<std::vector<accounts::SelectionMap>> PickAccounts(QWidget*) override { return std::nullopt; }
    bool WaitUntil(const framework::WaitRequest&, const std::function<bool()>& ready) override { return ready(); }
};

class AdminHost : public document::DocumentHost {
public:
    bool IsAdministrator() const override { return true; }
    bool IsServiceMode() const override { return false; }
    void SetLogoffOnExit() override {}
    bool RunScript(const CTSUserScriptItem&) override { return true; }
    bool AutoTransfer(const std::u16string&, const std::u16string&, bool, std::int32_t, bool) override { return true; }
    bool ManualTransfer(const CTSAppDataItem&) override { return true; }
    void LaunchDefaultShell() override {}
    bool IsAdministratorView() const override { return true; }
    void OpenHelp() override {}
    void OpenItem(const QUrl&) override {}
    QWidget* MainWindow() const override { return nullptr; }
};

// The pane asks no account questions.
class NoAccounts : public platform::AccountServices {
public:
    bool LookupCurrentAccount(std::string&, std::string&) override { return false; }
    bool CurrentUserName(std::string&) override { return false; }
    bool LocalComputerName(std::string&) override { return false; }
    int FindDomainController(const std::string&, std::string&) override { return platform::kAccountDCNotFound; }
    int UserGroups(const std::string&, const std::string&, platform::GroupScope, std::vector<platform::GroupName>&) override
    {
        return platform::kAccountUserNotFound;
    }
    platform::RightsCheck CheckAdministratorRights() override { return {}; }
    std::vector<platform::AccountRecord> EnumerateAccounts() override { return {}; }
    std::vector<platform::AccountRecord> FindAccounts(const std::string&) override { return {}; }
};

// Stands for the locations tree: hears of every selection.
class CountingView : public framework::View {
public:
    long updates = 0;
    void OnUpdate(framework::View*, long, framework::HintObject) override { ++updates; }
};

struct Pane {
    explicit Pane(int entries)
    {
        for (int i = 0; i < entries; ++i)
            doc.m_userData.Add(u"CORP\\user" + QString::number(i).toStdU16String(), i % 10 ? 1 : 2, false);
        doc.AddView(&tree);
        view = std::make_unique<CUserGroupView>(doc, router);
        view->resize(300, 600);
        view->show();
        view->OnInitialUpdate();
        QApplication::processEvents();
    }
    NoSeam seam;
    AdminHost host;
    NoAccounts accounts;
    CQuillonDoc doc{seam, host, accounts};
    framework::CommandRouter router;
    CountingView tree;
    std::unique_ptr<CUserGroupView> view;
};

// A refill and the first paint of the rows on screen.
void BM_PaneFill(benchmark::State& state)
{
    Pane pane(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pane.view->OnUpdate(nullptr, 0, {});
        benchmark::DoNotOptimize(pane.view->grab());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PaneFill)->Arg(20000)->Unit(benchmark::kMillisecond);

// Select all: the document's selection rebuilt with every entry.
void BM_PaneSelectAll(benchmark::State& state)
{
    Pane pane(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pane.view->clearSelection();
        pane.view->selectAll();
    }
    if (pane.doc.m_selection.size() != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("not every entry was selected");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PaneSelectAll)->Arg(20000)->Unit(benchmark::kMillisecond);

// A click on one row of a long list.
void BM_PaneSelectOne(benchmark::State& state)
{
    Pane pane(static_cast<int>(state.range(0)));
    int row = 0;
    for (auto _ : state) {
        row = (row + 7919) % static_cast<int>(state.range(0));
        pane.view->setCurrentIndex(pane.view->model()->index(row, 0));
    }
    if (pane.doc.m_selection.size() != 1)
        state.SkipWithError("one entry should be selected");
}
BENCHMARK(BM_PaneSelectOne)->Arg(20000)->Unit(benchmark::kMicrosecond);

std::vector<accounts::PickedObject> ManyAccounts(int count)
{
    std::vector<accounts::PickedObject> objects;
    for (int i = 0; i < count; ++i) {
        const std::u16string name = u"user" + QString::number(i * 7919 % count).toStdU16String();
        objects.push_back({name, i % 5 ? u"user" : u"group", u"WinNT://CORP/" + name, u"", u"Full Name " + name, u""});
    }
    return objects;
}

// The listing arriving in the chooser's window; its rows were made on the
// listing's thread (BM_ChooserMakeRows).
void BM_ChooserShowListing(benchmark::State& state)
{
    const auto rows = admin::MakeAccountRows(ManyAccounts(static_cast<int>(state.range(0))));
    admin::AccountListModel model;
    for (auto _ : state)
        model.SetListed(rows);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ChooserShowListing)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ChooserMakeRows(benchmark::State& state)
{
    const auto objects = ManyAccounts(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(admin::MakeAccountRows(objects));
}
BENCHMARK(BM_ChooserMakeRows)->Arg(100000)->Unit(benchmark::kMillisecond);

// One keystroke in the chooser's name box: the whole directory filtered.
void BM_ChooserFilter(benchmark::State& state)
{
    admin::AccountListModel model;
    model.SetListed(admin::MakeAccountRows(ManyAccounts(static_cast<int>(state.range(0)))));
    const QString texts[] = {QStringLiteral("u"), QStringLiteral("user4"), QStringLiteral("user42"), QString()};
    std::size_t i = 0;
    for (auto _ : state)
        model.SetFilter(texts[i++ % 4]);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ChooserFilter)->Arg(100000)->Unit(benchmark::kMillisecond);

// The listing's sort, done on the chooser's worker thread.
void BM_ChooserSort(benchmark::State& state)
{
    const auto objects = ManyAccounts(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto copy = objects;
        admin::SortForChooser(copy);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_ChooserSort)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
