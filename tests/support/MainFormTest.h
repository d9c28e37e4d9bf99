#pragma once
// Handler tests on a main window of their own, built offscreen in the Russian captions with both
// timers stopped at once, so that only the handlers a test calls run. Suites derive from it and
// add their own state around it.
#include <gtest/gtest.h>
#include <memory>

#include "ui/Forms.h"

// Stops both timers of a main window before they tick (Timer2's first tick would search every
// port).
void StopTimers(TForm1& form);
// A new main window with its timers stopped.
std::unique_ptr<TForm1> QuietMainWindow();

class TMainFormTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TForm1> form;
};
