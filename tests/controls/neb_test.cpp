// The numeric box's rules: the keystroke filter, the validation of pasted text and leaving the
// box. Its number texts are in number_text_test.cpp.
#include "controls/neb.h"

#include <gtest/gtest.h>

#include <string>

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
  // Sets the text without notifications: "|" marks the caret.
  void Start(const std::string& marked) {
    text.clear();
    for (const char c : marked) {
      if (c == '|') selStart = static_cast<int>(text.size()), selLength = 0;
      if (c != '|') text += c;
    }
  }
  // The text as Start takes it.
  std::string Marked() const { return text.substr(0, selStart) + "|" + text.substr(selStart); }
  void Replace(const std::string& inserted) {
    const std::string before = text;
    text = before.substr(0, selStart) + inserted + before.substr(selStart + selLength);
    Select(selStart + static_cast<int>(inserted.size()), 0);
    if (text != before) neb.OnChange();
  }
  void Type(const std::string& keys) {
    for (const char c : keys) {
      std::int16_t key = static_cast<unsigned char>(c);
      neb.OnKeyPress(key);
      if (key >= 32) Replace(std::string(1, static_cast<char>(key)));
    }
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

// Typed keys are filtered and not validated; a pasted text is validated and put right.
TEST(NebEditing, LeavesTheTextTheCaretAndTheRangeFlag) {
  struct Case {
    int integerSize, decimalSize;
    double minimum, maximum;  // 0: the bound the sizes allow
    const char *before, *input;
    bool paste;
    const char* after;
    bool invalidRange = false;
  };
  const Case cases[] = {
      {5, 2, 0, 0, "|", ".5", false, "0.5|"},       {5, 2, 0, 0, "|123", ".", false, "0.|"},
      {5, 2, -100, 0, "|", "-.", false, "0.|"},     {5, 2, 0, 0, "1.5|", ".", false, "1.5|"},
      {5, 2, 0, 0, "|5", "-", false, "|5"},         {5, 2, 0, 0, "1|", " ,a", false, "1|"},
      {2, 0, 0, 0, "12|", "3", false, "12|"},       {2, 2, 0, 0, "1.25|", "3", false, "1.25|"},
      {2, 2, 0, 0, "|", "123.456", true, "12.45|"}, {2, 2, 0, 0, "|", "abc", true, "|"},
      {2, 0, 0, 28, "|", "50", true, "50|", true}};
  for (const Case& c : cases) {
    Box box(c.integerSize, c.decimalSize, c.minimum, c.maximum);
    box.Start(c.before);
    c.paste ? box.Replace(c.input) : box.Type(c.input);
    EXPECT_EQ(box.Marked(), c.after) << c.before << " + " << c.input;
    EXPECT_EQ(box.neb.InvalidRange(), c.invalidRange) << c.before << " + " << c.input;
  }
}

TEST(NebFocus, LeavingFillsAnEmptyBoxWithZeroFormatsAndValidates) {
  // decimal size, text before, text after
  const std::tuple<int, const char*, const char*> cases[] = {
      {2, "", "0.00"}, {0, "", "0"}, {2, "1.256", "1.26"}, {2, "50", "50.00"}};
  for (const auto& [decimalSize, before, after] : cases) {
    Box box(2, decimalSize, 0, 28);
    box.Start(before);
    box.neb.OnLostFocus();
    EXPECT_EQ(box.text, after) << before;
    EXPECT_EQ(box.neb.InvalidRange(), ReadNumber(after) > 28) << before;
  }
}

}  // namespace
}  // namespace trafimo::controls
