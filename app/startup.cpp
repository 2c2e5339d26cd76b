#include "app/startup.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cfenv>

#include "text/events.h"

// The network wait hook belongs to the HTTP layer; until that header exists, requests simply
// block until their own time limits and the query checks for a newer click afterwards.
#if __has_include("http/wait_hook.h")
#include "http/wait_hook.h"
#define TOVMIRA_HAS_WAIT_HOOK 1
#endif

namespace tovmira {

void prepare_floating_point() {
    std::feclearexcept(FE_ALL_EXCEPT);
    fedisableexcept(FE_ALL_EXCEPT);  // glibc: no exception ever traps
    std::fesetround(FE_TONEAREST);
}

WindowSeams::WindowSeams(MainWindow& window) {
    previous_dispatcher_ = set_event_dispatcher([] { QCoreApplication::processEvents(); });
    previous_message_box_ = set_message_box([](const Text& caption, const Text& text) {
        QMessageBox::critical(nullptr, to_qstring(caption), to_qstring(text));
    });
#ifdef TOVMIRA_HAS_WAIT_HOOK
    previous_wait_hook_ = set_wait_hook([&window] {
        QCoreApplication::processEvents();
        return window.query_runner().current_query_may_continue();
    });
#else
    (void)window;
#endif
}

WindowSeams::~WindowSeams() {
#ifdef TOVMIRA_HAS_WAIT_HOOK
    set_wait_hook(std::move(previous_wait_hook_));
#endif
    set_event_dispatcher(std::move(previous_dispatcher_));
    set_message_box(std::move(previous_message_box_));
}

}  // namespace tovmira
