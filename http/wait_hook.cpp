// The installed wait hook; one per process, read and called on the GUI thread only.
#include "http/wait_hook.h"

#include <utility>

namespace tovmira {

namespace {
std::function<bool()>& installed_hook() {
    static std::function<bool()> hook;
    return hook;
}
}  // namespace

std::function<bool()> set_wait_hook(std::function<bool()> hook) {
    return std::exchange(installed_hook(), std::move(hook));
}

bool run_wait_hook() {
    if (!installed_hook()) return true;
    // A copy, so a hook that replaces itself (or nests a query that does) stays alive while it runs.
    std::function<bool()> hook = installed_hook();
    return hook();
}

}  // namespace tovmira
