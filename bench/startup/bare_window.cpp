// The yardstick for the user view's memory: a plain Qt main window with a
// menu bar, a tool bar, a tree and a list view, shown and painted once, then
// closed after the given number of milliseconds (default 0).
#include <QApplication>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int stayMs = argc > 1 ? std::atoi(argv[1]) : 0;
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    window.menuBar()->addMenu(QStringLiteral("&View"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    QToolBar* tools = window.addToolBar(QStringLiteral("Standard"));
    for (const char* name : {"Back", "Forward", "Up", "Refresh", "Home"})
        tools->addAction(QString::fromLatin1(name));
    auto* split = new QSplitter(&window);
    QStandardItemModel locations;
    locations.appendRow(new QStandardItem(QStringLiteral("Locations")));
    auto* tree = new QTreeView(split);
    tree->setModel(&locations);
    auto* list = new QListView(split);
    QStandardItemModel files;
    list->setModel(&files);
    window.setCentralWidget(split);
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(stayMs, &app, &QCoreApplication::quit);
    return app.exec();
}
