// Linked into every program of the sanitized build, so that a test run by
// ctest and one run by hand report the same way: any finding ends the program
// with an error, and leaks of the system libraries under the game (kept until
// exit on purpose) are not reported.

#include <dlfcn.h>

// intercept_tls_get_addr=0: given a thread's dynamic TLS block, the runtime
// guesses its extent from the 16 bytes in front of it whenever the block
// starts 16 bytes into a page. In the sanitized heap those bytes are the
// allocator's own chunk header, so the leak check then scans a made-up range
// and crashes (seen in CI: "Tracer caught signal 11", addr 0xe38). The blocks
// are still scanned, as allocations of the dynamic linker.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:"
           "intercept_tls_get_addr=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Quiet about the suppressions when nothing leaked: the tests compare what
// the game writes on standard error.
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0:suppressions=" QUELLIN_LSAN_SUPPRESSIONS;
}

#ifdef QUELLIN_GL_DRIVER
// The GL driver unloads itself when the last context goes, before the leak
// check at exit; its allocations would then be reported from an unknown
// module that no suppression can name. A reference of our own keeps it.
__attribute__((constructor)) static void KeepGLDriverLoaded()
{
    dlopen(QUELLIN_GL_DRIVER, RTLD_LAZY | RTLD_NODELETE);
}
#endif
