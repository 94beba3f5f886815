# Writes the desktop entry at install time, so that its Exec line names the
# program where this installation really put it: the prefix given to
# `cmake --install --prefix` counts, not the one chosen when configuring.
# DESTDIR only stages the files; the entry names the final place.
#
# Expects MORVIK_DESKTOP_TEMPLATE (the entry with @MORVIK_EXEC@),
# MORVIK_BINDIR and MORVIK_DATADIR (relative to the prefix, or absolute).
#
# Installing for real (no DESTDIR) then refreshes the desktop's caches of
# MIME types and applications under the data directory, where their tools
# are there; a staged install leaves that to whoever unpacks it.

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
morvik_full_install_path("${MORVIK_DATADIR}" morvik_data_dir)
set(morvik_entry_file "${morvik_data_dir}/applications/morvik.desktop")
message(STATUS "Installing: $ENV{DESTDIR}${morvik_entry_file}")
file(WRITE "$ENV{DESTDIR}${morvik_entry_file}" "${morvik_entry}")
# The manifest names files as installed, without the DESTDIR that stages
# them, as CMake's own entries do.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${morvik_entry_file}")

if("$ENV{DESTDIR}" STREQUAL "")
  # The caches are the desktop's, rebuilt from every package's files: they
  # stay out of the manifest, and a failure to refresh them is no failure
  # to install.
  find_program(morvik_update_mime update-mime-database)
  if(morvik_update_mime AND IS_DIRECTORY "${morvik_data_dir}/mime/packages")
    execute_process(COMMAND "${morvik_update_mime}" "${morvik_data_dir}/mime" OUTPUT_QUIET
                    ERROR_QUIET)
  endif()
  find_program(morvik_update_desktop update-desktop-database)
  if(morvik_update_desktop)
    execute_process(COMMAND "${morvik_update_desktop}" -q "${morvik_data_dir}/applications"
                    OUTPUT_QUIET ERROR_QUIET)
  endif()
endif()
