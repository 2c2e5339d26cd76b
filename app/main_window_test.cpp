#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/history_paging.h"
#include "app/recording_window.h"
#include "app/startup.h"

namespace tovmira {
namespace {

using testing::FakeFundService;
using testing::generate_history;
using testing::PageFailure;

QString name_of(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <class Widget>
Widget* find(MainWindow& window, std::string_view name) {
    auto* widget = qobject_cast<Widget*>(window.control(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

std::vector<std::string> shown_labels(MainWindow& window) {
    std::vector<std::string> shown;
    for (std::string_view name : result_label_names)
        shown.push_back(find<QLabel>(window, name)->text().toStdString());
    return shown;
}

void expect_labels_match(const std::vector<std::string>& labels, const ExpectedCounts& counts) {
    for (int day = 0; day < 5; ++day) {
        double total = counts.rises[day] + counts.falls[day];
        EXPECT_NEAR(shown_percent(labels[day]), 100.0 * counts.rises[day] / total, 0.005 + 1e-9);
        EXPECT_NEAR(shown_percent(labels[5 + day]), 100.0 * counts.falls[day] / total,
                    0.005 + 1e-9);
    }
}

TEST(MainWindow, StartsWithEveryControlInPlace) {
    MainWindow window{Text(history_url_prefix)};
    window.show();
    EXPECT_EQ(window.windowTitle(), "Tovmira");
    // The client area sits at 50,50 and measures 413 x 297; the frame is the desktop's.
    EXPECT_EQ(window.geometry(), QRect(50, 50, 413, 297));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    struct Expected {
        const char* kind;
        const char* name;
        QRect geometry;
        const char* text;
    } table[] = {
        {"QLabel", "标签2", {32, 48, 32, 24}, "星期："},
        {"QLabel", "标签_周一", {80, 48, 32, 24}, "周一"},
        {"QLabel", "标签_周一1", {128, 48, 32, 24}, "周二"},
        {"QLabel", "标签_周一3", {184, 48, 32, 24}, "周三"},
        {"QLabel", "标签_周一2", {240, 48, 32, 24}, "周四"},
        {"QLabel", "标签_周一4", {296, 48, 32, 24}, "周五"},
        {"QLabel", "标签1", {32, 88, 32, 24}, "涨："},
        {"QLabel", "标签_1加", {64, 88, 48, 24}, ""},
        {"QLabel", "标签_2加", {120, 88, 48, 24}, ""},
        {"QLabel", "标签_3加", {176, 88, 48, 24}, ""},
        {"QLabel", "标签_4加", {232, 88, 48, 24}, ""},
        {"QLabel", "标签_5加", {288, 88, 48, 24}, ""},
        {"QLabel", "标签3", {32, 128, 32, 24}, "跌："},
        {"QLabel", "标签_1减", {64, 128, 48, 24}, ""},
        {"QLabel", "标签_2减", {120, 128, 48, 24}, ""},
        {"QLabel", "标签_3减", {176, 128, 48, 24}, ""},
        {"QLabel", "标签_4减", {232, 128, 48, 24}, ""},
        {"QLabel", "标签_5减", {288, 128, 48, 24}, ""},
        {"QLabel", "标签_基金代码", {48, 176, 64, 24}, "基金代码："},
        {"QLineEdit", "编辑框_基金代码", {120, 176, 112, 24}, ""},
        {"QPushButton", "按钮_查询", {296, 176, 56, 24}, "查询"},
        {"QRadioButton", "单选框1", {16, 208, 48, 24}, "6月"},
        {"QRadioButton", "单选框2", {64, 208, 48, 24}, "一年"},
        {"QRadioButton", "单选框3", {110, 208, 48, 24}, "两年"},
        {"QRadioButton", "单选框4", {160, 208, 48, 24}, "三年"},
        {"QRadioButton", "单选框5", {207, 208, 48, 24}, "五年"},
        {"QRadioButton", "单选框6", {256, 208, 80, 24}, "成立以来"},
        {"QLabel", "标签_状态", {16, 240, 380, 24}, ""},
    };
    EXPECT_EQ(window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
              std::size(table));
    for (const Expected& e : table) {
        auto* widget = window.findChild<QWidget*>(name_of(e.name));
        ASSERT_NE(widget, nullptr) << e.name;
        EXPECT_STREQ(widget->metaObject()->className(), e.kind) << e.name;
        EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
        EXPECT_EQ(gbk_to_utf8(window.control_text(e.name)), e.text) << e.name;
    }
    auto* since_inception = find<QRadioButton>(window, "单选框6");
    EXPECT_TRUE(since_inception->isChecked());
    // One exclusive group: choosing another period clears "成立以来".
    find<QRadioButton>(window, "单选框2")->click();
    EXPECT_FALSE(since_inception->isChecked());
}

TEST(MainWindow, KeyboardStartsInTheCodeBoxAndTabsToButtonThenPeriods) {
    MainWindow window{Text(history_url_prefix)};
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 2000));
    auto* edit = find<QLineEdit>(window, fund_code_edit_name);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    std::vector<QWidget*> expected = {window.control(query_button_name)};
    for (const char* radio : {"单选框1", "单选框2", "单选框3", "单选框4", "单选框5", "单选框6"})
        expected.push_back(window.control(radio));
    QWidget* at = edit;
    for (QWidget* next : expected) {
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
        EXPECT_EQ(at, next) << next->objectName().toStdString();
    }
}

TEST(MainWindow, EnterAndClickRunTheQueryOverTheService) {
    FakeFundService service(generate_history(130, 9));
    MainWindow window{Text(service.url_prefix())};
    WindowSeams seams(window);
    window.show();
    auto* edit = find<QLineEdit>(window, fund_code_edit_name);
    QTest::keyClicks(edit, "110011");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(service.requested_pages(), (std::vector<int>{1, 1, 2, 3, 4}));
    expect_labels_match(shown_labels(window), count_independently(service.history()));
    EXPECT_EQ(find<QLabel>(window, status_label_name)->text().toStdString(), "共 130 条净值记录");

    QTest::mouseClick(find<QPushButton>(window, query_button_name), Qt::LeftButton);
    EXPECT_EQ(service.request_count(), 10u);
    EXPECT_EQ(service.request_targets().back(),
              "/f10/F10DataApi.aspx?type=lsjz&code=110011&page=4&per=40");
}

TEST(MainWindow, SecondClickDuringASlowPageWinsAtOnce) {
    FakeFundService service(generate_history(120, 4));
    service.set_slow_delay(std::chrono::milliseconds(3000));
    service.fail_request(3, PageFailure::slow);  // the first query's page 2
    MainWindow window{Text(service.url_prefix())};
    WindowSeams seams(window);
    window.show();
    auto* edit = find<QLineEdit>(window, fund_code_edit_name);
    auto* button = find<QPushButton>(window, query_button_name);
    edit->setText("000001");
    QTimer::singleShot(200, [&] {
        edit->setText("000002");
        button->click();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    button->click();
    // The waiting request gave up as soon as the newer query had finished: no 3 s wait.
    EXPECT_LT(elapsed.elapsed(), 2000);
    std::vector<std::string> targets = service.request_targets();
    ASSERT_EQ(targets.size(), 3u + 4u);
    for (std::size_t i = 3; i < targets.size(); ++i)
        EXPECT_NE(targets[i].find("code=000002&"), std::string::npos) << targets[i];
    expect_labels_match(shown_labels(window), count_independently(service.history()));
    EXPECT_EQ(find<QLabel>(window, status_label_name)->text().toStdString(), "共 120 条净值记录");
}

TEST(MainWindow, ClosingDuringAQueryStopsItAndEndsTheLoopWithZero) {
    FakeFundService service(generate_history(200));
    service.set_slow_delay(std::chrono::milliseconds(3000));
    service.fail_page(2, PageFailure::slow);
    MainWindow window{Text(service.url_prefix())};
    WindowSeams seams(window);
    window.show();
    auto* button = find<QPushButton>(window, query_button_name);
    QTimer::singleShot(0, button, [button] { button->click(); });
    QTimer::singleShot(300, &window, [&window] { window.close(); });
    QElapsedTimer elapsed;
    elapsed.start();
    int exit_code = QApplication::exec();
    EXPECT_EQ(exit_code, 0);
    EXPECT_LT(elapsed.elapsed(), 2000);
    EXPECT_EQ(service.requested_pages(), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(shown_labels(window), std::vector<std::string>(10, ""));
    EXPECT_EQ(find<QLabel>(window, status_label_name)->text().toStdString(), "正在读取第 2/5 页");
}

}  // namespace
}  // namespace tovmira
