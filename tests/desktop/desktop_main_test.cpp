// The window tests need a QApplication, so they bring their own main.
#include "tests/support/qt_test_main.h"

int main(int argc, char** argv) { return runQtTests(argc, argv); }
