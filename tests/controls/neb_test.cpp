#include "controls/neb.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace trafimo::controls {
namespace {

// A single-line text box as the platform's EDIT behaves: a typed key goes through the box's
// filter first, then replaces the selection; every real change raises the change notification.
class TextBox : public NebSite {
 public:
  std::string text;
  int selStart = 0;
  int selLength = 0;
  int tabs = 0;
  Neb* neb = nullptr;

  std::string Text() const override { return text; }
  void SetText(std::string_view newText) override {
    if (newText == text) return;
    text = std::string(newText);
    selStart = 0;
    selLength = 0;
    neb->OnChange();
  }
  int SelStart() const override { return selStart; }
  int SelLength() const override { return selLength; }
  void Select(int start, int length) override {
    selStart = start;
    selLength = length;
  }
  void SendTab() override { ++tabs; }

  void Replace(const std::string& inserted) {
    const std::string before = text;
    text = before.substr(0, selStart) + inserted + before.substr(selStart + selLength);
    selStart += static_cast<int>(inserted.size());
    selLength = 0;
    if (text != before) neb->OnChange();
  }
  void Type(char c) {
    std::int16_t key = static_cast<unsigned char>(c);
    neb->OnKeyPress(key);
    if (key == 0) return;
    if (key == 8) {
      if (selLength == 0 && selStart > 0) Select(selStart - 1, 1);
      Replace("");
    } else if (key >= 32) {
      Replace(std::string(1, static_cast<char>(key)));
    }
  }
  void TypeAll(const std::string& keys) {
    for (char c : keys)
      Type(c);
  }
};

struct Events : NebEvents {
  std::vector<std::int16_t> keyPresses;
  std::vector<std::string> changedProperties;
  int changes = 0;
  bool cancelKeys = false;
  void KeyPress(std::int16_t& key) override {
    keyPresses.push_back(key);
    if (cancelKeys) key = 0;
  }
  void Change() override { ++changes; }
  void PropertyChanged(std::string_view name) override { changedProperties.emplace_back(name); }
};

// One box set up the way a host would: placed new, then given its sizes and bounds.
struct Box {
  testing::FakeMessages messages;
  TextBox textBox;
  Events events;
  Neb neb{textBox, messages, &events};

  Box(int integerSize = 5, int decimalSize = 2, double minimum = 0) {
    textBox.neb = &neb;
    neb.InitProperties();
    neb.SetIntegerSize(static_cast<std::int16_t>(integerSize));
    neb.SetDecimalSize(static_cast<std::int16_t>(decimalSize));
    if (minimum != 0) neb.SetMinimumValue(minimum);
    Start("", 0, 0);
  }
  // Puts a text into the box as it stood before the sequence, without notifications.
  void Start(const std::string& text, int selStart, int selLength) {
    textBox.text = text;
    textBox.Select(selStart, selLength);
  }
};

// --- Typing ----------------------------------------------------------------------------------

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

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, LeavesTheTextAndCaret) {
  const TypingCase& c = GetParam();
  Box box(c.integerSize, c.decimalSize, c.minimum);
  box.Start(c.before, c.selStart, c.selLength);
  box.textBox.TypeAll(c.keys);
  EXPECT_EQ(box.textBox.text, c.after);
  EXPECT_EQ(box.textBox.selStart, c.caret);
  EXPECT_FALSE(box.neb.SkipNextChange()) << "every approved key was followed by its change";
}

INSTANTIATE_TEST_SUITE_P(
    Neb, Typing,
    ::testing::Values(
        TypingCase{"PointIntoEmpty", 5, 2, 0, "", 0, 0, ".", "0.", 2},
        TypingCase{"PointAtStartReplacesAll", 5, 2, 0, "123", 0, 0, ".", "0.", 2},
        TypingCase{"PointAfterLoneMinus", 5, 2, -100, "", 0, 0, "-.", "0.", 2},
        TypingCase{"PointThenDigits", 5, 2, 0, "", 0, 0, ".25", "0.25", 4},
        TypingCase{"PointRefusedWithoutDecimals", 2, 0, 0, "12", 2, 0, ".", "12", 2},
        TypingCase{"SecondPointRefused", 5, 2, 0, "1.5", 3, 0, ".", "1.5", 3},
        TypingCase{"MinusAtStartWithNegativeMinimum", 5, 2, -100, "", 0, 0, "-5", "-5", 2},
        TypingCase{"MinusBeforeMinus", 5, 2, -100, "-5", 0, 0, "-", "--5", 1},
        TypingCase{"MinusRefusedWithoutNegativeMinimum", 5, 2, 0, "5", 0, 0, "-", "5", 0},
        TypingCase{"MinusRefusedAfterStart", 5, 2, -100, "5", 1, 0, "-", "5", 1},
        TypingCase{"SpaceRefused", 5, 2, 0, "1", 1, 0, " ", "1", 1},
        TypingCase{"CommaRefused", 5, 2, 0, "1", 1, 0, ",", "1", 1},
        TypingCase{"LetterRefused", 5, 2, 0, "1", 1, 0, "a", "1", 1},
        TypingCase{"BackspacePasses", 5, 2, 0, "12", 2, 0, "\b", "1", 1},
        TypingCase{"ThirdDigitRefused", 2, 0, 0, "12", 2, 0, "3", "12", 2},
        TypingCase{"ThirdDigitReplacesAllSelected", 2, 0, 0, "12", 0, 2, "3", "3", 1},
        TypingCase{"ThirdDigitRefusedWithOneSelected", 2, 0, 0, "12", 1, 1, "3", "12", 1},
        TypingCase{"DecimalPartFull", 2, 2, 0, "1.25", 4, 0, "3", "1.25", 4},
        TypingCase{"IntegerRoomBeforePoint", 2, 2, 0, "1.25", 1, 0, "3", "13.25", 2},
        TypingCase{"DecimalRoomAfterFullInteger", 2, 2, 0, "12.5", 4, 0, "3", "12.53", 5},
        TypingCase{"CaretAtPointCountsAsInteger", 2, 2, 0, "12.5", 2, 0, "3", "12.5", 2},
        TypingCase{"TwoDigitsIntoEmpty", 2, 0, 0, "", 0, 0, "283", "28", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NebKeys, ControlCharactersAndEnter) {
  Box box;
  for (std::int16_t code : {1, 3, 22, 27, 31}) {
    std::int16_t key = code;
    box.neb.OnKeyPress(key);
    EXPECT_EQ(key, code) << "control character " << code << " passes unchanged";
  }
  EXPECT_FALSE(box.neb.SkipNextChange());

  for (bool enterMoves : {true, false}) {
    Box enterBox;
    enterBox.neb.SetEnableEnterKey(enterMoves);
    std::int16_t key = 13;
    enterBox.neb.OnKeyPress(key);
    EXPECT_EQ(key, 0) << "Enter never reaches the text box";
    EXPECT_EQ(enterBox.textBox.tabs, enterMoves ? 1 : 0);
    ASSERT_FALSE(enterBox.events.keyPresses.empty());
    EXPECT_EQ(enterBox.events.keyPresses.back(), 13) << "the host sees Enter first";
  }

  Box cancelling;
  cancelling.events.cancelKeys = true;
  cancelling.textBox.TypeAll("12");
  EXPECT_EQ(cancelling.textBox.text, "") << "a key the host cancels is not typed";
}

// --- Pasting and other changes the filter did not approve ------------------------------------

struct PasteCase {
  const char* name;
  int integerSize, decimalSize;
  double minimum, maximum;
  const char* pasted;
  const char* after;
  int caret;  // -1: not checked
  bool invalidRange;
};

class Pasting : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Pasting, ValidatesTheText) {
  const PasteCase& c = GetParam();
  Box box(c.integerSize, c.decimalSize, c.minimum);
  box.neb.SetMaximumValue(c.maximum);
  box.textBox.Replace(c.pasted);
  EXPECT_EQ(box.textBox.text, c.after);
  if (c.caret >= 0) {
    EXPECT_EQ(box.textBox.selStart, c.caret);
  }
  EXPECT_EQ(box.neb.InvalidRange(), c.invalidRange);
  EXPECT_FALSE(box.neb.SkipNextChange()) << "nested notifications consumed the flag";
}

INSTANTIATE_TEST_SUITE_P(
    Neb, Pasting,
    ::testing::Values(
        PasteCase{"CutToSizes", 2, 2, 0, 99.99, "123.456", "12.45", 5, false},
        PasteCase{"LettersCleared", 2, 2, 0, 99.99, "abc", "", -1, false},
        PasteCase{"MinusDroppedAndFormatted", 5, 2, 0, 99999.99, "-5", "5.00", 4, false},
        PasteCase{"NegativeAllowed", 5, 2, -100, 99999.99, "-5", "-5", -1, false},
        PasteCase{"AboveMaximum", 2, 0, 0, 28, "50", "50", -1, true},
        PasteCase{"BelowMinimum", 5, 2, -100, 99999.99, "-200", "-200", -1, true},
        PasteCase{"PointWithNothingAfterDropped", 2, 0, 0, 99, "123.", "12", 2, false},
        PasteCase{"LoneMinusKept", 5, 2, 0, 99999.99, "-", "-", -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NebValidation, ReplacementRaisesOneNestedChange) {
  Box box(2, 2);
  box.events.changes = 0;
  box.textBox.Replace("123.456");
  EXPECT_EQ(box.events.changes, 2) << "the paste and the cut, each raised to the host";
  box.events.changes = 0;
  box.textBox.Replace("x");
  EXPECT_EQ(box.textBox.text, "");
  EXPECT_EQ(box.events.changes, 2) << "the paste and the clearing";
}

TEST(NebValidation, TypedKeysKeepInvalidRangeAndFocusLossFormatsIt) {
  Box whole(2, 0);
  whole.neb.SetMaximumValue(28);
  whole.textBox.TypeAll("50");
  EXPECT_EQ(whole.textBox.text, "50");
  EXPECT_FALSE(whole.neb.InvalidRange()) << "typed keys are not validated";
  whole.neb.OnLostFocus();
  EXPECT_FALSE(whole.neb.InvalidRange()) << "formatting did not change the text";

  Box decimals(2, 2);
  decimals.neb.SetMaximumValue(28);
  decimals.textBox.TypeAll("50");
  EXPECT_FALSE(decimals.neb.InvalidRange());
  decimals.neb.OnLostFocus();
  EXPECT_EQ(decimals.textBox.text, "50.00");
  EXPECT_TRUE(decimals.neb.InvalidRange());

  decimals.textBox.Select(0, 5);
  decimals.textBox.Type('\b');
  EXPECT_EQ(decimals.textBox.text, "");
  decimals.textBox.Replace("7");
  EXPECT_FALSE(decimals.neb.InvalidRange()) << "an unapproved change is validated again";
}

// --- Focus -----------------------------------------------------------------------------------

struct FocusCase {
  int decimalSize;
  double minimum;
  const char* before;
  const char* after;
  double value;
};

class FocusLoss : public ::testing::TestWithParam<FocusCase> {};

TEST_P(FocusLoss, FormatsTheText) {
  const FocusCase& c = GetParam();
  Box box(5, c.decimalSize, c.minimum);
  box.Start(c.before, 0, 0);
  box.neb.OnLostFocus();
  EXPECT_EQ(box.textBox.text, c.after);
  EXPECT_DOUBLE_EQ(box.neb.Value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Neb, FocusLoss,
    ::testing::Values(FocusCase{2, 0, "", "0.00", 0}, FocusCase{0, 0, "", "0", 0},
                      FocusCase{2, -100, "-", "-", 0}, FocusCase{2, 0, "5", "5.00", 5},
                      FocusCase{2, 0, "1.256", "1.26", 1.26}, FocusCase{2, -100, "--5", "--5", 0},
                      FocusCase{0, 0, "12.", "12", 12}));

TEST(NebFocus, GainingFocusSelectsEverything) {
  Box box;
  box.Start("123.45", 2, 0);
  box.neb.OnGotFocus();
  EXPECT_EQ(box.textBox.selStart, 0);
  EXPECT_EQ(box.textBox.selLength, 6);
  box.textBox.Type('7');
  EXPECT_EQ(box.textBox.text, "7") << "the first key replaces the text";
}

// --- Properties ------------------------------------------------------------------------------

struct ValueCase {
  int integerSize, decimalSize;
  double minimum, value;
  const char* text;
};

class ValueSetter : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueSetter, WritesTheFormattedValue) {
  const ValueCase& c = GetParam();
  Box box(c.integerSize, c.decimalSize, c.minimum);
  box.neb.SetValue(c.value);
  EXPECT_EQ(box.textBox.text, c.text);
  EXPECT_DOUBLE_EQ(box.neb.Value(), ReadNumber(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Neb, ValueSetter,
    ::testing::Values(ValueCase{5, 2, 0, -3, "3.00"}, ValueCase{5, 2, -100, -3, "-3.00"},
                      ValueCase{2, 0, 0, 123, "12"}, ValueCase{2, 2, 0, 1.256, "1.26"},
                      ValueCase{5, 0, 0, 12.5, "13"}, ValueCase{2, 0, 0, 7, "7"}));

TEST(NebProperties, DecimalSizeReformatsIntegerSizeOnlyMovesTheBounds) {
  Box box(5, 2);
  box.neb.SetValue(12.75);
  box.neb.SetDecimalSize(0);
  EXPECT_EQ(box.textBox.text, "13");
  EXPECT_EQ(box.neb.FormatMask(), "0");

  box.neb.SetDecimalSize(2);
  box.neb.SetValue(12345.67);
  box.neb.SetIntegerSize(3);
  EXPECT_EQ(box.textBox.text, "12345.67") << "the text is not reformatted";
  EXPECT_DOUBLE_EQ(box.neb.MaximumValue(), 999.99);
  EXPECT_DOUBLE_EQ(box.neb.HighestLimit(), 999.99);
  EXPECT_DOUBLE_EQ(box.neb.MinimumValue(), 0) << "a minimum above the old lowest limit stays";

  box.neb.SetMinimumValue(-999.99);
  box.neb.SetIntegerSize(1);
  EXPECT_DOUBLE_EQ(box.neb.MinimumValue(), -9.99) << "a minimum at the lowest limit follows it";
}

struct RefusedCase {
  const char* name;
  void (*apply)(Neb&);
};

class RefusedProperty : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedProperty, ShowsThePropertyMessageAndChangesNothing) {
  Box box(5, 2);
  box.neb.SetValue(12.5);
  box.events.changedProperties.clear();
  GetParam().apply(box.neb);
  ASSERT_EQ(box.messages.shown.size(), 1u);
  EXPECT_EQ(box.messages.shown[0].text, "Invalid property value");
  EXPECT_EQ(box.messages.shown[0].title, "NumberBox");
  EXPECT_EQ(box.messages.shown[0].style, platform::kMbOk | platform::kMbIconStop);
  EXPECT_TRUE(box.events.changedProperties.empty());
  EXPECT_EQ(box.neb.IntegerSize(), 5);
  EXPECT_EQ(box.neb.DecimalSize(), 2);
  EXPECT_DOUBLE_EQ(box.neb.MaximumValue(), 99999.99);
  EXPECT_DOUBLE_EQ(box.neb.MinimumValue(), 0);
  EXPECT_EQ(box.textBox.text, "12.50");
}

INSTANTIATE_TEST_SUITE_P(
    Neb, RefusedProperty,
    ::testing::Values(RefusedCase{"IntegerSize0", [](Neb& n) { n.SetIntegerSize(0); }},
                      RefusedCase{"IntegerSize13", [](Neb& n) { n.SetIntegerSize(13); }},
                      RefusedCase{"DecimalSize10", [](Neb& n) { n.SetDecimalSize(10); }},
                      RefusedCase{"MaximumAboveLimit", [](Neb& n) { n.SetMaximumValue(100000); }},
                      RefusedCase{"MinimumBelowLimit", [](Neb& n) { n.SetMinimumValue(-100000); }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The record ------------------------------------------------------------------------------

TEST(NebRecord, NewInstanceDefaultsAndWhatIsWritten) {
  Box box;
  Neb& fresh = box.neb;
  fresh.InitProperties();
  EXPECT_EQ(fresh.IntegerSize(), 5);
  EXPECT_EQ(fresh.DecimalSize(), 2);
  EXPECT_EQ(fresh.FormatMask(), "0.00");
  EXPECT_DOUBLE_EQ(fresh.MinimumValue(), 0);
  EXPECT_DOUBLE_EQ(fresh.MaximumValue(), 99999.99);
  EXPECT_TRUE(fresh.EnableEnterKey());
  EXPECT_EQ(box.textBox.text, "0.00");

  PropertyRecord record;
  fresh.WriteProperties(record);
  EXPECT_EQ(record.size(), 3u) << "values at their defaults are left out";
  EXPECT_TRUE(record.Has("font") && record.Has("BACKCOLOR") && record.Has("ToolTipText"));
}

TEST(NebRecord, WrittenRecordReadsBackIntoAnotherBox) {
  Box first(3, 1, -50);
  first.neb.SetMaximumValue(500);
  first.neb.SetValue(-12.3);
  first.neb.SetEnableEnterKey(false);
  first.neb.SetFont(NebFont{"Tahoma", 10, true, false});
  first.neb.SetBackColor(0x00FF00u);
  PropertyRecord record;
  first.neb.WriteProperties(record);

  // An instance loaded from its record starts from creation, not from a new placement.
  testing::FakeMessages messages;
  TextBox textBox;
  Neb loaded(textBox, messages);
  textBox.neb = &loaded;
  loaded.ReadProperties(record);
  EXPECT_TRUE(messages.shown.empty());
  Neb& got = loaded;
  EXPECT_EQ(got.IntegerSize(), 3);
  EXPECT_EQ(got.DecimalSize(), 1);
  EXPECT_FALSE(got.EnableEnterKey());
  EXPECT_EQ(textBox.text, "-12.3");
  EXPECT_DOUBLE_EQ(got.MinimumValue(), -50);
  EXPECT_DOUBLE_EQ(got.MaximumValue(), 500);
  EXPECT_EQ(got.Font(), (NebFont{"Tahoma", 10, true, false}));
  EXPECT_EQ(got.BackColor(), 0x00FF00u);
}

TEST(NebRecord, NamesIgnoreCaseAndUnusableValuesAreSkipped) {
  PropertyRecord record;
  record.Set("integersize", std::string("lots"));
  record.Set("DECIMALSIZE", std::int32_t{0});
  record.Set("value", 42.0);
  Box box;
  box.messages.shown.clear();
  box.neb.ReadProperties(record);
  EXPECT_EQ(box.neb.IntegerSize(), 5) << "the unreadable size was passed over";
  EXPECT_EQ(box.neb.DecimalSize(), 0);
  EXPECT_EQ(box.textBox.text, "42");
  EXPECT_TRUE(box.messages.shown.empty());

  PropertyRecord outOfRange;
  outOfRange.Set("IntegerSize", std::int32_t{13});
  box.neb.ReadProperties(outOfRange);
  EXPECT_EQ(box.messages.shown.size(), 1u) << "a refused value shows its message while reading";
}

// --- Helpers ---------------------------------------------------------------------------------

TEST(NebNumbers, ReadFormatSplit) {
  const std::vector<std::pair<const char*, double>> reads = {
      {"", 0},    {"-", 0},        {".", 0},   {"0.", 0},     {"12.50", 12.5},
      {"--5", 0}, {"-3.5x", -3.5}, {"abc", 0}, {"-.5", -0.5}, {"1.2.3", 1.2}};
  for (const auto& [text, number] : reads)
    EXPECT_DOUBLE_EQ(ReadNumber(text), number) << text;

  const std::vector<std::tuple<double, int, const char*>> formats = {
      {1.256, 2, "1.26"}, {12.75, 0, "13"},    {9.995, 2, "10.00"},       {0.5, 0, "1"},
      {-2.5, 0, "-3"},    {-0.001, 2, "0.00"}, {99999.99, 2, "99999.99"}, {5, 3, "5.000"}};
  for (const auto& [number, decimals, text] : formats)
    EXPECT_EQ(FormatNumber(number, decimals), text) << number;

  for (const char* text : {"", "-", ".", "--5", "1.2.3", "1 ", "1,000"})
    EXPECT_FALSE(IsNumeric(text)) << text;

  const TextParts negative = SplitText("-12.345");
  EXPECT_EQ(negative.signCount, 1);
  EXPECT_EQ(negative.pointPosition, 4);
  EXPECT_EQ(negative.integerPart, "12");
  EXPECT_EQ(negative.decimalPart, "345");
  const TextParts whole = SplitText("7");
  EXPECT_EQ(whole.pointPosition, 2);
  EXPECT_EQ(whole.integerPart, "7");
  EXPECT_EQ(whole.decimalPart, "");

  EXPECT_EQ(NebHeightAfterResize(100), 300);
  EXPECT_EQ(NebHeightAfterResize(300), 300);
  EXPECT_EQ(NebHeightAfterResize(450), 450);
}

}  // namespace
}  // namespace trafimo::controls
