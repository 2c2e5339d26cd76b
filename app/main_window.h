// MainWindow: Tovmira's one window, its 28 controls built from one table, and the bridge between
// the controls' QStrings and the query's GBK texts. The click and Enter run the query.
#pragma once

#include <QButtonGroup>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/query.h"
#include "app/query_window.h"

namespace tovmira {

class MainWindow : public QWidget, public QueryWindow {
    Q_OBJECT
  public:
    // The window with every control; queries go to `url_prefix` (history_url_prefix in the
    // program).
    explicit MainWindow(Text url_prefix);
    ~MainWindow() override;

    Text control_text(std::string_view name) const override;
    void set_control_text(std::string_view name, TextView text) override;

    // The named control, or null; names are the Qt object names ("按钮_查询", ...).
    QWidget* control(std::string_view name) const;

    QueryRunner& query_runner() { return query_runner_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::vector<std::unique_ptr<QWidget>> controls_;
    std::map<std::string, QWidget*, std::less<>> controls_by_name_;
    QButtonGroup period_group_;
    QueryRunner query_runner_;
};

// Text (GBK) to QString and back, through UTF-16.
QString to_qstring(TextView text);
Text from_qstring(const QString& text);

}  // namespace tovmira
