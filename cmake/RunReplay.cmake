# Runs one replay headless (or drawn, with SCREENSHOT) in a scratch copy of the game folder.
# Fails unless the program exits with EXPECTED_STATUS (default 0), and when a screenshot run
# wrote any of the player's files.
if(NOT DEFINED EXPECTED_STATUS)
  set(EXPECTED_STATUS 0)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ScratchGameFolder.cmake)
make_scratch_game_folder(${PROGRAM} ${GAME_DIR} ${WORK_DIR} program)
if(DEFINED SCREENSHOT)
  set(mode --screenshot ${SCREENSHOT})  # drawn with the real device; the last frame saved
else()
  set(mode --headless)
endif()
execute_process(
  COMMAND ${program} --replay ${REPLAY} ${mode}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE status
  OUTPUT_FILE ${WORK_DIR}/states.jsonl
  ERROR_VARIABLE errors)
if(NOT status EQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "${REPLAY}: exit status ${status}, expected ${EXPECTED_STATUS}\n${errors}")
endif()
message(STATUS "${REPLAY}: exit status ${status}")

# A screenshot run writes its picture and nothing of the player's.
if(DEFINED SCREENSHOT)
  foreach(kept config.ini highscores.dat debug.txt result.txt)
    if(EXISTS ${WORK_DIR}/${kept})
      message(FATAL_ERROR "${REPLAY}: the screenshot run wrote ${kept}")
    endif()
  endforeach()
endif()

# With a golden picture: the saved frame must match it (see tests/support/golden_image.h).
if(DEFINED GOLDEN)
  execute_process(COMMAND ${COMPARE} ${SCREENSHOT} ${GOLDEN} ${OUTPUT_DIR} ${NAME}
    RESULT_VARIABLE compared ERROR_VARIABLE difference)
  if(NOT compared EQUAL 0)
    message(FATAL_ERROR "${NAME}: ${difference}")
  endif()
endif()

# With an expected log: debug.txt must hold exactly its lines, each ended by CR LF.
if(DEFINED EXPECTED_LOG)
  file(READ ${WORK_DIR}/debug.txt written HEX)
  file(READ ${EXPECTED_LOG} expected HEX)
  # LF to CR LF; the log is ASCII, so no byte pair can end in 0 and continue with a
  string(REPLACE "0a" "0d0a" expected "${expected}")
  if(NOT written STREQUAL expected)
    message(FATAL_ERROR "debug.txt differs from ${EXPECTED_LOG}:\n${written}")
  endif()
endif()
