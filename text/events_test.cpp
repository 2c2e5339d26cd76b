#include "text/events.h"

#include <gtest/gtest.h>

namespace tovmira {
namespace {

TEST(ProcessEvents, CallsTheInstalledDispatcherOnly) {
    process_events();  // none installed: returns at once
    int calls = 0;
    auto previous = set_event_dispatcher([&calls] { ++calls; });
    EXPECT_FALSE(previous);
    process_events();
    process_events();
    EXPECT_EQ(calls, 2);

    int other_calls = 0;
    auto replaced = set_event_dispatcher([&other_calls] { ++other_calls; });
    ASSERT_TRUE(replaced);
    process_events();
    EXPECT_EQ(other_calls, 1);
    replaced();
    EXPECT_EQ(calls, 3);

    set_event_dispatcher({});
    process_events();
    EXPECT_EQ(calls + other_calls, 4);
}

// A dispatcher may run code that processes events again, as a nested query does.
TEST(ProcessEvents, MayBeReentered) {
    int depth = 0;
    int calls = 0;
    set_event_dispatcher([&] {
        ++calls;
        if (depth++ < 2) process_events();
    });
    process_events();
    set_event_dispatcher({});
    EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace tovmira
