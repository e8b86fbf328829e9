#include "about/about.h"

namespace trafimo::about {

std::string AboutCaption(std::string_view productName) {
  return "About " + std::string(productName);
}

std::string VersionLine(std::string_view productName, unsigned major, unsigned minor) {
  return std::string(productName) + " " + std::to_string(major) + "." + std::to_string(minor);
}

std::string AddressLabel(std::string_view address) {
  constexpr std::string_view kSchemeEnd = "://";
  const std::size_t at = address.find(kSchemeEnd);
  return std::string(at == std::string_view::npos ? address
                                                  : address.substr(at + kSchemeEnd.size()));
}

void Link2Net(platform::Shell& shell, platform::WindowHandle owner, const std::string& address) {
  static_cast<void>(shell.Execute(owner, "", address, "", kShellDirectory, kShowNormal));
}

}  // namespace trafimo::about
