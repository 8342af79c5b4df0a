# One place for the warning set, so every target of the project builds alike.
function(vc_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
                         $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local> $<$<CXX_COMPILER_ID:Clang>:-Wshadow>)
  if(VC_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Library code calls its own functions directly rather than through the PLT,
# and never reads errno after a math function: a square root is then one
# instruction, without a test and call for negative arguments beside it.
function(vc_library_options target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  endif()
  target_compile_options(${target} PRIVATE -fno-math-errno)
endfunction()
