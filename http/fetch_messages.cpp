#include "http/fetch_messages.h"

#include "text/gbk_literal.h"

namespace tovmira {

const Text& fetch_message(FetchFailure failure) {
    switch (failure) {
        case FetchFailure::platform:
            return "700 当前系统不支持WinHttp服务!"_gbk;
        case FetchFailure::crack_url:
            return "701 解析URL地址失败!"_gbk;
        case FetchFailure::open_session:
            return "702 创建WinHttp会话失败!"_gbk;
        case FetchFailure::connect:
            return "703 创建WinHttp连接失败!"_gbk;
        case FetchFailure::open_request:
            return "704 创建WinHttp请求失败!"_gbk;
        case FetchFailure::set_timeouts:
            return "705 设置超时时间失败!"_gbk;
        case FetchFailure::server_credentials:
            return "706 设置服务器凭证失败!"_gbk;
        case FetchFailure::proxy_credentials:
            return "707 设置代理凭证失败!"_gbk;
        case FetchFailure::cookie_option:
            return "708 禁止自动设置Cookies失败!"_gbk;
        case FetchFailure::redirect_option:
            return "709 重定向设置失败!"_gbk;
        case FetchFailure::add_headers:
            return "710 设置协议头失败!"_gbk;
        case FetchFailure::send_request:
            return "711 发送请求失败!"_gbk;
        case FetchFailure::receive_response:
            return "712 服务器未响应!"_gbk;
        case FetchFailure::read_data:
            break;
    }
    return "713 读取数据失败!"_gbk;
}

}  // namespace tovmira
