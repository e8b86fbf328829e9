// Move-only owners for the GDI and USER handles the windows hold.
#pragma once

#include <windows.h>

#include <utility>

namespace trafimo::win {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Traits::Close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Handle{}); }

 private:
  Handle handle_{};
};

struct IconTraits {
  static void Close(HICON icon) { DestroyIcon(icon); }
};
struct GdiTraits {
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
struct MenuTraits {
  static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct KernelTraits {
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct WindowTraits {
  static void Close(HWND window) { DestroyWindow(window); }
};
struct LibraryTraits {
  static void Close(HMODULE library) { FreeLibrary(library); }
};

using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueFont = UniqueHandle<HFONT, struct FontTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, struct BrushTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, struct BitmapTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueLibrary = UniqueHandle<HMODULE, LibraryTraits>;

// A library loaded at run time from the system folder only, never from the program's folder: a
// per-user installation lets the user write there, and a start as administrator would run what
// was put there.
inline UniqueLibrary LoadSystemLibrary(const char* name) {
  return UniqueLibrary(LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

// A function of `module` as the type it is called through; null where the module or the
// function is missing (a system older than the function).
template <typename Function>
Function FindFunction(HMODULE module, const char* name) {
  return module == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct FontTraits {
  static void Close(HFONT font) { DeleteObject(font); }
};
struct BrushTraits {
  static void Close(HBRUSH brush) { DeleteObject(brush); }
};
struct BitmapTraits {
  static void Close(HBITMAP bitmap) { DeleteObject(bitmap); }
};

// A DC obtained with GetDC, released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace trafimo::win
