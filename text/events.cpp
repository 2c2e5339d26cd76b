#include "text/events.h"

#include <utility>

namespace tovmira {
namespace {

std::function<void()>& dispatcher() {
    static std::function<void()> installed;
    return installed;
}

}  // namespace

void process_events() {
    if (auto& installed = dispatcher()) installed();
}

std::function<void()> set_event_dispatcher(std::function<void()> replacement) {
    return std::exchange(dispatcher(), std::move(replacement));
}

}  // namespace tovmira
