// The runtime's default terminate handler prints the uncaught exception's
// demangled type to stderr, which a windowed program does not have; it
// would pull the whole demangler (a seventh of the file) into qn3.exe.
// Ours ends the program the same way, without the message.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
