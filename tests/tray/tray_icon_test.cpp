// The tray icon is added again until the shell takes it, and again after the shell lost it.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace trafimo {
namespace {

// A shell that refuses the first `refusals` adds (not ready yet) and knows one icon at most.
struct Shell : NotifyArea {
  int refusals = 0;
  bool holds = false;
  int adds = 0, deletes = 0;
  bool timer = false;
  bool AddIcon() override {
    ++adds;
    if (refusals > 0) return --refusals, false;
    return !holds && (holds = true);
  }
  bool ModifyIcon() override { return holds; }
  bool DeleteIcon() override { return ++deletes, std::exchange(holds, false); }
  void RunRetryTimer(bool running) override { timer = running; }
};

// "S" shows (load, TaskbarCreated), "T" is a tick of the retry timer while it runs, "R" restarts
// the shell (it forgets the icon), "U" changes the tip, "X" ends the program.
TEST(TrayIcon, IsAddedUntilTheShellTakesItAndAgainWhenTheShellLostIt) {
  struct Case {
    int refusals;
    std::string_view events;
    int adds;
    bool holds, timer;
  };
  const Case cases[] = {{0, "S", 1, true, false},      {3, "STTTTT", 4, true, false},
                        {3, "STT", 3, false, true},    {0, "SRS", 2, true, false},
                        {0, "SS", 2, true, false},     {0, "SRU", 2, true, false},
                        {1, "SUUT", 2, true, false},   {2, "STX", 2, false, false},
                        {2, "STXTS", 2, false, false}, {0, "SXRS", 1, false, false}};
  for (const Case& c : cases) {
    Shell shell;
    shell.refusals = c.refusals;
    TrayIconLife icon(shell);
    for (const char event : c.events) {
      if (event == 'S') icon.Show();
      if (event == 'T' && shell.timer) icon.Show();
      if (event == 'R') shell.holds = false;
      if (event == 'U') icon.Update();
      if (event == 'X') icon.Remove();
    }
    EXPECT_EQ(shell.adds, c.adds) << c.events;
    EXPECT_EQ(shell.holds, c.holds) << c.events;
    EXPECT_EQ(icon.shown(), c.holds) << c.events;
    EXPECT_EQ(shell.timer, c.timer) << c.events;
  }
}

}  // namespace
}  // namespace trafimo
