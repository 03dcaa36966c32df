// How errors inside the C++ run-time (libstdc++) end the program, in a few bytes.
//
// Nothing in Sorvane catches an exception, so an error that the run-time would throw, such as
// running out of memory, ends the program through std::terminate whatever happens. The
// run-time's own versions cost over 100 KB: the default terminate handler prints the
// exception's type name with a name demangler of about 45 KB, and the functions that throw
// the standard exceptions bring in the exception classes with two more copies of the string
// code. These replacements end the program at once with std::abort, as libstdc++ itself does
// when built without exceptions. The linker takes them instead of the library's; should the
// library's file of throw functions be needed for any other, the link fails on a duplicate
// definition, so the replacement never goes half unnoticed.
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() {
    std::abort();
}

void __throw_bad_array_new_length() {
    std::abort();
}

void __throw_length_error(const char*) {
    std::abort();
}

void __throw_logic_error(const char*) {
    std::abort();
}

void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}

} // namespace std
