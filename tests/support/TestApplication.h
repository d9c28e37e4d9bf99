#pragma once
// The one QApplication of a widget test program, created on first use and never destroyed: windows
// that outlive a test (the program's own Form1 ... Form6) must not see it go away first.
class QApplication;

QApplication& TestApplication();
