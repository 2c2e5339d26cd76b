// Throw-away TLS files for tests: a self-signed certificate for 127.0.0.1 and localhost, made
// once per process with the openssl command. RawHttpServer s{reply, test_certificate().files()}.
#pragma once

#include <string>

#include "testing/raw_http_server.h"

namespace tovmira::testing {

struct TestCertificate {
    std::string directory;         // a temporary folder removed when the process ends
    std::string certificate_path;  // PEM; also the CA file a client must trust
    std::string key_path;          // PEM, unencrypted
    TlsFiles files() const { return {certificate_path, key_path}; }
};

// The process's certificate, generated on first use; throws std::runtime_error when openssl fails.
const TestCertificate& test_certificate();

// A fresh temporary folder "/tmp/tovmira-<tag>-XXXXXX"; throws when it cannot be made.
std::string make_temp_directory(const std::string& tag);

}  // namespace tovmira::testing
