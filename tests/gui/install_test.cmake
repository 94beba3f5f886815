# Installs the build into a staging directory (DESTDIR) under two prefixes
# and checks what a desktop and a package manager rely on: the desktop entry
# names the program under the prefix it was installed with and passes
# desktop-file-validate; the MIME type of *.htd files builds into the MIME
# database as a kind of text/plain; the manual pages format without a
# warning; and install_manifest.txt lists every file installed, so that
# removing what it lists leaves nothing behind.
# Run as: cmake -DBUILD_DIR=... -DWORK_DIR=... -P install_test.cmake
cmake_minimum_required(VERSION 3.22)
file(REMOVE_RECURSE "${WORK_DIR}")

foreach(tool desktop-file-validate update-mime-database groff)
  string(MAKE_C_IDENTIFIER "${tool}" variable)
  find_program(${variable} ${tool})
  if(NOT ${variable})
    message(FATAL_ERROR "${tool} is missing (scripts/deps.sh installs it)")
  endif()
endforeach()

function(run_checked what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "${what}: status ${result}\n${output}${errors}")
  endif()
  set(run_output "${output}" PARENT_SCOPE)
endfunction()

function(expect_line file line)
  file(STRINGS "${file}" lines)
  if(NOT line IN_LIST lines)
    message(FATAL_ERROR "${file} lacks the line '${line}'")
  endif()
endfunction()

function(check_install prefix expected_exec)
  set(stage "${WORK_DIR}/stage")
  file(REMOVE_RECURSE "${stage}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${stage}"
                          ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install --prefix ${prefix} failed: ${result}")
  endif()
  set(root "${stage}${prefix}")
  set(entry "${root}/share/applications/morvik.desktop")
  file(STRINGS "${entry}" exec_lines REGEX "^Exec=")
  if(NOT exec_lines STREQUAL "Exec=${expected_exec} %F")
    message(FATAL_ERROR "prefix ${prefix}: got '${exec_lines}', want 'Exec=${expected_exec} %F'")
  endif()
  run_checked("desktop-file-validate" "${desktop_file_validate}" "${entry}")
  if(NOT run_output STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${run_output}")
  endif()
  expect_line("${entry}" "MimeType=text/x-savra-data;")
  expect_line("${entry}" "Icon=morvik")

  # bin/morvik is a link into lib/morvik; EXISTS follows it.
  foreach(file bin/morvik bin/svtool lib/morvik/morvik lib/morvik/help/index.htm
               share/icons/hicolor/scalable/apps/morvik.svg share/man/man1/morvik.1
               share/man/man1/svtool.1)
    if(NOT EXISTS "${root}/${file}")
      message(FATAL_ERROR "prefix ${prefix}: ${file} was not installed")
    endif()
  endforeach()

  # The database a desktop builds from the installed MIME package.
  set(mime "${WORK_DIR}/mime")
  file(REMOVE_RECURSE "${mime}")
  file(COPY "${root}/share/mime/packages" DESTINATION "${mime}")
  # (Looked for where desktops look, or it warns about the place.)
  run_checked("update-mime-database" ${CMAKE_COMMAND} -E env "XDG_DATA_DIRS=${WORK_DIR}"
              "${update_mime_database}" "${mime}")
  expect_line("${mime}/globs2" "50:text/x-savra-data:*.htd")
  expect_line("${mime}/subclasses" "text/x-savra-data text/plain")
  expect_line("${mime}/icons" "text/x-savra-data:morvik")

  foreach(page morvik svtool)
    run_checked("groff ${page}.1" "${groff}" -k -man -ww -z -Tutf8
                "${root}/share/man/man1/${page}.1")
  endforeach()

  # Uninstalling by the manifest removes every file, links included. The
  # manifest names the installed places; DESTDIR staged them.
  file(STRINGS "${BUILD_DIR}/install_manifest.txt" manifest)
  foreach(file IN LISTS manifest)
    string(FIND "${file}" "${prefix}/" position)
    if(NOT position EQUAL 0)
      message(FATAL_ERROR "the manifest lists ${file}, outside the prefix ${prefix}")
    endif()
    set(staged "${stage}${file}")
    if(NOT EXISTS "${staged}" AND NOT IS_SYMLINK "${staged}")
      message(FATAL_ERROR "the manifest lists ${file}, which was not installed")
    endif()
    file(REMOVE "${staged}")
  endforeach()
  file(GLOB_RECURSE left LIST_DIRECTORIES false "${stage}/*")
  if(left)
    message(FATAL_ERROR "prefix ${prefix}: not in install_manifest.txt: ${left}")
  endif()
endfunction()

check_install("/opt/morvik" "/opt/morvik/bin/morvik")
# A prefix with a space and a dollar sign is quoted and escaped.
check_install("/usr/my apps$1" "\"/usr/my apps\\\\$1/bin/morvik\"")
file(REMOVE_RECURSE "${WORK_DIR}")
