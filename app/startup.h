// Start-up of the program: the floating-point state and the seams through which the text and
// HTTP libraries reach the window layer (event dispatch, fatal-error box, network wait hook).
#pragma once

#include <functional>

#include "app/main_window.h"
#include "text/fatal.h"

namespace tovmira {

// Masks every floating-point exception (0/0 gives a NaN, never a trap) and rounds to nearest.
void prepare_floating_point();

// Installs the seams for `window` while it lives and puts back the previous ones on destruction:
// process_events runs Qt's processEvents; a fatal error shows a box captioned "错误"; a request
// waiting on the network handles events and gives up once its query is superseded or the
// window closes.
class WindowSeams {
  public:
    explicit WindowSeams(MainWindow& window);
    ~WindowSeams();
    WindowSeams(const WindowSeams&) = delete;
    WindowSeams& operator=(const WindowSeams&) = delete;

  private:
    std::function<void()> previous_dispatcher_;
    MessageBox previous_message_box_;
    std::function<bool()> previous_wait_hook_;
};

}  // namespace tovmira
