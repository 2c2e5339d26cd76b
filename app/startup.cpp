#include "app/startup.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cfenv>

#include "http/wait_hook.h"
#include "text/events.h"

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
    previous_wait_hook_ = set_wait_hook([&window] {
        QCoreApplication::processEvents();
        return window.query_runner().current_query_may_continue();
    });
}

WindowSeams::~WindowSeams() {
    set_wait_hook(std::move(previous_wait_hook_));
    set_event_dispatcher(std::move(previous_dispatcher_));
    set_message_box(std::move(previous_message_box_));
}

}  // namespace tovmira
