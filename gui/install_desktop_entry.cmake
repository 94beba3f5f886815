# Writes the desktop entry at install time, so that its Exec line names the
# program where this installation really put it: the prefix given to
# `cmake --install --prefix` counts, not the one chosen when configuring.
# DESTDIR only stages the files; the entry names the final place.
#
# Expects MORVIK_DESKTOP_TEMPLATE (the entry with @MORVIK_EXEC@),
# MORVIK_BINDIR and MORVIK_APPLICATIONS_DIR (relative to the prefix, or
# absolute).

function(morvik_full_install_path relative out)
  if(IS_ABSOLUTE "${relative}")
    set(${out} "${relative}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
  endif()
endfunction()

morvik_full_install_path("${MORVIK_BINDIR}" morvik_program_dir)
set(morvik_program "${morvik_program_dir}/morvik")
# The Exec key's own quoting: a path with a reserved character goes in double
# quotes with \ " ` $ escaped; a % is doubled (field codes); then the entry's
# string escaping doubles every backslash.
set(MORVIK_EXEC "${morvik_program}")
if(morvik_program MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" MORVIK_EXEC "${morvik_program}")
  set(MORVIK_EXEC "\"${MORVIK_EXEC}\"")
endif()
string(REPLACE "%" "%%" MORVIK_EXEC "${MORVIK_EXEC}")
string(REPLACE "\\" "\\\\" MORVIK_EXEC "${MORVIK_EXEC}")

file(READ "${MORVIK_DESKTOP_TEMPLATE}" morvik_template)
string(CONFIGURE "${morvik_template}" morvik_entry @ONLY)
morvik_full_install_path("${MORVIK_APPLICATIONS_DIR}" morvik_applications_dir)
set(morvik_entry_file "$ENV{DESTDIR}${morvik_applications_dir}/morvik.desktop")
message(STATUS "Installing: ${morvik_entry_file}")
file(WRITE "${morvik_entry_file}" "${morvik_entry}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${morvik_entry_file}")
