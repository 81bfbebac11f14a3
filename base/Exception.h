// The error tree: every error the program raises derives from Exception,
// which carries an 8-bit message and a 32-bit help context.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace qn3 {

class Exception : public std::exception {
public:
  explicit Exception(std::string message, int32_t helpContext = 0)
      : message_(std::move(message)), helpContext_(helpContext) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }
  int32_t HelpContext() const noexcept { return helpContext_; }

private:
  std::string message_;
  int32_t helpContext_;
};

// A failed COM call, or COM in general.
class EOleError : public Exception {
public:
  using Exception::Exception;
};

// A failed COM call with its HRESULT.
class EOleSysError : public EOleError {
public:
  EOleSysError(std::string message, uint32_t errorCode, int32_t helpContext = 0)
      : EOleError(std::move(message), helpContext), errorCode_(errorCode) {}
  uint32_t ErrorCode() const noexcept { return errorCode_; }

private:
  uint32_t errorCode_;
};

// A failed COM call that came with an error object (source and help file).
class EOleException : public EOleSysError {
public:
  EOleException(std::string message, uint32_t errorCode, std::string source, std::string helpFile,
                int32_t helpContext)
      : EOleSysError(std::move(message), errorCode, helpContext),
        source_(std::move(source)), helpFile_(std::move(helpFile)) {}
  const std::string& Source() const noexcept { return source_; }
  const std::string& HelpFile() const noexcept { return helpFile_; }

private:
  std::string source_;
  std::string helpFile_;
};

// An object lacks an interface it was asked for.
class EIntfCastError : public Exception {
public:
  using Exception::Exception;
};

// A registry value that cannot be read as asked.
class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

// Malformed component text.
class EParserError : public Exception {
public:
  using Exception::Exception;
};

// Stream and filer errors; EReadError is a value that cannot be applied.
class EStreamError : public Exception {
public:
  using Exception::Exception;
};
class EFilerError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
public:
  using EFilerError::EFilerError;
};

// A component refused an operation, such as a name that is taken.
class EComponentError : public Exception {
public:
  using Exception::Exception;
};

// The message a caught error shows: its own for ours, a stock text for the
// standard library's.
std::string ErrorMessage(const std::exception& e);

}  // namespace qn3
