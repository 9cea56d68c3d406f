// Compile-time checks of the Win32 record sizes the program depends on.
// Linked into tessaline.exe only; it has no code.
#include <windows.h>
#include <shellapi.h>

#if defined(_WIN32) && !defined(_WIN64)
// The tray icon record must be the Vista-level one: with an older
// _WIN32_WINNT the headers shrink it to 504 bytes.
static_assert(sizeof(NOTIFYICONDATAA) == 508, "NOTIFYICONDATAA must be 508 bytes on i686");
static_assert(sizeof(WNDCLASSEXA) == 48, "WNDCLASSEXA must be 48 bytes on i686");
#elif defined(_WIN64)
static_assert(sizeof(NOTIFYICONDATAA) == 528, "NOTIFYICONDATAA must be 528 bytes on x86_64");
static_assert(sizeof(WNDCLASSEXA) == 80, "WNDCLASSEXA must be 80 bytes on x86_64");
#endif
