// The numeric edit box as a Win32 control of its own: a child window of class "Lumetra.neb" that
// holds one single-line EDIT, `txtNeb`, subclassed so that the box's rules see every key, change
// and focus move of the text box.
#pragma once

#include <windows.h>

#include "controls/neb.h"
#include "platform/handles_win.h"
#include "platform/messages.h"
#include "platform/toolkit_win.h"
#include "platform/window_win.h"

namespace trafimo::win {

// A colour in the platform's encoding (system colour or red/green/blue) as a COLORREF.
COLORREF NebColourToColorRef(std::uint32_t colour);

class NebControl : public Window, private controls::NebSite {
 public:
  explicit NebControl(platform::Messages& messages, controls::NebEvents* events = nullptr);
  ~NebControl() override;

  // Creates the control at a pixel rectangle of `parent` and then reads `record` into it, or
  // initialises it as a newly placed box when there is none.
  bool Create(HWND parent, int id, int x, int y, int width, int height,
              const controls::PropertyRecord* record = nullptr);

  controls::Neb& neb() { return neb_; }
  const controls::Neb& neb() const { return neb_; }
  HWND edit() const { return edit_; }

  // What a host uses most: the default member Value, the enabled state and the focus.
  double Value() const { return neb_.Value(); }
  void SetValue(double value) { neb_.SetValue(value); }
  void SetEnabled(bool enabled) { neb_.SetEnabled(enabled); }
  void Focus();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  std::optional<ControlColours> ColoursOf(HWND control) override;

 private:
  // The text box, as the box's rules see it.
  std::string Text() const override;
  void SetText(std::string_view text) override;
  int SelStart() const override;
  int SelLength() const override;
  void Select(int start, int length) override;
  void SendTab() override;
  void AppearanceChanged() override;
  platform::OwnerWindow Owner() const override;

  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self);
  LRESULT HandleEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  void KeepMinimumHeight(int width, int height);
  void ShowToolTip();

  controls::Neb neb_;
  HWND edit_ = nullptr;
  HWND tooltip_ = nullptr;  // destroyed with the control's window
  UniqueFont font_;
  controls::NebFont fontShown_;
  UINT fontDpi_ = 0;
  UniqueBrush backBrush_;
  std::uint32_t backShown_ = 0;
};

}  // namespace trafimo::win
