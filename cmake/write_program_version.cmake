# Writes OUTPUT from cmake/program_version.h.in with the source tree's git
# commit. Runs on every build so the commit never goes
# stale; the file is only rewritten (and the executables only rebuilt) when it
# changes. Outside a git checkout, or without git, the commit stays empty.
set(TARNWICK_COMMIT "")
find_program(GIT_EXECUTABLE git)
if(GIT_EXECUTABLE)
  # Only the source tree's own checkout counts, not one it was unpacked into.
  execute_process(
    COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --show-toplevel --short=12 HEAD
    OUTPUT_VARIABLE answer
    ERROR_QUIET
    RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REPLACE "\n" ";" answer "${answer}")
  list(LENGTH answer lines)
  if(status EQUAL 0 AND lines EQUAL 2)
    list(GET answer 0 top)
    list(GET answer 1 commit)
    file(REAL_PATH ${top} top)
    file(REAL_PATH ${SOURCE_DIR} source)
  endif()
  if(status EQUAL 0 AND lines EQUAL 2 AND top STREQUAL source AND commit MATCHES "^[0-9a-f]+$")
    set(TARNWICK_COMMIT ${commit})
  endif()
endif()
configure_file(${SOURCE_DIR}/cmake/program_version.h.in ${OUTPUT} @ONLY)
