// The numeric box's rules: the keystroke filter, the validation of pasted text, leaving the box,
// and the number texts it reads.
#include "controls/neb.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "controls/number_text.h"

#include "support/fakes.h"

namespace trafimo::controls {
namespace {

// A numeric box on a text box that behaves as the platform's EDIT: a typed key goes through the
// box's filter first, then replaces the selection; every real change raises the change
// notification.
struct Box : NebSite {
  std::string text;
  int selStart = 0, selLength = 0;
  testing::FakeMessages messages;
  Neb neb{*this, messages};

  Box(int integerSize, int decimalSize, double minimum, double maximum) {
    neb.InitProperties();
    neb.SetIntegerSize(static_cast<std::int16_t>(integerSize));
    neb.SetDecimalSize(static_cast<std::int16_t>(decimalSize));
    if (minimum != 0) neb.SetMinimumValue(minimum);
    if (maximum != 0) neb.SetMaximumValue(maximum);
  }
  // Sets the text without notifications: "|" marks the caret, "[" and "]" a selection.
  void Start(const std::string& marked) {
    text.clear();
    for (const char c : marked) {
      if (c == '|' || c == '[') selStart = static_cast<int>(text.size()), selLength = 0;
      if (c == ']') selLength = static_cast<int>(text.size()) - selStart;
      if (c != '|' && c != '[' && c != ']') text += c;
    }
  }
  // The text and caret as Start takes them.
  std::string Marked() const { return text.substr(0, selStart) + "|" + text.substr(selStart); }
  void Replace(const std::string& inserted) {
    const std::string before = text;
    text = before.substr(0, selStart) + inserted + before.substr(selStart + selLength);
    Select(selStart + static_cast<int>(inserted.size()), 0);
    if (text != before) neb.OnChange();
  }
  void Press(std::int16_t key) {
    neb.OnKeyPress(key);
    if (key >= 32) Replace(std::string(1, static_cast<char>(key)));
  }

  std::string Text() const override { return text; }
  void SetText(std::string_view newText) override {
    if (newText == text) return;
    text = std::string(newText);
    Select(0, 0);
    neb.OnChange();
  }
  int SelStart() const override { return selStart; }
  int SelLength() const override { return selLength; }
  void Select(int start, int length) override { selStart = start, selLength = length; }
  void SendTab() override {}
};

// What a person does to the box: "5" types, "<-5>" pastes, "^" is Home, "*" selects all, "~"
// leaves the box, "#" types a character outside ASCII (one of U+4E2D, U+9000, a UTF-8 byte).
void Use(Box& box, std::string_view actions) {
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const char c = actions[i];
    if (c == '<') {
      const std::size_t end = actions.find('>', i);
      box.Replace(std::string(actions.substr(i + 1, end - i - 1)));
      i = end;
    } else if (c == '^') {
      box.Select(0, 0);
    } else if (c == '*') {
      box.Select(0, static_cast<int>(box.text.size()));
    } else if (c == '~') {
      box.neb.OnLostFocus();
    } else if (c == '#') {
      for (const std::int16_t wide :
           {std::int16_t{0x4E2D}, std::int16_t{-28672}, std::int16_t{0xE4}})
        box.Press(wide);
    } else {
      box.Press(static_cast<unsigned char>(c));
    }
  }
}

// The box never shows a text its rules refuse: a typed key is judged by the text it leaves where
// the caret is; a pasted text is put right; a lone "-" is kept only while a negative number may
// follow and never when the box is left. Leaving the box fills an empty one with 0, formats it to
// its decimals and checks the range.
TEST(NebEditing, LeavesTheTextTheCaretAndTheRangeFlag) {
  struct Case {
    int integerSize, decimalSize;
    double minimum, maximum;  // 0: the bound the sizes allow
    const char *before, *actions, *after;
    bool invalidRange = false;
  };
  const Case cases[] = {
      {5, 2, 0, 0, "|", ".5", "0.5|"},
      {5, 2, 0, 0, "|123", ".", "0.|"},
      {5, 2, -100, 0, "|", "-.", "0.|"},
      {5, 2, 0, 0, "1.5|", ".", "1.5|"},
      {5, 2, 0, 0, "1[.5]", ".", "1.|"},
      {5, 2, 0, 0, "|5", "-", "|5"},
      {5, 2, 0, 0, "1|", " ,a#", "1|"},
      {2, 0, 0, 0, "12|", "3", "12|"},
      {2, 0, 0, 0, "|12", "3", "|12"},
      {2, 0, 0, 0, "[1]2", "3", "3|2"},
      {2, 2, 0, 0, "1.25|", "3", "1.25|"},
      {2, 2, 0, 0, "|", "<123.456>", "12.45|"},
      {2, 2, 0, 0, "|", "<abc>", "|"},
      {2, 0, 0, 28, "|", "<50>", "50|", true},
      // The settings dialog's boxes: a pasted "-" never stays, wherever the caret goes next.
      {2, 0, 0, 99, "7|", "*<->5", "5|"},
      {2, 0, 0, 99, "7|", "*<->^5", "5|"},
      {2, 0, 0, 99, "|0", "<->1", "01|"},
      {2, 0, 0, 99, "|", "<-0>", "0|"},
      // A negative minimum: "-" only first, and not twice; left alone it goes.
      {5, 0, -100, 0, "|5", "-", "-|5"},
      {5, 0, -100, 0, "5|", "-", "5|"},
      {5, 0, -100, 0, "|-5", "-", "|-5"},
      {5, 0, -100, 0, "-|5", "-", "-|5"},
      {5, 0, -100, 0, "|", "-~", "|0"},
      {2, 2, 0, 28, "|", "~", "|0.00"},
      {2, 2, 0, 28, "1.256|", "~", "|1.26"},
      {2, 2, 0, 28, "50|", "~", "|50.00", true},
  };
  for (const Case& c : cases) {
    Box box(c.integerSize, c.decimalSize, c.minimum, c.maximum);
    box.Start(c.before);
    Use(box, c.actions);
    EXPECT_EQ(box.Marked(), c.after) << c.before << " then " << c.actions;
    EXPECT_EQ(box.neb.InvalidRange(), c.invalidRange) << c.before << " then " << c.actions;
  }
}

TEST(NumberText, ReadsTheLeadingNumberAndTellsWhetherTheWholeTextIsOne) {
  // text, the number it reads as, whether the whole text is a number
  const std::tuple<const char*, double, bool> cases[] = {
      {"", 0, false},       {"-", 0, false},          {".5", 0.5, true},
      {"-0012", -12, true}, {"12.5abc", 12.5, false}, {"1.2.3", 1.2, false}};
  for (const auto& [text, number, numeric] : cases) {
    EXPECT_DOUBLE_EQ(ReadNumber(text), number) << '"' << text << '"';
    EXPECT_EQ(IsNumeric(text), numeric) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace trafimo::controls
