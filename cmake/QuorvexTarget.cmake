# One place for per-target compiler settings: warnings always, sanitizers when asked.
option(QUORVEX_WERROR "Treat warnings as errors" OFF)
set(QUORVEX_SANITIZE "" CACHE STRING "Comma-separated sanitizers (address,undefined,fuzzer-no-link ...)")

function(quorvex_target_settings target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Wnon-virtual-dtor)
    if(QUORVEX_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(QUORVEX_SANITIZE)
      target_compile_options(${target} PRIVATE -fsanitize=${QUORVEX_SANITIZE} -fno-omit-frame-pointer)
      target_link_options(${target} PRIVATE -fsanitize=${QUORVEX_SANITIZE})
      # Undefined behaviour must stop the run: a fuzzer keeps only inputs that end it, and a
      # test that merely prints a report would still pass.
      if(QUORVEX_SANITIZE MATCHES "undefined")
        target_compile_options(${target} PRIVATE -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fno-sanitize-recover=undefined)
      endif()
    endif()
  endif()
endfunction()
