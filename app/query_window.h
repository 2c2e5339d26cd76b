// QueryWindow: what a query needs of the main window, reading and writing control texts by the
// controls' names, so that the query logic runs and is tested without any window toolkit.
#pragma once

#include <string_view>

#include "text/types.h"

namespace tovmira {

// Control names as the window carries them (UTF-8 source text, also the Qt object names).
inline constexpr std::string_view fund_code_edit_name = "编辑框_基金代码";
inline constexpr std::string_view query_button_name = "按钮_查询";
inline constexpr std::string_view status_label_name = "标签_状态";

// The ten result labels: the rise row Monday to Friday, then the fall row Monday to Friday. This
// is the order in which a query clears them and writes them.
inline constexpr std::string_view result_label_names[10] = {
    "标签_1加", "标签_2加", "标签_3加", "标签_4加", "标签_5加",
    "标签_1减", "标签_2减", "标签_3减", "标签_4减", "标签_5减",
};

class QueryWindow {
  public:
    virtual ~QueryWindow() = default;
    // A new GBK text holding the named control's current text; empty for an empty or unknown one.
    virtual Text control_text(std::string_view name) const = 0;
    // The named control shows `text` (GBK) from now on; an unknown name changes nothing.
    virtual void set_control_text(std::string_view name, TextView text) = 0;
};

}  // namespace tovmira
