#include <algorithm>
#include <string>

#include "platform/handles_win.h"
#include "platform/platform_win.h"

#include <commdlg.h>

namespace trafimo::win {

namespace {

// The folder part of a path, as GetTempFileNameA takes it; "." for a bare file name.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return slash == 0 || path[slash - 1] == ':' ? path.substr(0, slash + 1) : path.substr(0, slash);
}

bool WriteAll(HANDLE file, std::string_view contents) {
  while (!contents.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 20));
    if (!WriteFile(file, contents.data(), chunk, &written, nullptr) || written == 0) return false;
    contents.remove_prefix(written);
  }
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace

std::optional<std::string> Win32Files::AskSavePath(platform::OwnerWindow owner,
                                                   std::string_view defaultName) {
  std::string path(defaultName);
  path.resize(32768, '\0');
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = static_cast<HWND>(owner);
  dialog.lpstrFilter = "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = "csv";
  dialog.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return std::nullopt;
  path.resize(path.find('\0'));
  return path;
}

bool Win32Files::WriteWholeFile(std::string_view path, std::string_view contents) {
  const std::string target(path);
  char part[MAX_PATH * 3] = {};
  if (target.empty() || GetTempFileNameA(FolderOf(target).c_str(), "trf", 0, part) == 0)
    return false;
  bool written = false;
  {
    HANDLE opened =
        CreateFileA(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const UniqueKernelHandle file(opened != INVALID_HANDLE_VALUE ? opened : nullptr);
    written = file && WriteAll(file.get(), contents);
  }
  // The new file takes the old one's place only once it is complete.
  if (written &&
      MoveFileExA(part, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(part);
  return false;
}

}  // namespace trafimo::win
