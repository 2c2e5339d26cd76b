// A small threaded socket server: one acceptor thread, one thread per connection, blocking I/O.
// Stopping shuts the sockets down, which wakes every blocked accept, read and write at once.
#include "testing/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <list>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace tovmira::testing {

namespace {

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

struct SslCtxDeleter {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// Fills `request` from the bytes of one complete request head (without the body).
void parse_head(std::string_view head, RecordedRequest& request) {
    std::size_t line_end = head.find("\r\n");
    request.request_line = std::string(head.substr(0, line_end));
    std::string_view line = request.request_line;
    std::size_t space = line.find(' ');
    request.method = std::string(line.substr(0, space));
    if (space != std::string_view::npos) {
        std::string_view rest = line.substr(space + 1);
        request.target = std::string(rest.substr(0, rest.find(' ')));
    }
    std::size_t pos = line_end == std::string_view::npos ? head.size() : line_end + 2;
    while (pos < head.size()) {
        std::size_t end = head.find("\r\n", pos);
        if (end == std::string_view::npos) end = head.size();
        std::string_view header = head.substr(pos, end - pos);
        if (header.empty()) break;
        std::size_t colon = header.find(':');
        if (colon == std::string_view::npos) {
            request.headers.emplace_back(std::string(header), std::string());
        } else {
            request.headers.emplace_back(std::string(header.substr(0, colon)),
                                         std::string(trim(header.substr(colon + 1))));
        }
        pos = end + 2;
    }
}

}  // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (equal_ignoring_case(key, name)) return value;
    }
    return std::nullopt;
}

std::string RecordedRequest::header_block() const {
    std::size_t start = bytes.find("\r\n");
    std::size_t end = bytes.find("\r\n\r\n");
    if (start == std::string::npos || end == std::string::npos || end < start) return {};
    return bytes.substr(start + 2, end - start);
}

Reply Reply::full(std::string bytes, bool keep_alive) {
    Reply reply;
    reply.bytes = std::move(bytes);
    reply.keep_alive = keep_alive;
    return reply;
}

Reply Reply::cut(std::string bytes, std::size_t count) {
    Reply reply;
    reply.bytes = std::move(bytes);
    reply.send_limit = count;
    return reply;
}

Reply Reply::stall() {
    Reply reply;
    reply.kind = Kind::stall;
    return reply;
}

Reply Reply::close_now() {
    Reply reply;
    reply.kind = Kind::close_now;
    return reply;
}

Reply Reply::trickle(std::string bytes, std::chrono::milliseconds delay, std::size_t chunk) {
    Reply reply;
    reply.bytes = std::move(bytes);
    reply.trickle_delay = delay;
    reply.trickle_chunk = std::max<std::size_t>(chunk, 1);
    return reply;
}

std::string http_response(int status, std::string_view reason, std::string_view body,
                          const std::vector<std::string>& header_lines) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
    bool has_length = false;
    for (const std::string& line : header_lines) {
        std::string_view name = std::string_view(line).substr(0, line.find(':'));
        if (equal_ignoring_case(trim(name), "Content-Length") ||
            equal_ignoring_case(trim(name), "Transfer-Encoding")) {
            has_length = true;
        }
        out += line;
        out += "\r\n";
    }
    if (!has_length) out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out += "\r\n";
    out += body;
    return out;
}

std::string http_ok(std::string_view body) {
    return http_response(200, "OK", body, {"Content-Type: text/html"});
}

std::string http_redirect(std::string_view location, int status) {
    std::string reason = status == 301   ? "Moved Permanently"
                         : status == 303 ? "See Other"
                         : status == 307 ? "Temporary Redirect"
                         : status == 308 ? "Permanent Redirect"
                                         : "Found";
    return http_response(status, reason, "", {"Location: " + std::string(location)});
}

struct RawHttpServer::State {
    ReplyHandler handler;
    std::unique_ptr<SSL_CTX, SslCtxDeleter> tls;
    int listen_fd = -1;
    std::uint16_t port = 0;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool stopping = false;
    std::vector<RecordedRequest> requests;
    std::size_t connections = 0;
    std::set<int> open_fds;

    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Worker> workers;  // touched by the acceptor thread, then by the destructor
    std::thread acceptor;

    void accept_loop();
    void serve(int fd, int connection_index);
    // Sleeps for `delay` unless the server stops first; false when it is stopping.
    bool pause(std::chrono::milliseconds delay) {
        std::unique_lock lock(mutex);
        return !changed.wait_for(lock, delay, [this] { return stopping; });
    }
};

namespace {

// The bytes of one connection, plain or TLS.
class Stream {
  public:
    Stream(int fd, SSL* ssl) : fd_(fd), ssl_(ssl) {}
    // Bytes read into `buffer`, or 0 at the end of the stream or on any error.
    std::size_t read_some(char* buffer, std::size_t size) {
        if (ssl_) {
            int n = SSL_read(ssl_, buffer, static_cast<int>(size));
            return n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        for (;;) {
            ssize_t n = ::recv(fd_, buffer, size, 0);
            if (n < 0 && errno == EINTR) continue;
            return n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    }
    bool write_all(std::string_view data) {
        while (!data.empty()) {
            std::size_t n = 0;
            if (ssl_) {
                int written = SSL_write(ssl_, data.data(), static_cast<int>(data.size()));
                if (written <= 0) return false;
                n = static_cast<std::size_t>(written);
            } else {
                ssize_t written = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
                if (written < 0 && errno == EINTR) continue;
                if (written <= 0) return false;
                n = static_cast<std::size_t>(written);
            }
            data.remove_prefix(n);
        }
        return true;
    }

  private:
    int fd_;
    SSL* ssl_;
};

}  // namespace

void RawHttpServer::State::accept_loop() {
    for (;;) {
        int fd = ::accept(listen_fd, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // the listening socket was shut down
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        int index = 0;
        {
            std::lock_guard lock(mutex);
            if (stopping) {
                ::close(fd);
                return;
            }
            open_fds.insert(fd);
            index = static_cast<int>(connections++);
        }
        for (auto it = workers.begin(); it != workers.end();) {
            if (it->done->load()) {
                it->thread.join();
                it = workers.erase(it);
            } else {
                ++it;
            }
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        workers.push_back({std::thread([this, fd, index, done] {
                               serve(fd, index);
                               done->store(true);
                           }),
                           done});
    }
}

void RawHttpServer::State::serve(int fd, int connection_index) {
    std::unique_ptr<SSL, SslDeleter> ssl;
    if (tls) {
        ssl.reset(SSL_new(tls.get()));
        SSL_set_fd(ssl.get(), fd);
        if (SSL_accept(ssl.get()) <= 0) ssl.reset();
    }
    Stream stream(fd, ssl.get());
    bool usable = !tls || ssl != nullptr;
    std::string pending;
    char buffer[16384];
    bool keep = usable;
    while (keep) {
        // Read one request head, then its Content-Length bytes of body.
        std::size_t head_end;
        while ((head_end = pending.find("\r\n\r\n")) == std::string::npos) {
            std::size_t n = stream.read_some(buffer, sizeof buffer);
            if (n == 0) {
                keep = false;
                break;
            }
            pending.append(buffer, n);
        }
        if (!keep) break;
        RecordedRequest request;
        parse_head(std::string_view(pending).substr(0, head_end + 2), request);
        std::size_t body_length = 0;
        if (auto length = request.header("Content-Length")) {
            body_length = std::strtoull(length->c_str(), nullptr, 10);
        }
        std::size_t total = head_end + 4 + body_length;
        while (pending.size() < total) {
            std::size_t n = stream.read_some(buffer, sizeof buffer);
            if (n == 0) break;
            pending.append(buffer, n);
        }
        total = std::min(total, pending.size());
        request.bytes = pending.substr(0, total);
        request.body = request.bytes.substr(std::min(head_end + 4, total));
        request.connection_index = connection_index;
        pending.erase(0, total);

        ReplyHandler current;
        {
            std::lock_guard lock(mutex);
            requests.push_back(request);
            current = handler;
        }
        changed.notify_all();
        Reply reply = current ? current(request) : Reply::close_now();

        if (reply.kind == Reply::Kind::close_now) break;
        if (reply.kind == Reply::Kind::stall) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return stopping; });
            break;
        }
        std::string_view out = reply.bytes;
        if (reply.send_limit < out.size()) out = out.substr(0, reply.send_limit);
        bool sent = true;
        if (reply.trickle_delay.count() > 0) {
            for (std::size_t at = 0; sent && at < out.size(); at += reply.trickle_chunk) {
                sent = pause(reply.trickle_delay) &&
                       stream.write_all(out.substr(at, reply.trickle_chunk));
            }
        } else {
            sent = stream.write_all(out);
        }
        keep = sent && reply.keep_alive && reply.send_limit >= reply.bytes.size();
    }
    if (ssl && keep == false) SSL_shutdown(ssl.get());
    ssl.reset();
    {
        std::lock_guard lock(mutex);
        open_fds.erase(fd);
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

RawHttpServer::RawHttpServer(Reply reply, std::optional<TlsFiles> tls)
    : RawHttpServer([reply](const RecordedRequest&) { return reply; }, std::move(tls)) {}

RawHttpServer::RawHttpServer(ReplyHandler handler, std::optional<TlsFiles> tls)
    : state_(std::make_shared<State>()) {
    state_->handler = std::move(handler);
    if (tls) {
        state_->tls.reset(SSL_CTX_new(TLS_server_method()));
        if (!state_->tls ||
            SSL_CTX_use_certificate_chain_file(state_->tls.get(), tls->certificate_path.c_str()) !=
                1 ||
            SSL_CTX_use_PrivateKey_file(state_->tls.get(), tls->key_path.c_str(),
                                        SSL_FILETYPE_PEM) != 1) {
            throw std::runtime_error("RawHttpServer: cannot load " + tls->certificate_path);
        }
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 128) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("RawHttpServer: cannot listen on 127.0.0.1");
    }
    state_->listen_fd = fd;
    state_->port = ntohs(address.sin_port);
    state_->acceptor = std::thread([state = state_.get()] { state->accept_loop(); });
}

RawHttpServer::~RawHttpServer() {
    State& state = *state_;
    {
        std::lock_guard lock(state.mutex);
        state.stopping = true;
    }
    state.changed.notify_all();
    ::shutdown(state.listen_fd, SHUT_RDWR);
    state.acceptor.join();
    ::close(state.listen_fd);
    {
        std::lock_guard lock(state.mutex);
        for (int fd : state.open_fds) ::shutdown(fd, SHUT_RDWR);
    }
    for (auto& worker : state.workers) worker.thread.join();
}

std::uint16_t RawHttpServer::port() const {
    return state_->port;
}

std::string RawHttpServer::url(std::string_view path) const {
    return std::string(state_->tls ? "https" : "http") +
           "://127.0.0.1:" + std::to_string(state_->port) + std::string(path);
}

void RawHttpServer::set_handler(ReplyHandler handler) {
    std::lock_guard lock(state_->mutex);
    state_->handler = std::move(handler);
}

std::vector<RecordedRequest> RawHttpServer::requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

std::size_t RawHttpServer::request_count() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests.size();
}

std::size_t RawHttpServer::connection_count() const {
    std::lock_guard lock(state_->mutex);
    return state_->connections;
}

bool RawHttpServer::wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, limit, [&] { return state_->requests.size() >= count; });
}

std::uint16_t refused_port() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace tovmira::testing
