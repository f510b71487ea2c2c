#include "frame/WinApp.h"

#include <cstdlib>

// The program's entry point hands everything to the application object.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}

// The C++ library's own handler for std::terminate prints the exception's
// demangled type to a console this windowed program does not have, and its
// name demangler is some 40 KB of code that would stay mapped all day.
// Ending at once is all that is left to do.
namespace __gnu_cxx
{
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx
