// Storage of the test-only CA file.
#include "http/test_hooks.h"

#include <utility>

namespace tovmira {

namespace {
std::string& extra_ca() {
    static std::string path;
    return path;
}
}  // namespace

void trust_extra_ca_for_tests(std::string pem_path) { extra_ca() = std::move(pem_path); }

const std::string& extra_ca_for_tests() { return extra_ca(); }

}  // namespace tovmira
