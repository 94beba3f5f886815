# Installs the build into a staging directory (DESTDIR) under two prefixes
# and checks that each installed desktop entry names the program under the
# prefix it was installed with, and that the program and its help page are
# there. Run as: cmake -DBUILD_DIR=... -DWORK_DIR=... -P install_test.cmake
file(REMOVE_RECURSE "${WORK_DIR}")

function(check_install prefix expected_exec)
  set(stage "${WORK_DIR}/stage")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${stage}"
                          ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install --prefix ${prefix} failed: ${result}")
  endif()
  set(root "${stage}${prefix}")
  file(STRINGS "${root}/share/applications/morvik.desktop" exec_lines REGEX "^Exec=")
  if(NOT exec_lines STREQUAL "Exec=${expected_exec}")
    message(FATAL_ERROR "prefix ${prefix}: got '${exec_lines}', want 'Exec=${expected_exec}'")
  endif()
  # bin/morvik is a link into lib/morvik; EXISTS follows it.
  foreach(file bin/morvik lib/morvik/morvik lib/morvik/help/index.htm)
    if(NOT EXISTS "${root}/${file}")
      message(FATAL_ERROR "prefix ${prefix}: ${file} was not installed")
    endif()
  endforeach()
endfunction()

check_install("/opt/morvik" "/opt/morvik/bin/morvik")
# A prefix with a space and a dollar sign is quoted and escaped.
check_install("/usr/my apps$1" "\"/usr/my apps\\\\$1/bin/morvik\"")
file(REMOVE_RECURSE "${WORK_DIR}")
