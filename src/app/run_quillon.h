#pragma once
#include <functional>

class QWidget;

namespace app {

// The program from start to exit: session environment, application object,
// main window, message loop, armed logoff. `started`, when given, sees the
// main frame once it is the main window, before the loop runs; the program
// itself passes nothing, measuring tools pass an observer.
int RunQuillon(int argc, char** argv, const std::function<void(QWidget& mainFrame)>& started = {});

} // namespace app
