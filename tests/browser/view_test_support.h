#pragma once
// Shared by the browser view tests: scratch folders and waiting for the
// workers that examine and list a folder.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <functional>
#include <string>

#include "support/temp_files.h"

namespace browsertest {

// Processes events until `done` holds; gives up after a long while so that
// a broken test fails instead of hanging (no test relies on the time).
inline bool WaitUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    return true;
}

// A fresh, empty folder of this test process.
inline QString Scratch(const std::string& name)
{
    const auto dir = testfiles::ScratchDir(name);
    QDir(QString::fromStdString(dir.string())).removeRecursively();
    std::filesystem::create_directories(dir);
    return QString::fromStdString(dir.string());
}

inline void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

inline QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The names in a folder, hidden ones too, sorted.
inline QStringList Names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace browsertest
