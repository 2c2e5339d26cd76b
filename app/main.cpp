// Tovmira: the share of rising and falling days per weekday of a mutual fund's net value.
#include <QApplication>

#include "app/history_paging.h"
#include "app/main_window.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    tovmira::prepare_floating_point();
    QApplication application(argc, argv);
    tovmira::MainWindow window{tovmira::Text(tovmira::history_url_prefix)};
    tovmira::WindowSeams seams(window);
    window.show();
    // Closing the window ends the loop with code 0, after any running query has stopped.
    return application.exec();
}
