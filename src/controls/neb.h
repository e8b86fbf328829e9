// The numeric edit box `neb`: the rules of one box that lets the user type only a number with at
// most IntegerSize digits before the point and DecimalSize after it. The box works on an abstract
// text box (its text and selection) and tells its host through small interfaces, so the same
// rules drive the Win32 control and the native tests.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "controls/number_text.h"
#include "platform/messages.h"

namespace trafimo::controls {

// Colours in the platform's encoding: top bit set plus an index names a system colour.
inline constexpr std::uint32_t kSystemColourFlag = 0x80000000u;
inline constexpr std::uint32_t kColourWindowBackground = kSystemColourFlag | 5u;
inline constexpr std::uint32_t kColourWindowText = kSystemColourFlag | 8u;
inline constexpr std::uint32_t kColourGreyText = kSystemColourFlag | 17u;

// The box is never lower than this.
inline constexpr int kNebMinimumHeightTwips = 300;
// The height the control takes after a resize to `heightTwips`.
inline int NebHeightAfterResize(int heightTwips) {
  return heightTwips < kNebMinimumHeightTwips ? kNebMinimumHeightTwips : heightTwips;
}

inline constexpr std::string_view kNebClassName = "Lumetra.neb";
inline constexpr std::string_view kInvalidPropertyMessage = "Invalid property value";
inline constexpr std::string_view kPropertyMessageTitle = "NumberBox";

struct NebFont {
  std::string name = "MS Sans Serif";
  double size = 8.25;  // points
  bool bold = false;
  bool italic = false;
  bool operator==(const NebFont&) const = default;
};

// --- The property record ------------------------------------------------------------------

using PropertyValue = std::variant<bool, std::int32_t, double, std::uint32_t, std::string, NebFont>;

// A small keyed record of named values, names matched without regard to case.
class PropertyRecord {
 public:
  // Stores the value, or leaves the name out when the value equals `defaultValue`.
  void Write(std::string_view name, const PropertyValue& value,
             const std::optional<PropertyValue>& defaultValue = std::nullopt);
  // The stored value, or nullopt.
  const PropertyValue* Find(std::string_view name) const;
  void Set(std::string_view name, PropertyValue value);
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  std::size_t size() const { return values_.size(); }

 private:
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  std::map<std::string, PropertyValue, NoCase> values_;
};

// --- What the box needs of its surroundings ------------------------------------------------

// The text box `txtNeb` and the control that holds it.
class NebSite {
 public:
  virtual ~NebSite() = default;
  virtual std::string Text() const = 0;
  // Replaces the text. When the text really changes, the text box's change notification (the
  // box's OnChange) runs before this returns.
  virtual void SetText(std::string_view text) = 0;
  virtual int SelStart() const = 0;
  virtual int SelLength() const = 0;
  virtual void Select(int start, int length) = 0;
  // Moves the focus on to the next control in tab order.
  virtual void SendTab() = 0;
  // The control's font, colours, enabled state or tooltip changed: show them.
  virtual void AppearanceChanged() {}
  // The window the box's messages belong to.
  virtual platform::OwnerWindow Owner() const { return platform::kNoOwner; }
};

// The window that hosts the box: its events, with arguments it may change.
class NebEvents {
 public:
  virtual ~NebEvents() = default;
  virtual void KeyDown(std::int16_t& /*keyCode*/, std::int16_t& /*shift*/) {}
  virtual void KeyPress(std::int16_t& /*keyAscii*/) {}
  virtual void KeyUp(std::int16_t& /*keyCode*/, std::int16_t& /*shift*/) {}
  virtual void Change() {}
  virtual void PropertyChanged(std::string_view /*name*/) {}
};

class Neb {
 public:
  Neb(NebSite& site, platform::Messages& messages, NebEvents* events = nullptr);

  // Lifecycle.
  void InitProperties();
  void ReadProperties(const PropertyRecord& record);
  void WriteProperties(PropertyRecord& record) const;

  // Properties.
  std::int16_t IntegerSize() const { return integerSize_; }
  void SetIntegerSize(std::int16_t size);
  std::int16_t DecimalSize() const { return decimalSize_; }
  void SetDecimalSize(std::int16_t size);
  bool EnableEnterKey() const { return enableEnterKey_; }
  void SetEnableEnterKey(bool enable);
  double Value() const;
  void SetValue(double value);
  double MaximumValue() const { return maximumValue_; }
  void SetMaximumValue(double value);
  double MinimumValue() const { return minimumValue_; }
  void SetMinimumValue(double value);
  bool InvalidRange() const { return invalidRange_; }
  const NebFont& Font() const { return font_; }
  void SetFont(const NebFont& font);
  std::uint32_t BackColor() const { return backColor_; }
  void SetBackColor(std::uint32_t colour);
  std::uint32_t ForeColor() const { return foreColor_; }
  void SetForeColor(std::uint32_t colour);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::string& ToolTipText() const { return toolTipText_; }

  // Derived state, readable for the host and the tests.
  const std::string& FormatMask() const { return formatMask_; }
  double HighestLimit() const { return highestLimit_; }
  double LowestLimit() const { return lowestLimit_; }
  bool SkipNextChange() const { return skipNextChange_; }

  // The text box's notifications.
  void OnKeyDown(std::int16_t& keyCode, std::int16_t& shift);
  void OnKeyPress(std::int16_t& keyAscii);
  void OnKeyUp(std::int16_t& keyCode, std::int16_t& shift);
  void OnChange();
  void OnGotFocus();
  void OnLostFocus();

 private:
  void RecomputeLimits();
  void PropertyMessage();
  void Changed(std::string_view name);
  // The text a typed key would leave: before the selection, the key, after it.
  std::string TextWithKey(char key) const;
  // A text the box may show while a number is typed: a number within the digit sizes, with a
  // leading "-" (or only that) where the minimum is negative.
  bool TypedTextFits(std::string_view text) const;
  void ReplaceText(const std::string& text, bool skipValidation, bool caretAtEnd);

  NebSite& site_;
  platform::Messages& messages_;
  NebEvents* events_;

  std::int16_t integerSize_ = 0;
  std::int16_t decimalSize_ = 0;
  bool enableEnterKey_ = false;
  double maximumValue_ = 0;
  double minimumValue_ = 0;
  bool invalidRange_ = false;
  bool skipNextChange_ = false;
  std::string formatMask_;
  double highestLimit_ = 99999.99;
  double lowestLimit_ = 0;
  double defaultMinimum_ = 0;

  NebFont font_;
  std::uint32_t backColor_ = kColourWindowBackground;
  std::uint32_t foreColor_ = kColourWindowText;
  bool enabled_ = true;
  std::string toolTipText_;
};

}  // namespace trafimo::controls
