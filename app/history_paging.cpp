#include "app/history_paging.h"

#include "text/find.h"
#include "text/gbk_literal.h"
#include "text/markers.h"
#include "text/numbers.h"

namespace tovmira {

Text page_address(TextView url_prefix, TextView fund_code, int page) {
    Text address(url_prefix);
    address += fund_code;
    address += "&page=";
    address += integer_to_text(page);
    address += "&per=";
    address += integer_to_text(rows_per_page);
    return address;
}

int page_count_of(TextView page_text) {
    return text_to_integer(text_between(page_text, "pages:", ","));
}

int cut_page_rows(TextView page_text, TextArray& page_rows) {
    return text_between_all(page_text, "<tr><td>", "</tr>", page_rows,
                            {.case_sensitive = false, .prefix = "日期"_gbk});
}

bool answered_ok(TextView status_text) {
    return status_text.size() >= 3 && status_text[0] == '2' && status_text[1] >= '0' &&
           status_text[1] <= '9' && status_text[2] >= '0' && status_text[2] <= '9';
}

bool page_read_ok(TextView status_text, TextView page_text) {
    return answered_ok(status_text) && find_text(page_text, "pages:") >= 1;
}

}  // namespace tovmira
