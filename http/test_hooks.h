// Test-only switches of the winhttp layer; production code never calls them.
// trust_extra_ca_for_tests(test_certificate().certificate_path) lets a test's TLS server in.
#pragma once

#include <string>

namespace tovmira {

// Trusts the CA certificates in the PEM file at `pem_path` besides the system's store for every
// request opened afterwards; an empty path goes back to the system's store alone.
void trust_extra_ca_for_tests(std::string pem_path);

// The file set by trust_extra_ca_for_tests, or the empty string.
const std::string& extra_ca_for_tests();

}  // namespace tovmira
