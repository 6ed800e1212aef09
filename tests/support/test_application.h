#pragma once

class QApplication;

namespace testsupport {

// The one QApplication of a test program, created on first use. Widgets
// tests call it before making any widget; ctest runs them offscreen.
QApplication& TestApplication();

} // namespace testsupport
