# High warnings, treated as errors, for every target of the project.
function(morvik_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
                         -Wshadow -Wnon-virtual-dtor -Wcast-align
                         -Wnull-dereference -Wimplicit-fallthrough)
endfunction()
