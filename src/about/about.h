// The about window's texts and its two ways to the vendor's web site.
#pragma once

#include <string>
#include <string_view>

#include "platform/shell.h"

namespace trafimo::about {

// The product page, opened by the link label, and the site's root, opened by the banner.
inline constexpr std::string_view kProductPageAddress = "https://www.velquor.example/trafimo/";
inline constexpr std::string_view kHomePageAddress = "https://www.velquor.example";

// The working directory and show command every shell request of the window uses.
inline constexpr std::string_view kShellDirectory = "c:\\";
inline constexpr int kShowNormal = 1;

// "About " and the product name.
std::string AboutCaption(std::string_view productName);

// The product name, a blank and "major.minor" as plain decimal numbers ("Velquor Trafimo 1.3").
std::string VersionLine(std::string_view productName, unsigned major, unsigned minor);

// An address as the link label shows it: host and path, without the scheme.
std::string AddressLabel(std::string_view address);

// Asks the shell to open `address` with its default action, owned by `owner`; the result is
// not looked at (no browser or no network changes nothing here).
void Link2Net(platform::Shell& shell, platform::WindowHandle owner, const std::string& address);

}  // namespace trafimo::about
