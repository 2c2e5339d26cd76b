// Times a whole query over the local fake fund service against the floor of plain sequential
// GETs of the same pages, counts event dispatches per page, and reports peak memory.
//   query_bench            speed: 150 pages of 40 rows, median of 5 runs each
//   query_bench --memory   one query over a 10,000-row history, then the process's max RSS
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/query.h"
#include "app/recording_window.h"
#include "testing/fake_fund_service.h"
#include "text/events.h"

namespace {

using Clock = std::chrono::steady_clock;
using tovmira::testing::FakeFundService;

double milliseconds_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The targets a query of `pages` pages asks for: page 1 twice, then 2..pages.
std::vector<std::string> query_targets(int pages) {
    std::vector<std::string> targets;
    std::string base = "/f10/F10DataApi.aspx?type=lsjz&code=000001&page=";
    targets.push_back(base + "1&per=40");
    for (int page = 1; page <= pages; ++page)
        targets.push_back(base + std::to_string(page) + "&per=40");
    return targets;
}

// One GET over a fresh connection, read to the end; the bytes received.
std::size_t raw_get(std::uint16_t port, const std::string& target) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::size_t received = 0;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string request = "GET " + target +
                              " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nConnection: close\r\n\r\n";
        if (::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
            char buffer[65536];
            for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) received += n;
        }
    }
    ::close(fd);
    return received;
}

std::uint16_t port_of(const std::string& prefix) {
    return static_cast<std::uint16_t>(std::atoi(prefix.c_str() + prefix.rfind(':') + 1));
}

struct QueryRun {
    double milliseconds;
    long dispatches;
    std::string status;
};

QueryRun run_query(const FakeFundService& service) {
    tovmira::RecordingWindow window;
    window.type_code("000001");
    tovmira::QueryRunner runner(window, tovmira::Text(service.url_prefix()));
    long dispatches = 0;
    auto previous = tovmira::set_event_dispatcher([&dispatches] { ++dispatches; });
    Clock::time_point start = Clock::now();
    runner.on_query_clicked();
    double elapsed = milliseconds_since(start);
    tovmira::set_event_dispatcher(std::move(previous));
    return {elapsed, dispatches, window.utf8(tovmira::status_label_name)};
}

long max_rss_kilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int speed() {
    constexpr int pages = 150;
    FakeFundService service(tovmira::testing::generate_history(pages * 40));
    std::string prefix = service.url_prefix();
    std::uint16_t port = port_of(prefix);
    std::string host = prefix.substr(0, prefix.find("/f10/"));
    std::vector<std::string> targets = query_targets(pages);

    // The curl tool fetching the 151 addresses one after another; the service closes each
    // connection after its answer, so every GET opens a fresh one.
    std::string curl_command = "curl -s -o /dev/null";
    for (std::size_t i = 1; i < targets.size(); ++i) curl_command += " -o /dev/null";
    for (const std::string& target : targets) curl_command += " '" + host + target + "'";

    std::vector<double> query_times, curl_times, socket_times;
    QueryRun last{};
    for (int round = 0; round < 5; ++round) {
        Clock::time_point start = Clock::now();
        for (const std::string& target : targets) raw_get(port, target);
        socket_times.push_back(milliseconds_since(start));

        start = Clock::now();
        if (std::system(curl_command.c_str()) != 0) std::fprintf(stderr, "curl failed\n");
        curl_times.push_back(milliseconds_since(start));

        last = run_query(service);
        query_times.push_back(last.milliseconds);
    }
    double query = median(query_times), curl = median(curl_times), sockets = median(socket_times);
    std::printf("query of %d pages (%zu requests): %.1f ms (median of 5)\n", pages, targets.size(),
                query);
    std::printf("floor, curl tool, 151 fresh connections: %.1f ms -> ratio %.2f\n", curl,
                query / curl);
    std::printf("floor, bare sockets, 151 fresh connections: %.1f ms -> ratio %.2f\n", sockets,
                query / sockets);
    std::printf("event dispatches: %ld for %d pages (%.1f a page); status: %s\n", last.dispatches,
                pages, static_cast<double>(last.dispatches) / pages, last.status.c_str());
    return last.dispatches >= pages ? 0 : 1;
}

int memory() {
    FakeFundService service(tovmira::testing::generate_history(10000));
    QueryRun run = run_query(service);
    std::printf("10,000-row query: %.1f ms, status: %s\n", run.milliseconds, run.status.c_str());
    std::printf("peak memory (max RSS of the whole process): %.1f MB\n",
                max_rss_kilobytes() / 1024.0);
    return max_rss_kilobytes() <= 80 * 1024 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--memory") return memory();
    return speed();
}
