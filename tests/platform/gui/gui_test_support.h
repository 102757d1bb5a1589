// Shared set-up of the GUI tests: a scripted dialog service that turns an
// unexpected dialog into a test failure, pumping without coalescing, and a
// check that no window is left on screen.
#pragma once

#include <gtest/gtest.h>

#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->SetPumpInterval(0);
    dialogs.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
  }
  void TearDown() override {
    EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " scripted dialog(s) never came";
    EXPECT_EQ(vx::VisibleWindowCount(), 0) << "a window was left on screen";
  }
  vx::ScriptedDialogs dialogs;
};
