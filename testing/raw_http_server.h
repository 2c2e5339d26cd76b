// RawHttpServer: a real HTTP (or TLS) server on 127.0.0.1 for tests, which records the exact bytes
// of every request and answers each with a scripted Reply. RawHttpServer s{Reply::full(...)}.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovmira::testing {

// One request as it arrived: `bytes` is everything on the wire (head and body); the other fields
// are views of it taken apart. A request ends after its Content-Length bytes of body.
struct RecordedRequest {
    std::string bytes;         // request line, header lines, empty line and body, verbatim
    std::string request_line;  // "GET /a?b=1 HTTP/1.1" without CR LF
    std::string method;        // "GET"
    std::string target;        // "/a?b=1" (absolute "http://host/a" when sent to a proxy)
    std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
    std::string body;
    int connection_index = 0;  // which accepted connection (0, 1, ...) carried it

    // The value of the first header named `name` (case-insensitive), or nullopt.
    std::optional<std::string> header(std::string_view name) const;
    // The header lines between the request line and the empty line, each ended by CR LF.
    std::string header_block() const;
};

// How the server answers one request.
struct Reply {
    enum class Kind {
        send,       // write `bytes` (all, or the first `send_limit` of them), then keep or close
        stall,      // read the request and say nothing until the client or the server goes away
        close_now,  // close the connection without a byte
    };
    Kind kind = Kind::send;
    std::string bytes;                           // the complete response as it goes on the wire
    std::size_t send_limit = std::string::npos;  // send only this many bytes, then close
    std::chrono::milliseconds trickle_delay{0};  // pause before each chunk of `trickle_chunk` bytes
    std::size_t trickle_chunk = 1;
    bool keep_alive = false;  // after sending: read the next request on the same connection

    // `bytes` sent whole, then the connection closed (or kept for the next request).
    static Reply full(std::string bytes, bool keep_alive = false);
    // The first `count` bytes of `bytes`, then the connection closed (a body cut short).
    static Reply cut(std::string bytes, std::size_t count);
    // Accept and read the request, then stay silent.
    static Reply stall();
    // Close the connection as soon as the request has been read.
    static Reply close_now();
    // `bytes` in chunks of `chunk` bytes with `delay` before each, then close.
    static Reply trickle(std::string bytes, std::chrono::milliseconds delay, std::size_t chunk = 1);
};

// A complete response: "HTTP/1.1 <status> <reason>", the given header lines, Content-Length
// (unless a header line already names Content-Length or Transfer-Encoding), an empty line, body.
std::string http_response(int status, std::string_view reason, std::string_view body,
                          const std::vector<std::string>& header_lines = {});
// 200 OK with "Content-Type: text/html" and `body`.
std::string http_ok(std::string_view body);
// A redirect (302 Found unless `status` says otherwise) to `location`, with an empty body.
std::string http_redirect(std::string_view location, int status = 302);

// Produces the reply for each request; called on the server's threads, one call per request.
using ReplyHandler = std::function<Reply(const RecordedRequest&)>;

// Certificate and key files (PEM) that make the server speak TLS.
struct TlsFiles {
    std::string certificate_path;
    std::string key_path;
};

// Listens on 127.0.0.1 at an ephemeral port from construction; each connection is served on a
// thread of its own. The destructor stops everything promptly, even with clients stalled.
class RawHttpServer {
  public:
    explicit RawHttpServer(ReplyHandler handler, std::optional<TlsFiles> tls = std::nullopt);
    // Every request gets (a copy of) the same reply.
    explicit RawHttpServer(Reply reply, std::optional<TlsFiles> tls = std::nullopt);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    std::uint16_t port() const;
    // "http://127.0.0.1:<port>" followed by `path` ("https://" for a TLS server).
    std::string url(std::string_view path = "/") const;
    // Replaces the handler for requests that arrive from now on.
    void set_handler(ReplyHandler handler);

    // Copies of the requests received so far, in order of arrival.
    std::vector<RecordedRequest> requests() const;
    std::size_t request_count() const;
    // The number of connections accepted so far.
    std::size_t connection_count() const;
    // Waits up to `limit` until at least `count` requests arrived; false on timeout.
    bool wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const;

    struct State;

  private:
    std::shared_ptr<State> state_;
};

// A port on 127.0.0.1 where nothing listens (bound once, then closed), so a connect is refused.
std::uint16_t refused_port();

}  // namespace tovmira::testing
