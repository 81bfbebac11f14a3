// The C++ library's own throws (an index out of range, a string or vector
// too long), for the Windows programs. The library's versions build
// std::out_of_range and its kin on the old reference-counted string, and
// the linker, which keeps every function of an object it takes, then adds
// that string, the new one, the exception classes and random_device: a
// quarter of qn3.exe. These throw the library's own texts, formatted as it
// formats them, as an error derived from std::exception, which is what
// the programs catch and report.
#include <bits/functexcept.h>

#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError final : public std::exception {
public:
  explicit LibraryError(const char* text) noexcept { Append(text); }
  LibraryError(const char* format, va_list args) noexcept;
  const char* what() const noexcept override { return text_; }

private:
  void Append(char c) noexcept {
    if (length_ + 1 < sizeof text_) text_[length_++] = c;
  }
  void Append(const char* s) noexcept {
    while (s && *s) Append(*s++);
  }
  void Append(std::size_t n) noexcept;

  char text_[256] = {};
  std::size_t length_ = 0;
};

void LibraryError::Append(std::size_t n) noexcept {
  char digits[24];
  int count = 0;
  do digits[count++] = static_cast<char>('0' + n % 10);
  while (n /= 10);
  while (count > 0) Append(digits[--count]);
}

// The library's formats use %s and %zu only; msvcrt's own printf does not
// know %zu before Windows Vista.
LibraryError::LibraryError(const char* format, va_list args) noexcept {
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      Append(va_arg(args, const char*));
      p += 1;
    } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
      Append(va_arg(args, std::size_t));
      p += 2;
    } else if (p[0] == '%' && p[1] == '%') {
      Append('%');
      p += 1;
    } else {
      Append(*p);
    }
  }
}

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* text) { throw LibraryError(text); }
void __throw_domain_error(const char* text) { throw LibraryError(text); }
void __throw_invalid_argument(const char* text) { throw LibraryError(text); }
void __throw_length_error(const char* text) { throw LibraryError(text); }
void __throw_out_of_range(const char* text) { throw LibraryError(text); }
void __throw_runtime_error(const char* text) { throw LibraryError(text); }
void __throw_range_error(const char* text) { throw LibraryError(text); }
void __throw_overflow_error(const char* text) { throw LibraryError(text); }
void __throw_underflow_error(const char* text) { throw LibraryError(text); }

void __throw_out_of_range_fmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const LibraryError error(format, args);
  va_end(args);
  throw error;
}

}  // namespace std
