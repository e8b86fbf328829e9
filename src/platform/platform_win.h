// The Win32 implementations of the platform services, and the one set a program run uses.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/user_store_registry.h"

namespace trafimo::win {

// Advapi32 Reg*A.
class Win32Registry : public platform::Registry {
 public:
  long OpenKey(platform::RegKeyHandle root, std::string_view subKey, std::uint32_t access,
               platform::RegKeyHandle& key) override;
  long CreateKey(platform::RegKeyHandle root, std::string_view subKey, std::uint32_t access,
                 platform::RegKeyHandle& key) override;
  long QueryValue(platform::RegKeyHandle key, std::string_view valueName, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override;
  long EnumKey(platform::RegKeyHandle key, std::uint32_t index, std::string& name) override;
  long EnumValue(platform::RegKeyHandle key, std::uint32_t index, std::string& name,
                 std::uint32_t& type, std::vector<std::uint8_t>& data) override;
  long SetValue(platform::RegKeyHandle key, std::string_view valueName, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long DeleteValue(platform::RegKeyHandle key, std::string_view valueName) override;
  long DeleteKey(platform::RegKeyHandle root, std::string_view subKey) override;
  long DeleteTree(platform::RegKeyHandle root, std::string_view subKey) override;
  long CloseKey(platform::RegKeyHandle key) override;

  // The HKEY a handle value stands for (predefined roots are sign-extended in 64-bit builds).
  static HKEY ToHkey(platform::RegKeyHandle key);
};

// IP Helper's GetIfTable and GetIfTable2, from iphlpapi.dll in the system folder (never one in
// the program's folder, which a per-user installation lets the user write), loaded when first
// asked for.
class Win32IfTable : public platform::IfTableSource {
 public:
  Win32IfTable();
  ~Win32IfTable() override;
  std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) override;
  std::uint32_t GetIfTable2(std::vector<platform::IfRow2>& rows) override;

 private:
  struct Library;
  Library& Loaded();
  std::unique_ptr<Library> library_;
};

// GetLocalTime and GetTickCount64.
class Win32Clock : public platform::Clock {
 public:
  platform::LocalTime Now() override;
  std::uint64_t MonotonicMs() override;
};

// The user's locale through GetDateFormatA, GetLocaleInfoA, CharUpperBuffW, GetNumberFormatA.
class Win32Locale : public platform::Locale {
 public:
  std::string FormatDate(const platform::LocalTime& date, std::string_view picture) override;
  std::string FullMonthName(int month) override;
  std::string ToUpper(std::string_view text) override;
  platform::NumberSettings UserNumberSettings() override;
  std::optional<std::string> FormatNumber(std::string_view plainNumber,
                                          const platform::NumberFormat& format) override;
};

// UTF-16 text in the program's code page (UTF-8, by its manifest), as the "A" functions speak.
std::string CodePageText(std::wstring_view wide);

// MessageBoxA without an owner window.
class Win32Messages : public platform::Messages {
 public:
  int Show(platform::OwnerWindow owner, std::string_view text, std::string_view title,
           std::uint32_t style) override;
};

// ExitProcess and GetModuleFileNameA.
class Win32Process : public platform::Process {
 public:
  [[noreturn]] void EndNow() override;
  std::string ExePath() override;
};

// ShellExecuteA.
class Win32Shell : public platform::Shell {
 public:
  std::intptr_t Execute(platform::WindowHandle owner, std::string_view operation,
                        std::string_view file, std::string_view parameters,
                        std::string_view directory, int showCommand) override;
};

// GetSaveFileNameA, and CreateFileA into a file of its own beside the target, then MoveFileExA
// over it.
class Win32Files : public platform::Files {
 public:
  std::optional<std::string> AskSavePath(platform::OwnerWindow owner,
                                         std::string_view defaultName) override;
  bool WriteWholeFile(std::string_view path, std::string_view contents) override;
};

// One of each real service, wired as the Platform the program's code receives.
class RealPlatform {
 public:
  RealPlatform() = default;
  RealPlatform(const RealPlatform&) = delete;
  RealPlatform& operator=(const RealPlatform&) = delete;

  platform::Platform& get() { return platform_; }

 private:
  Win32Registry registry_;
  platform::RegistryUserStore userStore_{registry_};
  Win32IfTable ifTable_;
  Win32Clock clock_;
  Win32Locale locale_;
  Win32Messages messages_;
  Win32Process process_;
  Win32Shell shell_;
  Win32Files files_;
  platform::Platform platform_{registry_, userStore_, ifTable_, clock_, locale_,
                               messages_, process_,   shell_,   files_};
};

}  // namespace trafimo::win
