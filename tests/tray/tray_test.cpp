// The tray's portable parts: the icon added again until the shell takes it and again after the
// shell lost it, the icon's tip field, and the stored transparency level.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "tray/tray_icon.h"
#include "tray/tray_state.h"

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

// Only a whole number from 0 to 5 is a level; anything else is opaque.
TEST(StoredChoices, UnusableLevelsAreOpaque) {
  const std::pair<std::string, int> levels[] = {
      {"5", 5}, {" 3 ", 3}, {"6", 0}, {"99999999999999999999", 0}, {"-1", 0}, {"2.5", 0}};
  for (const auto& [stored, level] : levels)
    EXPECT_EQ(ParseTransLevel(stored), level) << stored;
}

// The tip field holds the text, a NUL and blanks; a long text is cut to fit, never inside a
// UTF-8 character (a locale's no-break space U+00A0, a narrow one U+202F).
TEST(TipField, IsCutToFitBetweenCharacters) {
  const std::string y60(60, 'y');
  const std::pair<std::string, std::size_t> cases[] = {
      {std::string(80, 'y'), 63},     {y60 + "yy\u00A0", 62}, {y60 + "y\u00A0", 63},
      {y60 + "\u202F", 63},           {y60 + "y\u202F", 61},  {y60 + "yy\u202Fy", 62},
      {"Current - 1\u00A0234 KB", 19}};
  for (const auto& [text, kept] : cases) {
    char field[64];
    WriteTipField(field, text);
    EXPECT_EQ(std::string(field, 64), text.substr(0, kept) + '\0' + std::string(63 - kept, ' '))
        << text;
  }
}

}  // namespace
}  // namespace trafimo
