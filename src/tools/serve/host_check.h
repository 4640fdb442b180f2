// The Host header check of the preview's server, and the address it prints:
// plain functions of text, so that tests and the fuzzer reach them without
// a server.
#pragma once

#include <string>
#include <string_view>

namespace scenario::tool::serve {

// Whether a request's Host header may reach a server bound to `bound_host`
// at `port`. A wildcard bind (0.0.0.0, ::) has no one address: there any IP
// address literal passes, as no DNS name can be rebound to one.
bool host_allowed(std::string_view host_header, std::string_view bound_host, int port);

// Whether `host` is a loopback address or localhost.
bool is_loopback(std::string_view host);

// "http://127.0.0.1:8417/", with brackets around an IPv6 address.
std::string page_url(const std::string& host, int port);

}  // namespace scenario::tool::serve
