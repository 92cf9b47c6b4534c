// Guards against Qt test programs running without their one QApplication.
#pragma once
// The main of a Qt test program: one QApplication (offscreen unless the
// environment names a platform) around the GoogleTest run.
int RunQtTests(int argc, char** argv);
