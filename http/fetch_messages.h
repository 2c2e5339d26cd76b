// The numbered messages that http_fetch stores into status_text when a step of the exchange
// fails: fetch_message(FetchFailure::send_request) is "711 发送请求失败!" in GBK.
#pragma once

#include "text/types.h"

namespace tovmira {

// Each value is the message's number.
enum class FetchFailure {
    platform = 700,
    crack_url = 701,
    open_session = 702,
    connect = 703,
    open_request = 704,
    set_timeouts = 705,
    server_credentials = 706,
    proxy_credentials = 707,
    cookie_option = 708,
    redirect_option = 709,
    add_headers = 710,
    send_request = 711,
    receive_response = 712,
    read_data = 713,
};

// The message text: the number, one space, the words and "!".
const Text& fetch_message(FetchFailure failure);

}  // namespace tovmira
