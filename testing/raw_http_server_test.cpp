// The test server itself, driven by plain sockets: recording, keep-alive, cuts and shutdown.
#include "testing/raw_http_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace tovmira::testing {
namespace {

int connect_to(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void send_all(int fd, std::string_view data) {
    ASSERT_EQ(::send(fd, data.data(), data.size(), 0), static_cast<ssize_t>(data.size()));
}

// Everything the server sends until it closes, or `limit` bytes.
std::string read_until_close(int fd, std::size_t limit = std::string::npos) {
    std::string out;
    char buffer[4096];
    while (out.size() < limit) {
        ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, limit - out.size()), 0);
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

TEST(RawHttpServer, RecordsRequestsAndAnswersPerHandler) {
    RawHttpServer server([](const RecordedRequest& request) {
        return Reply::full(http_ok("path=" + request.target + " body=" + request.body), true);
    });
    int fd = connect_to(server.port());
    ASSERT_GE(fd, 0);
    std::string first = "POST /a?x=1 HTTP/1.1\r\nHost: h\r\nContent-Length: 5\r\n\r\nhello";
    std::string second = "GET /b HTTP/1.1\r\nHost: h\r\n\r\n";
    send_all(fd, first + second);
    std::string expected = http_ok("path=/a?x=1 body=hello") + http_ok("path=/b body=");
    EXPECT_EQ(read_until_close(fd, expected.size()), expected);
    ::close(fd);

    ASSERT_TRUE(server.wait_for_requests(2, std::chrono::seconds(2)));
    auto requests = server.requests();
    EXPECT_EQ(requests[0].bytes, first);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].header("content-length"), "5");
    EXPECT_EQ(requests[0].header_block(), "Host: h\r\nContent-Length: 5\r\n");
    EXPECT_EQ(requests[1].bytes, second);
    EXPECT_EQ(requests[1].connection_index, 0);
    EXPECT_EQ(server.connection_count(), 1u);
}

TEST(RawHttpServer, CutsTheResponseAndCloses) {
    std::string full = http_ok("0123456789");
    RawHttpServer server(Reply::cut(full, full.size() - 4));
    int fd = connect_to(server.port());
    send_all(fd, "GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(read_until_close(fd), full.substr(0, full.size() - 4));
    ::close(fd);
}

TEST(RawHttpServer, StopsPromptlyWhileAClientIsStalled) {
    auto start = std::chrono::steady_clock::now();
    int fd = -1;
    {
        RawHttpServer server(Reply::stall());
        fd = connect_to(server.port());
        send_all(fd, "GET / HTTP/1.1\r\n\r\n");
        ASSERT_TRUE(server.wait_for_requests(1, std::chrono::seconds(2)));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(read_until_close(fd), "");
    ::close(fd);
}

TEST(RawHttpServer, RefusedPortRefuses) {
    EXPECT_EQ(connect_to(refused_port()), -1);
}

}  // namespace
}  // namespace tovmira::testing
