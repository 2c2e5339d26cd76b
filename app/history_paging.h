// The fund-data service's listing addresses and what a query reads from its pages: the page
// count after "pages:", the table rows, and whether a page arrived whole.
#pragma once

#include <string_view>

#include "text/types.h"

namespace tovmira {

// The fixed start of every listing address; the fund code follows it directly.
inline constexpr std::string_view history_url_prefix =
    "http://fund.eastmoney.com/f10/F10DataApi.aspx?type=lsjz&code=";

// Rows asked for per page.
inline constexpr int rows_per_page = 40;

// prefix + fund_code exactly as typed (no trimming, no escaping) + "&page=" + n + "&per=40".
Text page_address(TextView url_prefix, TextView fund_code, int page);

// The number after the first "pages:" up to the next ","; 0 when either is missing.
int page_count_of(TextView page_text);

// Empties `page_rows`, then fills it with the page's table rows, each "日期" followed by the text
// between "<tr><td>" and "</tr>" (letter case ignored), trimmed. Returns the row count.
int cut_page_rows(TextView page_text, TextArray& page_rows);

// Whether an exchange got an answer of the 2xx class: `status_text` as http_fetch leaves it,
// '200 OK' for a response, a numbered failure such as '712 服务器未响应!' otherwise.
bool answered_ok(TextView status_text);

// Whether a listing page arrived whole and as the listing: answered with 2xx and holding the
// "pages:" that ends every listing page (a body cut short or a foreign page lacks it).
bool page_read_ok(TextView status_text, TextView page_text);

}  // namespace tovmira
