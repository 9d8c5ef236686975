// What ends the installer when an exception escapes everything: abort,
// as the library's default does, but without printing the exception's
// type first. A windowed program has nowhere to print, and the default
// handler's name demangler alone would add 45 KB to the exe. The test
// programs keep the default (they print).
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
