# Strict warnings for every target of the project, and the sanitizer switches.
add_library(norix_options INTERFACE)
target_compile_options(norix_options INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
  -Wformat=2 -Wmissing-declarations)
target_compile_definitions(norix_options INTERFACE _GNU_SOURCE)

if(NORIX_SANITIZE AND NORIX_TSAN)
  message(FATAL_ERROR "NORIX_SANITIZE and NORIX_TSAN cannot be combined")
endif()
if(NORIX_SANITIZE)
  target_compile_options(norix_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(norix_options INTERFACE -fsanitize=address,undefined)
endif()
if(NORIX_TSAN)
  target_compile_options(norix_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(norix_options INTERFACE -fsanitize=thread)
endif()
