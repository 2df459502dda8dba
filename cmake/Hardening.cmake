# An optimised build is hardened as Debian builds its packages: fortified C library calls, a stack
# protector, a position-independent program, and relocations made read-only once the program is
# loaded (-z relro with -z now). Not in Debug, where _FORTIFY_SOURCE has no optimisation to work
# with, nor beside the sanitizers, which check the same faults their own way.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$" AND NOT VAROLIN_SANITIZE)
    add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong
                        -fstack-clash-protection)
    add_link_options(-pie -Wl,-z,relro -Wl,-z,now)
endif()
