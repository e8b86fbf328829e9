#include "controls/neb.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace trafimo::controls {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int NonNegative(int count) {
  return count < 0 ? 0 : count;
}

// Reads a plain "d.d" text (no sign) as a double.
double ParseDigits(const std::string& digits) {
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::fixed);
  (void)end;
  if (error == std::errc::result_out_of_range) return std::numeric_limits<double>::max();
  return error == std::errc{} ? value : 0;
}

// Values from the record in the types the properties need; nullopt when the stored value cannot
// serve.
std::optional<double> AsNumber(const PropertyValue& value) {
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* i = std::get_if<std::int32_t>(&value)) return *i;
  if (const auto* u = std::get_if<std::uint32_t>(&value)) return *u;
  if (const auto* b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (IsNumeric(*s)) return ReadNumber(*s);
  }
  return std::nullopt;
}

std::optional<std::int16_t> AsInt16(const PropertyValue& value) {
  const auto number = AsNumber(value);
  if (!number || *number != std::floor(*number) || *number < -32768 || *number > 32767) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(*number);
}

std::optional<bool> AsBool(const PropertyValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) return *b;
  const auto number = AsNumber(value);
  if (!number) return std::nullopt;
  return *number != 0;
}

std::optional<std::uint32_t> AsColour(const PropertyValue& value) {
  if (const auto* u = std::get_if<std::uint32_t>(&value)) return *u;
  if (const auto* i = std::get_if<std::int32_t>(&value)) return static_cast<std::uint32_t>(*i);
  return std::nullopt;
}

}  // namespace

// --- Number texts -------------------------------------------------------------------------

double ReadNumber(std::string_view text) {
  std::size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++at;
  std::string digits;
  bool point = false;
  bool anyDigit = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (IsDigit(c)) {
      anyDigit = true;
      digits += c;
    } else if (c == '.' && !point) {
      point = true;
      digits += c;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0;
  if (digits[0] == '.') digits.insert(digits.begin(), '0');
  const double magnitude = ParseDigits(digits);
  return negative ? -magnitude : magnitude;
}

bool IsNumeric(std::string_view text) {
  std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
  bool point = false;
  bool anyDigit = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (IsDigit(c)) {
      anyDigit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return anyDigit;
}

std::string FormatNumber(double number, int decimals) {
  decimals = NonNegative(decimals);
  if (!std::isfinite(number)) number = 0;
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(number), std::chars_format::fixed);
  std::string plain(buffer, result.ptr);
  const std::size_t point = plain.find('.');
  std::string whole = plain.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : plain.substr(point + 1);

  if (static_cast<int>(fraction.size()) > decimals) {
    const bool roundUp = fraction[static_cast<std::size_t>(decimals)] >= '5';
    fraction.resize(static_cast<std::size_t>(decimals));
    if (roundUp) {
      std::string digits = whole + fraction;
      int at = static_cast<int>(digits.size()) - 1;
      for (; at >= 0; --at) {
        if (digits[static_cast<std::size_t>(at)] == '9') {
          digits[static_cast<std::size_t>(at)] = '0';
        } else {
          ++digits[static_cast<std::size_t>(at)];
          break;
        }
      }
      if (at < 0) digits.insert(digits.begin(), '1');
      whole = digits.substr(0, digits.size() - fraction.size());
      fraction = digits.substr(whole.size());
    }
  }
  fraction.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
  if (whole.empty()) whole.push_back('0');

  std::string text;
  const bool isZero =
      std::all_of(whole.begin(), whole.end(), [](char c) { return c == '0'; }) &&
      std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; });
  if (number < 0 && !isZero) text += '-';
  text += whole;
  if (decimals > 0) {
    text += '.';
    text += fraction;
  }
  return text;
}

std::string FormatText(std::string_view text, int decimals) {
  if (!IsNumeric(text)) return std::string(text);
  return FormatNumber(ReadNumber(text), decimals);
}

std::string RepeatText(std::string_view text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i)
    repeated += text;
  return repeated;
}

TextParts SplitText(std::string_view text) {
  TextParts parts;
  const int length = static_cast<int>(text.size());
  parts.signCount = text.find('-') != std::string_view::npos ? 1 : 0;
  const std::size_t point = text.find('.');
  parts.pointPosition = point == std::string_view::npos ? length + 1 : static_cast<int>(point) + 1;
  const int integerStart = std::min(parts.signCount, length);
  const int integerLength =
      std::min(NonNegative(parts.pointPosition - 1 - parts.signCount), length - integerStart);
  parts.integerPart = std::string(
      text.substr(static_cast<std::size_t>(integerStart), static_cast<std::size_t>(integerLength)));
  if (parts.pointPosition <= length) {
    parts.decimalPart = std::string(text.substr(static_cast<std::size_t>(parts.pointPosition)));
  }
  return parts;
}

// --- The property record ------------------------------------------------------------------

bool PropertyRecord::NoCase::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

void PropertyRecord::Write(std::string_view name, const PropertyValue& value,
                           const std::optional<PropertyValue>& defaultValue) {
  if (defaultValue && *defaultValue == value) {
    values_.erase(std::string(name));
    return;
  }
  Set(name, value);
}

const PropertyValue* PropertyRecord::Find(std::string_view name) const {
  const auto found = values_.find(std::string(name));
  return found == values_.end() ? nullptr : &found->second;
}

void PropertyRecord::Set(std::string_view name, PropertyValue value) {
  values_.insert_or_assign(std::string(name), std::move(value));
}

// --- The box ------------------------------------------------------------------------------

Neb::Neb(NebSite& site, platform::Messages& messages, NebEvents* events)
    : site_(site), messages_(messages), events_(events) {}

void Neb::InitProperties() {
  integerSize_ = 5;
  SetDecimalSize(2);
  SetValue(0);
  maximumValue_ = highestLimit_;
  minimumValue_ = defaultMinimum_;
  enableEnterKey_ = true;
  invalidRange_ = false;
  toolTipText_.clear();
  site_.AppearanceChanged();
}

void Neb::ReadProperties(const PropertyRecord& record) {
  // A value that is stored but cannot be used is passed over, as if reading it had failed.
  const auto read = [&record](std::string_view name) { return record.Find(name); };

  if (const auto* v = read("IntegerSize")) {
    if (const auto size = AsInt16(*v)) SetIntegerSize(*size);
  } else {
    SetIntegerSize(5);
  }
  if (const auto* v = read("DecimalSize")) {
    if (const auto size = AsInt16(*v)) SetDecimalSize(*size);
  } else {
    SetDecimalSize(2);
  }
  if (const auto* v = read("EnableEnterKey")) {
    if (const auto enable = AsBool(*v)) enableEnterKey_ = *enable;
  } else {
    enableEnterKey_ = true;
  }
  if (const auto* v = read("Value")) {
    if (const auto value = AsNumber(*v)) SetValue(*value);
  } else {
    SetValue(0);
  }
  if (const auto* v = read("MinimumValue")) {
    if (const auto value = AsNumber(*v)) minimumValue_ = *value;
  } else {
    minimumValue_ = defaultMinimum_;
  }
  if (const auto* v = read("MaximumValue")) {
    if (const auto value = AsNumber(*v)) maximumValue_ = *value;
  } else {
    maximumValue_ = highestLimit_;
  }
  if (const auto* v = read("Font")) {
    if (const auto* font = std::get_if<NebFont>(v)) font_ = *font;
  }
  if (const auto* v = read("BackColor")) {
    if (const auto colour = AsColour(*v)) backColor_ = *colour;
  }
  if (const auto* v = read("Enabled")) {
    if (const auto enabled = AsBool(*v)) enabled_ = *enabled;
  } else {
    enabled_ = true;
  }
  // The text colour follows the restored state, as the Enabled setter would set it.
  foreColor_ = enabled_ ? kColourWindowText : kColourGreyText;
  toolTipText_.clear();
  if (const auto* v = read("ToolTipText")) {
    if (const auto* tip = std::get_if<std::string>(v)) toolTipText_ = *tip;
  }
  site_.AppearanceChanged();
}

void Neb::WriteProperties(PropertyRecord& record) const {
  record.Write("IntegerSize", std::int32_t{integerSize_}, std::int32_t{5});
  record.Write("DecimalSize", std::int32_t{decimalSize_}, std::int32_t{2});
  record.Write("EnableEnterKey", enableEnterKey_, true);
  record.Write("Value", Value(), 0.0);
  record.Write("MinimumValue", minimumValue_, defaultMinimum_);
  record.Write("MaximumValue", maximumValue_, highestLimit_);
  record.Write("Font", font_);
  record.Write("BackColor", backColor_);
  record.Write("Enabled", enabled_, true);
  record.Write("ToolTipText", toolTipText_);
}

void Neb::SetIntegerSize(std::int16_t size) {
  if (size < 1 || size > 12) {
    PropertyMessage();
    return;
  }
  integerSize_ = size;
  RecomputeLimits();
  Changed("IntegerSize");
}

void Neb::SetDecimalSize(std::int16_t size) {
  if (size > 9) {
    PropertyMessage();
    return;
  }
  decimalSize_ = size;
  RecomputeLimits();
  formatMask_ = size < 1 ? std::string("0") : std::string("0.").append(RepeatText("0", size));
  ReplaceText(FormatText(site_.Text(), decimalSize_), false, false);
  Changed("DecimalSize");
}

void Neb::SetEnableEnterKey(bool enable) {
  enableEnterKey_ = enable;
  Changed("EnableEnterKey");
}

double Neb::Value() const {
  return ReadNumber(site_.Text());
}

void Neb::SetValue(double value) {
  ReplaceText(FormatNumber(value, decimalSize_), false, false);
  Changed("Value");
}

void Neb::SetMaximumValue(double value) {
  if (value > highestLimit_) {
    PropertyMessage();
    return;
  }
  maximumValue_ = value;
  Changed("MaximumValue");
}

void Neb::SetMinimumValue(double value) {
  if (value < lowestLimit_) {
    PropertyMessage();
    return;
  }
  minimumValue_ = value;
  Changed("MinimumValue");
}

void Neb::SetFont(const NebFont& font) {
  font_ = font;
  site_.AppearanceChanged();
  Changed("Font");
}

void Neb::SetBackColor(std::uint32_t colour) {
  backColor_ = colour;
  site_.AppearanceChanged();
  Changed("BackColor");
}

void Neb::SetForeColor(std::uint32_t colour) {
  foreColor_ = colour;
  site_.AppearanceChanged();
  Changed("ForeColor");
}

void Neb::SetEnabled(bool enabled) {
  enabled_ = enabled;
  foreColor_ = enabled ? kColourWindowText : kColourGreyText;
  site_.AppearanceChanged();
  Changed("Enabled");
}

void Neb::OnKeyDown(std::int16_t& keyCode, std::int16_t& shift) {
  if (events_ != nullptr) events_->KeyDown(keyCode, shift);
}

void Neb::OnKeyUp(std::int16_t& keyCode, std::int16_t& shift) {
  if (events_ != nullptr) events_->KeyUp(keyCode, shift);
}

void Neb::OnKeyPress(std::int16_t& keyAscii) {
  if (events_ != nullptr) events_->KeyPress(keyAscii);
  if (keyAscii == 13) {
    if (enableEnterKey_) site_.SendTab();
    keyAscii = 0;
  }
  if (keyAscii == 8 || keyAscii < 32) return;

  const std::string text = site_.Text();
  if (keyAscii == '.') {
    if (decimalSize_ <= 0) {
      keyAscii = 0;
      return;
    }
    if (text == "-" || site_.SelStart() == 0) {
      ReplaceText("0.", true, true);
      keyAscii = 0;
      return;
    }
    if (SelectedText().find('.') != std::string::npos) return;
  }
  if (keyAscii == '-' && site_.SelStart() == 0 && minimumValue_ < 0) {
    skipNextChange_ = true;
    return;
  }
  if (keyAscii > 255) {
    keyAscii = 0;
    return;
  }
  const char key = static_cast<char>(keyAscii);
  const bool refused = !IsNumeric(text + key) || keyAscii == ' ' || keyAscii == ',' ||
                       keyAscii == '-' || !KeyFitsSizes(text, key);
  if (refused) {
    keyAscii = 0;
  } else {
    skipNextChange_ = true;
  }
}

bool Neb::KeyFitsSizes(std::string_view text, char key) const {
  if (key == '.' || key == '-') return true;
  const int start = std::clamp(site_.SelStart(), 0, static_cast<int>(text.size()));
  const std::string_view selected = text.substr(
      static_cast<std::size_t>(start), static_cast<std::size_t>(NonNegative(site_.SelLength())));
  if (selected == text) return true;
  const TextParts parts = SplitText(text);
  const int caret = site_.SelStart();
  return (static_cast<int>(parts.decimalPart.size()) < decimalSize_ ||
          caret < parts.pointPosition) &&
         (static_cast<int>(parts.integerPart.size()) < integerSize_ ||
          caret >= parts.pointPosition);
}

void Neb::OnChange() {
  if (events_ != nullptr) events_->Change();
  const std::string text = site_.Text();
  if (text == "-" || text.empty() || skipNextChange_) {
    skipNextChange_ = false;
    return;
  }
  if (!IsNumeric(text)) {
    ReplaceText("", false, false);
    return;
  }
  TextParts parts = SplitText(text);
  const auto integerRoom = static_cast<std::size_t>(NonNegative(integerSize_));
  const auto decimalRoom = static_cast<std::size_t>(NonNegative(decimalSize_));
  if (parts.integerPart.size() > integerRoom || parts.decimalPart.size() > decimalRoom) {
    if (parts.integerPart.size() > integerRoom) parts.integerPart.resize(integerRoom);
    if (parts.decimalPart.size() > decimalRoom) parts.decimalPart.resize(decimalRoom);
    std::string cut = parts.signCount == 1 ? "-" : "";
    cut += parts.integerPart;
    if (!parts.decimalPart.empty()) cut.append(".").append(parts.decimalPart);
    ReplaceText(cut, true, true);
  }
  const double number = ReadNumber(site_.Text());
  if (number < 0 && minimumValue_ >= 0) {
    ReplaceText(FormatNumber(std::fabs(number), decimalSize_), true, true);
  }
  const double shown = ReadNumber(site_.Text());
  invalidRange_ = shown < minimumValue_ || shown > maximumValue_;
}

void Neb::OnGotFocus() {
  site_.Select(0, static_cast<int>(site_.Text().size()));
}

void Neb::OnLostFocus() {
  if (site_.Text().empty()) ReplaceText("0", false, false);
  ReplaceText(FormatText(site_.Text(), decimalSize_), false, false);
}

void Neb::RecomputeLimits() {
  const std::string nines =
      RepeatText("9", integerSize_).append(".").append(RepeatText("9", decimalSize_));
  highestLimit_ = ReadNumber(nines);
  const double previousLowest = lowestLimit_;
  lowestLimit_ = ReadNumber(std::string("-").append(nines));
  if (minimumValue_ <= previousLowest) SetMinimumValue(lowestLimit_);
  if (maximumValue_ != highestLimit_) SetMaximumValue(highestLimit_);
}

void Neb::PropertyMessage() {
  messages_.Show(site_.Owner(), kInvalidPropertyMessage, kPropertyMessageTitle,
                 platform::kMbOk | platform::kMbIconStop);
}

void Neb::Changed(std::string_view name) {
  if (events_ != nullptr) events_->PropertyChanged(name);
}

std::string Neb::SelectedText() const {
  const std::string text = site_.Text();
  const int start = std::clamp(site_.SelStart(), 0, static_cast<int>(text.size()));
  return text.substr(static_cast<std::size_t>(start),
                     static_cast<std::size_t>(NonNegative(site_.SelLength())));
}

void Neb::ReplaceText(const std::string& text, bool skipValidation, bool caretAtEnd) {
  // A replacement that leaves the text as it is raises no change notification, so it must not
  // leave the skip flag behind either.
  if (text != site_.Text()) {
    if (skipValidation) skipNextChange_ = true;
    site_.SetText(text);
  }
  if (caretAtEnd) site_.Select(static_cast<int>(site_.Text().size()), 0);
}

}  // namespace trafimo::controls
