#include "tests/support/TestApplication.h"

#include <QApplication>

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "halvex-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
