# Fails when a C++ file of the game, its tests or its tools differs from what the project's
# .clang-format makes of it; the message names the files (clang-format -i fixes them).
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
  RESULT_VARIABLE status ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "[^\n]*: error: code should be clang-formatted" places "${report}")
  list(TRANSFORM places REPLACE ":[0-9]+:[0-9]+: error: code should be clang-formatted" "")
  list(REMOVE_DUPLICATES places)
  list(JOIN places "\n" text)
  message(FATAL_ERROR "Not formatted with the project's .clang-format:\n${text}")
endif()
list(LENGTH files count)
message(STATUS "${count} files follow the project's format")
