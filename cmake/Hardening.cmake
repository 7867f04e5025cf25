# The hardening Debian builds its packages with, for every target of the build: code that loads
# at a random address (PIE for the program, position-independent code in the static libraries
# linked into it), a canary on stack frames with arrays, the checked variants of the C library's
# copy and format functions where the compiler knows a buffer's size, and a relocation table that
# is resolved at start and then made read-only (full RELRO). scripts/check-hardening verifies the
# program file.
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
add_link_options(-Wl,-z,relro,-z,now)

# _FORTIFY_SOURCE only works with optimisation (glibc warns without it), and the sanitizers
# intercept the same functions its checked variants replace, so the sanitizer and fuzz builds go
# without it. Undefined first: some compilers define it by default at another level.
if(NOT ZANTH_SANITIZE)
  set(_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_options("$<${_optimised}:-U_FORTIFY_SOURCE>" "$<${_optimised}:-D_FORTIFY_SOURCE=2>")
endif()
