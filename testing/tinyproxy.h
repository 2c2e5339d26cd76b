// Tinyproxy: runs the real tinyproxy (Debian package) on 127.0.0.1 for a test, optionally with
// Basic authentication. Tinyproxy proxy; http_fetch(url, {.proxy = proxy.address()}).
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <optional>
#include <string>

namespace tovmira::testing {

struct ProxyLogin {
    std::string user;
    std::string password;
};

// Starts `tinyproxy -d -c FILE` with a config in a temporary folder and waits until it accepts
// connections; throws std::runtime_error when it does not within a few seconds. The destructor
// stops the process and removes the folder.
class Tinyproxy {
  public:
    explicit Tinyproxy(std::optional<ProxyLogin> login = std::nullopt);
    ~Tinyproxy();
    Tinyproxy(const Tinyproxy&) = delete;
    Tinyproxy& operator=(const Tinyproxy&) = delete;

    std::uint16_t port() const { return port_; }
    // "127.0.0.1:<port>"
    std::string address() const;

  private:
    void stop();

    std::string directory_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace tovmira::testing
