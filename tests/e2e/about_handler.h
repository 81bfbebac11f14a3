// Registers the logging stand-in as the prefix's handler for https
// addresses while it lives, so opening the maker's address never starts a
// real browser, and tells what the handler was given.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qn3::e2e {

class UrlHandlerStandIn {
public:
  // program: the full path of about-url-log.exe.
  explicit UrlHandlerStandIn(const std::string& program);
  ~UrlHandlerStandIn();  // puts the earlier handler back
  UrlHandlerStandIn(const UrlHandlerStandIn&) = delete;
  UrlHandlerStandIn& operator=(const UrlHandlerStandIn&) = delete;

  bool Registered() const { return registered_; }
  // The command lines the handler logged so far, one a line.
  std::string Log() const;
  // Waits until no handler started so far still runs, so the log is whole.
  bool WaitIdle() const;
  void ClearLog() const;

private:
  std::string log_, image_;
  std::optional<std::string> previous_;
  bool registered_ = false;
};

}  // namespace qn3::e2e
