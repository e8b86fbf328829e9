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
  explicit Box(int integerSize = 5, int decimalSize = 2, double minimum = 0) {
    neb.InitProperties();
    neb.SetIntegerSize(static_cast<std::int16_t>(integerSize));
    neb.SetDecimalSize(static_cast<std::int16_t>(decimalSize));
    if (minimum != 0) neb.SetMinimumValue(minimum);
    Start("", 0, 0);
    changes = 0;
  }
  // Loaded from its record: starts from creation, not from a new placement.
  explicit Box(const PropertyRecord& record) { neb.ReadProperties(record); }

  // The text as it stood before a sequence, without notifications.
  void Start(const std::string& before, int start, int length) {
    text = before;
    Select(start, length);
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

struct TypingCase {
  const char* name;
  int integerSize, decimalSize;
  double minimum;
  const char* before;
  int selStart, selLength;
  const char* keys;
  const char* after;
  int caret;
};

// ctest names the cases by what this prints.
void PrintTo(const TypingCase& c, std::ostream* os) {
  *os << c.name;
}

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, LeavesTheTextAndCaret) {
  const TypingCase& c = GetParam();
  Box box(c.integerSize, c.decimalSize, c.minimum);
  box.Start(c.before, c.selStart, c.selLength);
  box.Type(c.keys);
  EXPECT_EQ(box.text, c.after);
  EXPECT_EQ(box.selStart, c.caret);
  EXPECT_FALSE(box.neb.SkipNextChange()) << "every approved key was followed by its change";
}

INSTANTIATE_TEST_SUITE_P(
    Neb, Typing,
    ::testing::Values(
        TypingCase{"PointIntoEmpty", 5, 2, 0, "", 0, 0, ".", "0.", 2},
        TypingCase{"PointAtStartReplacesAll", 5, 2, 0, "123", 0, 0, ".", "0.", 2},
        TypingCase{"PointAfterLoneMinus", 5, 2, -100, "", 0, 0, "-.", "0.", 2},
        TypingCase{"PointRefusedWithoutDecimals", 2, 0, 0, "12", 2, 0, ".", "12", 2},
        TypingCase{"SecondPointRefused", 5, 2, 0, "1.5", 3, 0, ".", "1.5", 3},
        TypingCase{"MinusAtStartWithNegativeMinimum", 5, 2, -100, "", 0, 0, "-5", "-5", 2},
        TypingCase{"MinusBeforeMinus", 5, 2, -100, "-5", 0, 0, "-", "--5", 1},
        TypingCase{"MinusRefusedWithoutNegativeMinimum", 5, 2, 0, "5", 0, 0, "-", "5", 0},
        TypingCase{"MinusRefusedAfterStart", 5, 2, -100, "5", 1, 0, "-", "5", 1},
        TypingCase{"SpaceCommaAndLetterRefused", 5, 2, 0, "1", 1, 0, " ,a", "1", 1},
        TypingCase{"BackspacePasses", 5, 2, 0, "12", 2, 0, "\b", "1", 1},
        TypingCase{"ThirdDigitRefused", 2, 0, 0, "12", 2, 0, "3", "12", 2},
        TypingCase{"ThirdDigitReplacesAllSelected", 2, 0, 0, "12", 0, 2, "3", "3", 1},
        TypingCase{"ThirdDigitRefusedWithOneSelected", 2, 0, 0, "12", 1, 1, "3", "12", 1},
        TypingCase{"DecimalPartFull", 2, 2, 0, "1.25", 4, 0, "3", "1.25", 4},
        TypingCase{"IntegerRoomBeforePoint", 2, 2, 0, "1.25", 1, 0, "3", "13.25", 2},
        TypingCase{"DecimalRoomAfterFullInteger", 2, 2, 0, "12.5", 4, 0, "3", "12.53", 5},
        TypingCase{"CaretAtPointCountsAsInteger", 2, 2, 0, "12.5", 2, 0, "3", "12.5", 2}));

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

struct PasteCase {
  const char* name;
  int integerSize, decimalSize;
  double minimum, maximum;
  const char* pasted;
  const char* after;
  int caret;
  bool invalidRange;
};

void PrintTo(const PasteCase& c, std::ostream* os) {
  *os << c.name;
}

class Pasting : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Pasting, ValidatesTheText) {
  const PasteCase& c = GetParam();
  Box box(c.integerSize, c.decimalSize, c.minimum);
  box.neb.SetMaximumValue(c.maximum);
  box.Replace(c.pasted);
  EXPECT_EQ(box.text, c.after);
  EXPECT_EQ(box.selStart, c.caret);
  EXPECT_EQ(box.neb.InvalidRange(), c.invalidRange);
  EXPECT_FALSE(box.neb.SkipNextChange()) << "nested notifications consumed the flag";
  // The paste and, when the text was put right, the correction, each raised to the host.
  EXPECT_EQ(box.changes, box.text == c.pasted ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Neb, Pasting,
    ::testing::Values(
        PasteCase{"CutToSizes", 2, 2, 0, 99.99, "123.456", "12.45", 5, false},
        PasteCase{"LettersCleared", 2, 2, 0, 99.99, "abc", "", 0, false},
        PasteCase{"MinusDroppedAndFormatted", 5, 2, 0, 99999.99, "-5", "5.00", 4, false},
        PasteCase{"NegativeAllowed", 5, 2, -100, 99999.99, "-5", "-5", 2, false},
        PasteCase{"AboveMaximum", 2, 0, 0, 28, "50", "50", 2, true},
        PasteCase{"BelowMinimum", 5, 2, -100, 99999.99, "-200", "-200", 4, true},
        PasteCase{"PointWithNothingAfterDropped", 2, 0, 0, 99, "123.", "12", 2, false},
        PasteCase{"LoneMinusKept", 5, 2, 0, 99999.99, "-", "-", 1, false}));

TEST(NebValidation, TypedKeysAreNotValidatedUntilTheFocusLeaves) {
  Box box(2, 2);
  box.neb.SetMaximumValue(28);
  box.Type("50");
  EXPECT_EQ(box.text, "50");
  EXPECT_FALSE(box.neb.InvalidRange());
  box.neb.OnLostFocus();
  EXPECT_EQ(box.text, "50.00");
  EXPECT_TRUE(box.neb.InvalidRange());
  box.Start("", 0, 0);
  box.Replace("7");
  EXPECT_FALSE(box.neb.InvalidRange()) << "an unapproved change is validated again";
}

TEST(NebFocus, LosingFocusFormatsTheText) {
  // decimal size, minimum, text before, text after, value
  const std::vector<std::tuple<int, double, const char*, const char*, double>> cases = {
      {2, 0, "", "0.00", 0},         {0, 0, "", "0", 0},         {2, -100, "-", "-", 0},
      {2, 0, "1.256", "1.26", 1.26}, {2, -100, "--5", "--5", 0}, {0, 0, "12.", "12", 12}};
  for (const auto& [decimalSize, minimum, before, after, value] : cases) {
    Box box(5, decimalSize, minimum);
    box.Start(before, 0, 0);
    box.neb.OnLostFocus();
    EXPECT_EQ(box.text, after) << before;
    EXPECT_DOUBLE_EQ(box.neb.Value(), value) << before;
  }
}

TEST(NebFocus, GainingFocusSelectsEverythingSoTheFirstKeyReplacesIt) {
  Box box;
  box.Start("123.45", 2, 0);
  box.neb.OnGotFocus();
  EXPECT_EQ(box.selLength, 6);
  box.Type("7");
  EXPECT_EQ(box.text, "7");
}

TEST(NebProperties, ValueAndSizesAreFormattedAndBounded) {
  // Value: integer size, sign and decimals as the box allows.
  const std::vector<std::tuple<int, int, double, double, const char*>> values = {
      {5, 2, 0, -3, "3.00"},
      {5, 2, -100, -3, "-3.00"},
      {2, 0, 0, 123, "12"},
      {2, 2, 0, 1.256, "1.26"},
      {5, 0, 0, 12.5, "13"}};
  for (const auto& [integerSize, decimalSize, minimum, value, text] : values) {
    Box box(integerSize, decimalSize, minimum);
    box.neb.SetValue(value);
    EXPECT_EQ(box.text, text) << value;
  }
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
    EXPECT_EQ(box.messages.shown[0].text, "Invalid property value");
    EXPECT_EQ(box.messages.shown[0].title, "NumberBox");
    EXPECT_EQ(box.messages.shown[0].style, platform::kMbOk | platform::kMbIconStop);
    EXPECT_TRUE(box.changedProperties.empty());
    EXPECT_EQ(box.neb.IntegerSize(), 5);
    EXPECT_EQ(box.neb.DecimalSize(), 2);
    EXPECT_DOUBLE_EQ(box.neb.MaximumValue(), 99999.99);
    EXPECT_DOUBLE_EQ(box.neb.MinimumValue(), 0);
    EXPECT_EQ(box.text, "12.50");
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

  Box first(3, 1, -50);
  first.neb.SetMaximumValue(500);
  first.neb.SetValue(-12.3);
  first.neb.SetEnableEnterKey(false);
  first.neb.SetFont(NebFont{"Tahoma", 10, true, false});
  first.neb.SetBackColor(0x00FF00u);
  PropertyRecord record;
  first.neb.WriteProperties(record);
  Box loaded(record);
  EXPECT_TRUE(loaded.messages.shown.empty());
  EXPECT_EQ(loaded.neb.IntegerSize(), 3);
  EXPECT_EQ(loaded.neb.DecimalSize(), 1);
  EXPECT_FALSE(loaded.neb.EnableEnterKey());
  EXPECT_EQ(loaded.text, "-12.3");
  EXPECT_DOUBLE_EQ(loaded.neb.MinimumValue(), -50);
  EXPECT_DOUBLE_EQ(loaded.neb.MaximumValue(), 500);
  EXPECT_EQ(loaded.neb.Font(), (NebFont{"Tahoma", 10, true, false}));
  EXPECT_EQ(loaded.neb.BackColor(), 0x00FF00u);
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

TEST(NebNumbers, FormattingRoundsAndNeverShowsMinusZero) {
  const std::vector<std::tuple<double, int, const char*>> formats = {
      {9.995, 2, "10.00"}, {0.5, 0, "1"}, {-2.5, 0, "-3"}, {-0.001, 2, "0.00"}, {5, 3, "5.000"}};
  for (const auto& [number, decimals, text] : formats)
    EXPECT_EQ(FormatNumber(number, decimals), text) << number;
}

}  // namespace
}  // namespace trafimo::controls
