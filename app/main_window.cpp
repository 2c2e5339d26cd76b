#include "app/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <span>

#include "text/codepage.h"

namespace tovmira {
namespace {

enum class Kind { label, edit_box, push_button, radio_button };

struct ControlRow {
    Kind kind;
    const char* name;
    int left, top, width, height;
    const char* text;
};

// Every control of the window, in reading order.
constexpr ControlRow control_table[] = {
    {Kind::label, "标签2", 32, 48, 32, 24, "星期："},
    {Kind::label, "标签_周一", 80, 48, 32, 24, "周一"},
    {Kind::label, "标签_周一1", 128, 48, 32, 24, "周二"},
    {Kind::label, "标签_周一3", 184, 48, 32, 24, "周三"},
    {Kind::label, "标签_周一2", 240, 48, 32, 24, "周四"},
    {Kind::label, "标签_周一4", 296, 48, 32, 24, "周五"},
    {Kind::label, "标签1", 32, 88, 32, 24, "涨："},
    {Kind::label, "标签_1加", 64, 88, 48, 24, ""},
    {Kind::label, "标签_2加", 120, 88, 48, 24, ""},
    {Kind::label, "标签_3加", 176, 88, 48, 24, ""},
    {Kind::label, "标签_4加", 232, 88, 48, 24, ""},
    {Kind::label, "标签_5加", 288, 88, 48, 24, ""},
    {Kind::label, "标签3", 32, 128, 32, 24, "跌："},
    {Kind::label, "标签_1减", 64, 128, 48, 24, ""},
    {Kind::label, "标签_2减", 120, 128, 48, 24, ""},
    {Kind::label, "标签_3减", 176, 128, 48, 24, ""},
    {Kind::label, "标签_4减", 232, 128, 48, 24, ""},
    {Kind::label, "标签_5减", 288, 128, 48, 24, ""},
    {Kind::label, "标签_基金代码", 48, 176, 64, 24, "基金代码："},
    {Kind::edit_box, "编辑框_基金代码", 120, 176, 112, 24, ""},
    {Kind::push_button, "按钮_查询", 296, 176, 56, 24, "查询"},
    {Kind::radio_button, "单选框1", 16, 208, 48, 24, "6月"},
    {Kind::radio_button, "单选框2", 64, 208, 48, 24, "一年"},
    {Kind::radio_button, "单选框3", 110, 208, 48, 24, "两年"},
    {Kind::radio_button, "单选框4", 160, 208, 48, 24, "三年"},
    {Kind::radio_button, "单选框5", 207, 208, 48, 24, "五年"},
    {Kind::radio_button, "单选框6", 256, 208, 80, 24, "成立以来"},
    {Kind::label, "标签_状态", 16, 240, 380, 24, ""},
};

constexpr const char* selected_period_name = "单选框6";

std::unique_ptr<QWidget> make_control(Kind kind, QWidget* parent, const QString& text) {
    switch (kind) {
        case Kind::label: {
            // Plain text always: a status line can carry what a server sent.
            auto label = std::make_unique<QLabel>(text, parent);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case Kind::edit_box:
            return std::make_unique<QLineEdit>(text, parent);
        case Kind::push_button:
            return std::make_unique<QPushButton>(text, parent);
        case Kind::radio_button:
            return std::make_unique<QRadioButton>(text, parent);
    }
    return nullptr;
}

}  // namespace

QString to_qstring(TextView text) {
    ByteSet wide = ansi_to_wide(text, true);
    // UTF-16LE bytes; the machines this runs on are little-endian, as QString's units are.
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(wide.data()),
                              static_cast<qsizetype>(wide.size() / 2));
}

Text from_qstring(const QString& text) {
    std::span<const std::uint8_t> wide(reinterpret_cast<const std::uint8_t*>(text.utf16()),
                                       static_cast<std::size_t>(text.size()) * 2);
    return wide_to_ansi(wide);
}

MainWindow::MainWindow(Text url_prefix)
    : period_group_(this), query_runner_(*this, std::move(url_prefix)) {
    setWindowTitle("Tovmira");
    setGeometry(50, 50, 413, 297);
    setFixedSize(413, 297);

    for (const ControlRow& row : control_table) {
        std::unique_ptr<QWidget> widget = make_control(row.kind, this, QString::fromUtf8(row.text));
        widget->setObjectName(QString::fromUtf8(row.name));
        widget->setGeometry(row.left, row.top, row.width, row.height);
        if (auto* radio = qobject_cast<QRadioButton*>(widget.get())) {
            period_group_.addButton(radio);
            radio->setChecked(std::string_view(row.name) == selected_period_name);
        }
        controls_by_name_.emplace(row.name, widget.get());
        controls_.push_back(std::move(widget));
    }

    auto* edit = qobject_cast<QLineEdit*>(control(fund_code_edit_name));
    auto* button = qobject_cast<QPushButton*>(control(query_button_name));
    connect(button, &QPushButton::clicked, this, [this] { query_runner_.on_query_clicked(); });
    connect(edit, &QLineEdit::returnPressed, this, [this] { query_runner_.on_query_clicked(); });

    // Keyboard: typing starts in the code box, Tab goes on to the button, then the periods.
    QWidget* previous = edit;
    for (QWidget* next :
         {static_cast<QWidget*>(button), control("单选框1"), control("单选框2"), control("单选框3"),
          control("单选框4"), control("单选框5"), control("单选框6")}) {
        setTabOrder(previous, next);
        previous = next;
    }
    edit->setFocus();
}

MainWindow::~MainWindow() {
    query_runner_.close();
}

QWidget* MainWindow::control(std::string_view name) const {
    auto found = controls_by_name_.find(name);
    return found == controls_by_name_.end() ? nullptr : found->second;
}

Text MainWindow::control_text(std::string_view name) const {
    QWidget* widget = control(name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return from_qstring(edit->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return from_qstring(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return from_qstring(button->text());
    return Text();
}

void MainWindow::set_control_text(std::string_view name, TextView text) {
    QWidget* widget = control(name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(to_qstring(text));
    if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(to_qstring(text));
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(to_qstring(text));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A running query stops at its next event point; the window itself lives on until main ends.
    query_runner_.close();
    event->accept();
}

}  // namespace tovmira
