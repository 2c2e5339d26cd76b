// The wait hook: a function the winhttp layer calls about every 50 ms while it waits on the
// network, so a window can stay responsive and cancel. set_wait_hook([] { return !closing; }).
#pragma once

#include <functional>

namespace tovmira {

// Installs `hook` (an empty function removes it) and returns the one installed before. While a
// WinHttp call waits, the hook runs about every 50 ms; false aborts the transfer and the call
// fails as on a broken connection. The hook may start new requests of its own.
std::function<bool()> set_wait_hook(std::function<bool()> hook);

// Runs the installed hook; true when none is installed or it returned true.
bool run_wait_hook();

}  // namespace tovmira
