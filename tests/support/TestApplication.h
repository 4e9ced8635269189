#pragma once
// The one QApplication of a widget test executable, made on first use and shared by all
// its files. It is kept to the end of the process: Qt's input devices must not be torn
// down by static destruction after the application is gone.

#include <QApplication>

namespace sonvira::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "sonvira_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace sonvira::test
