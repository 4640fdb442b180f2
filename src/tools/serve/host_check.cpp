#include "tools/serve/host_check.h"

#include <algorithm>
#include <cctype>

namespace scenario::tool::serve {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool is_ipv4_literal(std::string_view s) {
  int parts = 0, digits = 0;
  for (char c : s) {
    if (c == '.') {
      if (digits == 0) return false;
      ++parts, digits = 0;
    } else if (std::isdigit(static_cast<unsigned char>(c)) && digits < 3) {
      ++digits;
    } else {
      return false;
    }
  }
  return parts == 3 && digits > 0;
}

bool is_wildcard(std::string_view host) { return host.empty() || host == "0.0.0.0" || host == "::" || host == "[::]"; }

std::string unbracketed(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    return std::string(host.substr(1, host.size() - 2));
  return std::string(host);
}

}  // namespace

bool is_loopback(std::string_view host) {
  const std::string h = lower(unbracketed(host));
  return h == "localhost" || h == "::1" || (is_ipv4_literal(h) && h.rfind("127.", 0) == 0);
}

bool host_allowed(std::string_view header, std::string_view bound_host, int port) {
  if (header.empty()) return false;
  std::string name;
  std::string_view port_text;
  if (header.front() == '[') {
    const std::size_t close = header.find(']');
    if (close == std::string_view::npos) return false;
    name = std::string(header.substr(1, close - 1));
    const std::string_view rest = header.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return false;
    if (!rest.empty()) port_text = rest.substr(1);
    if (name.find(':') == std::string::npos) return false;
  } else {
    const std::size_t colon = header.find(':');
    name = std::string(header.substr(0, colon));
    if (colon != std::string_view::npos) port_text = header.substr(colon + 1);
  }
  if (port_text.empty()) {
    if (header.back() == ':' || port != 80) return false;
  } else if (port_text != std::to_string(port)) {
    return false;
  }
  name = lower(name);
  if (!name.empty() && name.back() == '.') name.pop_back();  // "localhost." is localhost
  if (name == "localhost") return true;
  if (name == lower(unbracketed(bound_host))) return true;
  // Bound by the name localhost: its loopback addresses are that name too.
  if (lower(bound_host) == "localhost" && is_loopback(name)) return true;
  if (is_wildcard(bound_host)) return is_ipv4_literal(name) || name.find(':') != std::string::npos;
  return false;
}

std::string page_url(const std::string& host, int port) {
  const std::string h = host.find(':') != std::string::npos && host.front() != '[' ? "[" + host + "]" : host;
  return "http://" + h + ":" + std::to_string(port) + "/";
}

}  // namespace scenario::tool::serve
