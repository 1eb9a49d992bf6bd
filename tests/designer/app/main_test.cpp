// The designer's window tests run with one QApplication in Mirabo's look.
#include "designer/app/mirabo_app.h"
#include "tests/support/qt_test_main.h"

int main(int argc, char** argv) { return runQtTests(argc, argv, setUpMiraboLook); }
