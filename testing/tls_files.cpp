// Generates the test certificate with `openssl req -x509` into a temporary folder.
#include "testing/tls_files.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace tovmira::testing {

namespace {

// Removes the certificate's folder at process exit.
struct CertificateHolder {
    TestCertificate certificate;
    ~CertificateHolder() {
        std::error_code ignored;
        if (!certificate.directory.empty())
            std::filesystem::remove_all(certificate.directory, ignored);
    }
};

}  // namespace

std::string make_temp_directory(const std::string& tag) {
    std::string pattern = "/tmp/tovmira-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
    return std::string(buffer.data());
}

const TestCertificate& test_certificate() {
    static const CertificateHolder holder = [] {
        CertificateHolder made;
        made.certificate.directory = make_temp_directory("tls");
        made.certificate.certificate_path = made.certificate.directory + "/cert.pem";
        made.certificate.key_path = made.certificate.directory + "/key.pem";
        std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
            " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:localhost"
            " -keyout " +
            made.certificate.key_path + " -out " + made.certificate.certificate_path +
            " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl req failed");
        return made;
    }();
    return holder.certificate;
}

}  // namespace tovmira::testing
