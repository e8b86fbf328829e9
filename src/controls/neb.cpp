#include "controls/neb.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace trafimo::controls {

namespace {

int NonNegative(int count) {
  return count < 0 ? 0 : count;
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
  if (keyAscii >= 0 && keyAscii < 32) return;  // backspace, control characters, a cancelled key

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
  }
  // A character outside ASCII (a UTF-16 unit from U+8000 on reads as negative) is no digit.
  if (keyAscii < 0 || keyAscii > 127 || !TypedTextFits(TextWithKey(static_cast<char>(keyAscii)))) {
    keyAscii = 0;
    return;
  }
  skipNextChange_ = true;
}

std::string Neb::TextWithKey(char key) const {
  const std::string text = site_.Text();
  const auto start =
      static_cast<std::size_t>(std::clamp(site_.SelStart(), 0, static_cast<int>(text.size())));
  const auto end =
      std::min(text.size(), start + static_cast<std::size_t>(NonNegative(site_.SelLength())));
  return text.substr(0, start) + key + text.substr(end);
}

bool Neb::TypedTextFits(std::string_view text) const {
  const bool minus = !text.empty() && text[0] == '-';
  if (minus && minimumValue_ >= 0) return false;
  if (text == "-") return true;  // the start of a negative number
  if (!IsNumeric(text)) return false;
  const TextParts parts = SplitText(text);
  return static_cast<int>(parts.integerPart.size()) <= integerSize_ &&
         static_cast<int>(parts.decimalPart.size()) <= decimalSize_;
}

void Neb::OnChange() {
  if (events_ != nullptr) events_->Change();
  const std::string text = site_.Text();
  if (text == "-" && minimumValue_ >= 0) {
    ReplaceText("", false, false);  // no number of this box starts so
    return;
  }
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
  const std::string shownText = site_.Text();
  if (!shownText.empty() && shownText[0] == '-' && minimumValue_ >= 0) {  // "-0" as well as "-5"
    ReplaceText(FormatNumber(std::fabs(ReadNumber(shownText)), decimalSize_), true, true);
  }
  const double shown = ReadNumber(site_.Text());
  invalidRange_ = shown < minimumValue_ || shown > maximumValue_;
}

void Neb::OnGotFocus() {
  site_.Select(0, static_cast<int>(site_.Text().size()));
}

void Neb::OnLostFocus() {
  // A lone "-" was the start of a number that never came.
  if (site_.Text().empty() || site_.Text() == "-") ReplaceText("0", false, false);
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
