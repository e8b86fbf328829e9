// The numeric box's rules: the keystroke filter, the validation of changed text, the focus steps,
// the properties and the property record. Its number texts are in number_text_test.cpp.
#include "controls/neb.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace trafimo::controls {
namespace {

// A numeric box on a text box that behaves as the platform's EDIT: a typed key goes through the
// box's filter first, then replaces the selection; every real change raises the change
// notification. The box's host is the test itself.
struct Box : NebSite, NebEvents {
  std::string text;
  int selStart = 0, selLength = 0, tabs = 0, changes = 0;
  bool cancelKeys = false;
  std::vector<std::int16_t> keyPresses;
  std::vector<std::string> changedProperties;
  testing::FakeMessages messages;
  Neb neb{*this, messages, this};

  // Placed new, then given its sizes and bounds as a host would.
  explicit Box(int integerSize = 5, int decimalSize = 2, double minimum = 0, double maximum = 0) {
    neb.InitProperties();
    neb.SetIntegerSize(static_cast<std::int16_t>(integerSize));
    neb.SetDecimalSize(static_cast<std::int16_t>(decimalSize));
    if (minimum != 0) neb.SetMinimumValue(minimum);
    if (maximum != 0) neb.SetMaximumValue(maximum);
    Start("|");
    changes = 0;
  }
  // Loaded from its record: starts from creation, not from a new placement.
  explicit Box(const PropertyRecord& record) { neb.ReadProperties(record); }

  // Sets the text without notifications: "|" marks the caret, "[...]" the selection.
  void Start(const std::string& marked) {
    text.clear();
    for (const char c : marked) {
      if (c == '|' || c == '[') selStart = static_cast<int>(text.size()), selLength = 0;
      if (c == ']') selLength = static_cast<int>(text.size()) - selStart;
      if (c != '|' && c != '[' && c != ']') text += c;
    }
  }
  // The text marked as Start takes it.
  std::string Marked() const {
    if (selLength == 0) return text.substr(0, selStart) + "|" + text.substr(selStart);
    return text.substr(0, selStart) + "[" + text.substr(selStart, selLength) + "]" +
           text.substr(selStart + selLength);
  }
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
      if (key == 8 && selLength == 0 && selStart > 0) Select(selStart - 1, 1);
      if (key == 8 || key >= 32) Replace(key == 8 ? "" : std::string(1, static_cast<char>(key)));
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
  void Select(int start, int length) override {
    selStart = start;
    selLength = length;
  }
  void SendTab() override { ++tabs; }
  void KeyPress(std::int16_t& key) override {
    keyPresses.push_back(key);
    if (cancelKeys) key = 0;
  }
  void Change() override { ++changes; }
  void PropertyChanged(std::string_view name) override { changedProperties.emplace_back(name); }
};

struct EditCase {
  const char* name;
  int integerSize, decimalSize;
  double minimum, maximum;  // 0: the bound the sizes allow
  const char* before;       // "|" at the caret, "[...]" around the selection
  bool paste;               // typed key by key, or pasted over the selection
  const char* input;
  const char* after;
  bool invalidRange = false;
  friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
};

class Editing : public ::testing::TestWithParam<EditCase> {};

// Typed keys are filtered and not validated; a pasted text is validated and put right.
TEST_P(Editing, LeavesTheTextTheCaretAndTheRangeFlag) {
  const EditCase& c = GetParam();
  Box box(c.integerSize, c.decimalSize, c.minimum, c.maximum);
  box.Start(c.before);
  c.paste ? box.Replace(c.input) : box.Type(c.input);
  EXPECT_EQ(box.Marked(), c.after);
  EXPECT_EQ(box.neb.InvalidRange(), c.invalidRange);
  EXPECT_FALSE(box.neb.SkipNextChange()) << "every skipped change was consumed";
  // The paste and, when the text was put right, the correction, each raised to the host.
  if (c.paste) {
    EXPECT_EQ(box.changes, box.text == c.input ? 1 : 2);
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Neb, Editing, ::testing::Values(
    EditCase{"PointIntoEmptyThenADigit", 5, 2, 0, 0, "|", false, ".5", "0.5|"},
    EditCase{"PointAtStartReplacesAll", 5, 2, 0, 0, "|123", false, ".", "0.|"},
    EditCase{"PointAfterLoneMinus", 5, 2, -100, 0, "|", false, "-.", "0.|"},
    EditCase{"PointRefusedWithoutDecimals", 2, 0, 0, 0, "12|", false, ".", "12|"},
    EditCase{"SecondPointRefused", 5, 2, 0, 0, "1.5|", false, ".", "1.5|"},
    EditCase{"MinusAtStartWithNegativeMinimum", 5, 2, -100, 0, "|", false, "-5", "-5|"},
    EditCase{"MinusBeforeMinus", 5, 2, -100, 0, "|-5", false, "-", "-|-5"},
    EditCase{"MinusRefusedWithoutNegativeMinimum", 5, 2, 0, 0, "|5", false, "-", "|5"},
    EditCase{"MinusRefusedAfterStart", 5, 2, -100, 0, "5|", false, "-", "5|"},
    EditCase{"SpaceCommaAndLetterRefused", 5, 2, 0, 0, "1|", false, " ,a", "1|"},
    EditCase{"BackspacePasses", 5, 2, 0, 0, "12|", false, "\b", "1|"},
    EditCase{"ThirdDigitRefused", 2, 0, 0, 0, "12|", false, "3", "12|"},
    EditCase{"ThirdDigitReplacesAllSelected", 2, 0, 0, 0, "[12]", false, "3", "3|"},
    EditCase{"ThirdDigitRefusedWithOneSelected", 2, 0, 0, 0, "1[2]", false, "3", "1[2]"},
    EditCase{"DecimalPartFull", 2, 2, 0, 0, "1.25|", false, "3", "1.25|"},
    EditCase{"IntegerRoomBeforePoint", 2, 2, 0, 0, "1|.25", false, "3", "13|.25"},
    EditCase{"DecimalRoomAfterFullInteger", 2, 2, 0, 0, "12.5|", false, "3", "12.53|"},
    EditCase{"CaretAtPointCountsAsInteger", 2, 2, 0, 0, "12|.5", false, "3", "12|.5"},
    EditCase{"TypedAboveMaximumIsNotValidated", 2, 0, 0, 28, "|", false, "50", "50|"},
    EditCase{"PasteCutToSizes", 2, 2, 0, 0, "|", true, "123.456", "12.45|"},
    EditCase{"PastedLettersCleared", 2, 2, 0, 0, "|", true, "abc", "|"},
    EditCase{"PastedMinusDroppedAndFormatted", 5, 2, 0, 0, "|", true, "-5", "5.00|"},
    EditCase{"PastedNegativeAllowed", 5, 2, -100, 0, "|", true, "-5", "-5|"},
    EditCase{"PastedAboveMaximum", 2, 0, 0, 28, "|", true, "50", "50|", true},
    EditCase{"PastedBelowMinimum", 5, 2, -100, 0, "|", true, "-200", "-200|", true},
    EditCase{"PastedPointWithNothingAfterDropped", 2, 0, 0, 0, "|", true, "123.", "12|"},
    EditCase{"PastedLoneMinusKept", 5, 2, 0, 0, "|", true, "-", "-|"}));
// clang-format on

TEST(NebKeys, ControlCharactersPassAndEnterGoesToTheHostThenMovesOn) {
  Box box;
  for (std::int16_t code : {1, 3, 22, 27, 31}) {
    std::int16_t key = code;
    box.neb.OnKeyPress(key);
    EXPECT_EQ(key, code);
  }
  for (const bool enterMoves : {true, false}) {
    Box enter;
    enter.neb.SetEnableEnterKey(enterMoves);
    std::int16_t key = 13;
    enter.neb.OnKeyPress(key);
    EXPECT_EQ(key, 0) << "Enter never reaches the text box";
    EXPECT_EQ(enter.tabs, enterMoves ? 1 : 0);
    EXPECT_EQ(enter.keyPresses, std::vector<std::int16_t>{13});
  }
  box.cancelKeys = true;
  box.Type("12");
  EXPECT_EQ(box.text, "") << "a key the host cancels is not typed";
}

TEST(NebFocus, LeavingFillsAnEmptyBoxWithZeroFormatsAndValidates) {
  // decimal size, text before, text after
  const std::vector<std::tuple<int, const char*, const char*>> cases = {
      {2, "", "0.00"}, {0, "", "0"}, {2, "1.256", "1.26"}, {2, "50", "50.00"}};
  for (const auto& [decimalSize, before, after] : cases) {
    Box box(2, decimalSize, 0, 28);
    box.Start(before);
    box.neb.OnLostFocus();
    EXPECT_EQ(box.text, after) << before;
    EXPECT_DOUBLE_EQ(box.neb.Value(), ReadNumber(after)) << before;
    EXPECT_EQ(box.neb.InvalidRange(), ReadNumber(after) > 28) << before;
    box.Start("|");
    box.Replace("7");
    EXPECT_FALSE(box.neb.InvalidRange()) << "the next change is validated again";
  }
}

TEST(NebFocus, GainingFocusSelectsEverythingSoTheFirstKeyReplacesIt) {
  Box box;
  box.Start("12|3.45");
  box.neb.OnGotFocus();
  EXPECT_EQ(box.Marked(), "[123.45]");
  box.Type("7");
  EXPECT_EQ(box.text, "7");
}

TEST(NebProperties, ADecimalSizeReformatsTheTextAndTheSizesBoundTheLimits) {
  Box box(5, 2);
  box.neb.SetValue(12.75);
  box.neb.SetDecimalSize(0);
  EXPECT_EQ(box.text, "13");
  box.neb.SetDecimalSize(2);
  box.neb.SetValue(12345.67);
  box.neb.SetIntegerSize(3);
  EXPECT_EQ(box.text, "12345.67") << "the text is not reformatted";
  EXPECT_DOUBLE_EQ(box.neb.MaximumValue(), 999.99);
  EXPECT_DOUBLE_EQ(box.neb.MinimumValue(), 0) << "a minimum above the old lowest limit stays";
  box.neb.SetMinimumValue(-999.99);
  box.neb.SetIntegerSize(1);
  EXPECT_DOUBLE_EQ(box.neb.MinimumValue(), -9.99) << "a minimum at the lowest limit follows it";
}

TEST(NebProperties, RefusedValuesShowThePropertyMessageAndChangeNothing) {
  const std::vector<std::pair<const char*, void (*)(Neb&)>> refusals = {
      {"IntegerSize 0", [](Neb& n) { n.SetIntegerSize(0); }},
      {"IntegerSize 13", [](Neb& n) { n.SetIntegerSize(13); }},
      {"DecimalSize 10", [](Neb& n) { n.SetDecimalSize(10); }},
      {"maximum above the limit", [](Neb& n) { n.SetMaximumValue(100000); }},
      {"minimum below the limit", [](Neb& n) { n.SetMinimumValue(-100000); }}};
  for (const auto& [name, apply] : refusals) {
    SCOPED_TRACE(name);
    Box box(5, 2);
    box.neb.SetValue(12.5);
    box.changedProperties.clear();
    apply(box.neb);
    ASSERT_EQ(box.messages.shown.size(), 1u);
    const auto& [text, title, style, owner] = box.messages.shown[0];
    EXPECT_EQ(text + "|" + title, "Invalid property value|NumberBox");
    EXPECT_EQ(style, platform::kMbOk | platform::kMbIconStop);
    EXPECT_TRUE(box.changedProperties.empty());
    EXPECT_EQ(std::make_tuple(box.neb.IntegerSize(), box.neb.DecimalSize(), box.neb.MaximumValue(),
                              box.neb.MinimumValue(), box.text),
              std::make_tuple(5, 2, 99999.99, 0.0, std::string("12.50")));
  }
}

TEST(NebRecord, DefaultsAreLeftOutAndTheRestReadsBackIntoAnotherBox) {
  Box fresh;
  fresh.neb.InitProperties();
  EXPECT_EQ(fresh.text, "0.00");
  PropertyRecord defaults;
  fresh.neb.WriteProperties(defaults);
  EXPECT_EQ(defaults.size(), 3u) << "values at their defaults are left out";
  EXPECT_TRUE(defaults.Has("font") && defaults.Has("BACKCOLOR") && defaults.Has("ToolTipText"));

  Box first(3, 1, -50, 500);
  first.neb.SetValue(-12.3);
  first.neb.SetEnableEnterKey(false);
  first.neb.SetFont(NebFont{"Tahoma", 10, true, false});
  first.neb.SetBackColor(0x00FF00u);
  PropertyRecord record;
  first.neb.WriteProperties(record);
  Box loaded(record);
  EXPECT_TRUE(loaded.messages.shown.empty());
  const Neb& n = loaded.neb;
  EXPECT_EQ(std::make_tuple(n.IntegerSize(), n.DecimalSize(), n.EnableEnterKey(), loaded.text,
                            n.MinimumValue(), n.MaximumValue(), n.Font(), n.BackColor()),
            std::make_tuple(3, 1, false, std::string("-12.3"), -50.0, 500.0,
                            NebFont{"Tahoma", 10, true, false}, 0x00FF00u));
}

TEST(NebRecord, NamesIgnoreCaseUnreadableValuesAreSkippedRefusedOnesReported) {
  PropertyRecord record;
  record.Set("integersize", std::string("lots"));
  record.Set("DECIMALSIZE", std::int32_t{0});
  record.Set("value", 42.0);
  Box box;
  box.neb.ReadProperties(record);
  EXPECT_EQ(box.neb.IntegerSize(), 5);
  EXPECT_EQ(box.text, "42");
  EXPECT_TRUE(box.messages.shown.empty());
  record.Set("IntegerSize", std::int32_t{13});
  box.neb.ReadProperties(record);
  EXPECT_EQ(box.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace trafimo::controls
