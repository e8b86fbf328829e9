// The Win32 platform services against what the system really answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ifstats/ip_helper.h"
#include "platform/platform_win.h"
#include "registry/mod_reg.h"

namespace trafimo {
namespace {

// GetIfTable2 lists every row of GetIfTable under its index, with its description and an
// identity of its own.
TEST(RealInterfaceTable, GetIfTable2HasEveryRowOfGetIfTable) {
  win::RealPlatform real;
  std::vector<platform::IfRow2> rows2;
  ASSERT_EQ(real.get().ifTable.GetIfTable2(rows2), platform::kNoError);
  std::uint32_t size = 0;
  real.get().ifTable.GetIfTable(nullptr, &size, false);
  std::vector<std::uint8_t> buffer(size);
  ASSERT_EQ(real.get().ifTable.GetIfTable(buffer.data(), &size, false), platform::kNoError);
  const CInterfaces rows = ParseIfTable(buffer);
  EXPECT_GE(rows.Count(), 2) << "the loopback and eth0";
  for (const CInterface& row : rows) {
    const auto same = std::find_if(rows2.begin(), rows2.end(),
                                   [&](const auto& r) { return r.index == row.InterfaceIndex; });
    ASSERT_NE(same, rows2.end()) << row.InterfaceDescription;
    EXPECT_EQ(same->description, row.InterfaceDescription);
    EXPECT_NE(same->luid, 0u);
  }
}

// Text keeps its stored type and is never expanded; the per-user store writes REG_SZ and reads a
// long value whole. (Its sections listed are history_e2e's export; HKEY_LOCAL_MACHINE, a
// sign-extended predefined handle in a 64-bit program, is read by every script's settings.)
TEST(RealRegistry, WritesAndReadsBackWithTheStoredTypesAndTheStoreErasesItsArea) {
  constexpr const char* kKey = "Software\\Trafimo Wine Test\\";
  constexpr auto kHkcu = platform::kHkeyCurrentUser;
  win::Win32Registry registry;
  ASSERT_TRUE(modReg::WriteRegValue(registry, kHkcu, kKey, "Text", 2, "%TEMP%\\x,2:0:0"));
  std::uint32_t type = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkcu, kKey, "Text", type), "%TEMP%\\x,2:0:0");
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkcu, kKey, "Text"), 0);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo Wine Test");

  platform::RegistryUserStore store{registry};
  ASSERT_TRUE(store.EraseAll());  // whatever other tests left
  ASSERT_TRUE(store.Write("2026DEC", "OUT", "9876543210"));
  type = platform::kRegExpandSz;
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkcu, "Software\\Trafimo\\2026DEC", "OUT", type),
            "9876543210");
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
  const std::string longText(700, '7');  // longer than a first read of a value takes
  ASSERT_TRUE(store.Write("Days", "2026-12-07", longText));
  EXPECT_EQ(store.ReadSection("Days"),
            (std::vector<platform::StoredValue>{{"2026-12-07", longText}}));
  EXPECT_TRUE(store.EraseAll());
  EXPECT_EQ(store.Read("2026DEC", "OUT", "gone"), "gone");
}

// A file is replaced only by a whole new one: a file another program holds, or a folder that is
// missing, leaves everything as it was, with no part written left behind.
TEST(RealFiles, ReplaceAFileOnlyWithAWholeNewOne) {
  win::Win32Files files;
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "trafimo files test.csv";
  ASSERT_TRUE(files.WriteWholeFile(path, "old") && files.WriteWholeFile(path, "new\r\n"));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(files.WriteWholeFile(path, "lost"));
  CloseHandle(held);
  EXPECT_FALSE(files.WriteWholeFile(std::string(folder) + "no such folder\\u.csv", "lost"));
  std::ifstream file(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "new\r\n");
  WIN32_FIND_DATAA part{};
  EXPECT_EQ(FindFirstFileA((std::string(folder) + "trf*.tmp").c_str(), &part),
            INVALID_HANDLE_VALUE);
  file.close();
  DeleteFileA(path.c_str());
}

// The manifest makes UTF-8 the code page of every "A" call. Upper-casing keeps each character
// whole, also a capital that takes more bytes than its letter (U+0250 to U+2C6F).
TEST(RealLocale, SpeaksUtf8AndUpperCasesWholeCharacters) {
  EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
  win::Win32Locale locale;
  const std::pair<std::string, std::string> cases[] = {
      {"2026dec", "2026DEC"},
      {"2026\xD0\xB4\xD0\xB5\xD0\xBA", "2026\xD0\x94\xD0\x95\xD0\x9A"},
      {"\xC9\x90x",
       "\xE2\xB1\xAF"
       "X"}};
  for (const auto& [text, upper] : cases)
    EXPECT_EQ(locale.ToUpper(text), upper) << text;
}

}  // namespace
}  // namespace trafimo
