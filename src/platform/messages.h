// Message boxes shown to the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trafimo::platform {

// MessageBox styles and answers, with the platform's values.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbIconStop = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kMbDefButton2 = 0x100;

inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

inline constexpr std::string_view kApplicationTitle = "Velquor Trafimo";

// The window a message box belongs to (a window handle of the platform); kNoOwner for a box no
// window shows.
using OwnerWindow = void*;
inline constexpr OwnerWindow kNoOwner = nullptr;

class Messages {
 public:
  virtual ~Messages() = default;
  // Shows a message box modal to `owner` (nothing behind it can be pressed while it is up) and
  // returns the button chosen.
  virtual int Show(OwnerWindow owner, std::string_view text, std::string_view title,
                   std::uint32_t style) = 0;
};

}  // namespace trafimo::platform
