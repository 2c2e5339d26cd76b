// Writes a minimal tinyproxy config, spawns the proxy in the foreground and polls its port.
#include "testing/tinyproxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "testing/raw_http_server.h"
#include "testing/tls_files.h"

extern char** environ;

namespace tovmira::testing {

namespace {

bool accepts_connections(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

Tinyproxy::Tinyproxy(std::optional<ProxyLogin> login) {
    directory_ = make_temp_directory("proxy");
    port_ = refused_port();
    std::string config_path = directory_ + "/tinyproxy.conf";
    {
        std::ofstream config(config_path);
        config << "Port " << port_ << "\n"
               << "Listen 127.0.0.1\n"
               << "Timeout 10\n"
               << "MaxClients 20\n"
               << "LogLevel Error\n"
               << "LogFile \"" << directory_ << "/tinyproxy.log\"\n"
               << "PidFile \"" << directory_ << "/tinyproxy.pid\"\n"
               << "Allow 127.0.0.1\n"
               << "DisableViaHeader Yes\n";
        if (login) config << "BasicAuth " << login->user << " " << login->password << "\n";
    }
    std::string program = "tinyproxy";
    std::string foreground = "-d";
    std::string config_flag = "-c";
    char* argv[] = {program.data(), foreground.data(), config_flag.data(), config_path.data(),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string output = directory_ + "/output.log";
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    int spawned = posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start tinyproxy");
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!accepts_connections(port_)) {
        if (std::chrono::steady_clock::now() > deadline) {
            stop();
            throw std::runtime_error("tinyproxy did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Tinyproxy::~Tinyproxy() {
    stop();
}

void Tinyproxy::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    std::error_code ignored;
    if (!directory_.empty()) std::filesystem::remove_all(directory_, ignored);
    directory_.clear();
}

std::string Tinyproxy::address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

}  // namespace tovmira::testing
