// The one shared instance of a modeless window: created when first shown, created anew once it
// has been closed, and brought forward when shown while it is open.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

namespace trafimo::win {

template <typename Form>
class SharedForm {
 public:
  template <typename... Args>
  void Show(Args&&... args) {
    if (!form_ || form_->hwnd() == nullptr)
      form_ = std::make_unique<Form>(std::forward<Args>(args)...);
    form_->Show();
  }
  HWND hwnd() const { return form_ ? form_->hwnd() : nullptr; }
  // Keyboard navigation of the open window, for the message loop.
  bool PreTranslate(MSG& msg) const { return form_ && form_->PreTranslate(msg); }

 private:
  std::unique_ptr<Form> form_;
};

}  // namespace trafimo::win
