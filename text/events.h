// process_events() lets the window handle the events already queued, through the dispatcher that
// the window layer installs; with none installed it returns at once. It never waits.
#pragma once

#include <functional>

namespace tovmira {

void process_events();

// Installs the dispatcher (an empty function removes it) and returns the one it replaces.
std::function<void()> set_event_dispatcher(std::function<void()> dispatcher);

}  // namespace tovmira
