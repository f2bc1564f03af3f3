# Instrumented builds.
#
# -DQUILLORA_SANITIZE=address,undefined builds everything (program, libraries,
# test suites) with those sanitizers; ctest then runs the suites with the
# options and suppressions of tests/sanitizers/.
#
# -DQUILLORA_FUZZ=ON (clang only) instruments every library for libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer and adds the targets of fuzz/.

set(QUILLORA_SANITIZE "" CACHE STRING "Sanitizers for the whole build, e.g. address,undefined")
option(QUILLORA_FUZZ "Build the libFuzzer targets (clang)" OFF)

set(quillora_sanitize_flags "")
if(QUILLORA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUILLORA_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    set(quillora_sanitize_flags -fsanitize=fuzzer-no-link,address,undefined)
elseif(QUILLORA_SANITIZE)
    set(quillora_sanitize_flags -fsanitize=${QUILLORA_SANITIZE})
endif()

if(quillora_sanitize_flags)
    # Undefined behaviour stops the run instead of printing and going on, so
    # no finding scrolls past unnoticed. The vptr check is left out: it costs
    # the most of the undefined-behaviour checks and every object it would
    # look at crosses into Qt, which is built without it.
    add_compile_options(${quillora_sanitize_flags} -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined -fno-sanitize=vptr)
    add_link_options(${quillora_sanitize_flags} -fno-sanitize=vptr)
endif()
