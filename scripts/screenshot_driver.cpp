// The README's picture: Tovmira's real main window, pointed at the fake fund service on
// 127.0.0.1 instead of the public one, with a fund code typed and 查询 pressed. Run by
// scripts/screenshot.sh under Xvfb.
//
//   tovmira_screenshot_driver --code 110022 --grab window.png --ready geometry.txt
//
// When the query has ended it saves the window's own grab to --grab, writes the window's place
// on the screen ("413x297+50+50") to --ready and keeps the window open until it is killed, so
// that the script can take the picture from the screen.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/main_window.h"
#include "app/startup.h"
#include "testing/fake_fund_service.h"

namespace {

struct Options {
    std::string code = "110022";
    std::string grab_path;
    std::string ready_path;
};

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--code") == 0) options.code = argv[i + 1];
        else if (std::strcmp(argv[i], "--grab") == 0) options.grab_path = argv[i + 1];
        else if (std::strcmp(argv[i], "--ready") == 0) options.ready_path = argv[i + 1];
        else return false;
    }
    return argc % 2 == 1 && !options.grab_path.empty() && !options.ready_path.empty();
}

// Written whole under a temporary name and then renamed, so the script never reads half a line.
bool write_ready_file(const std::string& path, const QRect& geometry) {
    const QString temporary = QString::fromStdString(path) + ".part";
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QStringLiteral("%1x%2+%3+%4\n")
                   .arg(geometry.width()).arg(geometry.height()).arg(geometry.x()).arg(geometry.y())
                   .toUtf8());
    file.close();
    return QFile::rename(temporary, QString::fromStdString(path));
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--code CODE] --grab PNG --ready FILE\n", argv[0]);
        return 2;
    }
    tovmira::prepare_floating_point();
    QApplication application(argc, argv);

    // Three years of trading days: 20 pages, some of every weekday rising and falling.
    tovmira::testing::FakeFundService service(tovmira::testing::generate_history(780));
    tovmira::MainWindow window{tovmira::Text(service.url_prefix())};
    tovmira::WindowSeams seams(window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
    }

    QWidget* edit = window.control(tovmira::fund_code_edit_name);
    QWidget* button = window.control(tovmira::query_button_name);
    auto* status = qobject_cast<QLabel*>(window.control(tovmira::status_label_name));
    if (edit == nullptr || button == nullptr) {
        std::fprintf(stderr, "the window has no fund-code box or 查询 button\n");
        return 1;
    }
    QTest::keyClicks(edit, QString::fromStdString(options.code));
    // The query runs inside the click; the loop below only guards against a future change to that.
    QTest::mouseClick(button, Qt::LeftButton);
    QDeadlineTimer deadline(30000);
    while (window.query_runner().busy() && !deadline.hasExpired()) QTest::qWait(20);
    if (window.query_runner().busy()) {
        std::fprintf(stderr, "the query did not end within 30 s\n");
        return 1;
    }
    QTest::qWait(300);  // let the last label texts reach the screen

    if (status != nullptr) std::printf("status: %s\n", status->text().toUtf8().constData());
    std::printf("requests: %zu\n", service.request_count());
    std::fflush(stdout);
    if (!window.grab().save(QString::fromStdString(options.grab_path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", options.grab_path.c_str());
        return 1;
    }
    if (!write_ready_file(options.ready_path, window.frameGeometry())) {
        std::fprintf(stderr, "cannot write %s\n", options.ready_path.c_str());
        return 1;
    }
    return application.exec();
}
