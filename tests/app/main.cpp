// Guards against Qt test cases running without the one QApplication they need.
#include "tests/app/support/QtTestMain.h"

int main(int argc, char** argv) { return RunQtTests(argc, argv); }
