# Runs one replay headless (or drawn, with SCREENSHOT, or with FRAMES into that folder at
# FRAME_SIZE, every FRAME_STEP-th frame) in a scratch copy of the game folder. Fails unless the
# program exits with EXPECTED_STATUS (default 0), and when a drawn run wrote any of the player's
# files; with EXPECTED_PICTURES, unless FRAMES holds that many pictures of FRAME_SIZE.
if(NOT DEFINED EXPECTED_STATUS)
  set(EXPECTED_STATUS 0)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ScratchGameFolder.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/PngSize.cmake)
make_scratch_game_folder(${PROGRAM} ${GAME_DIR} ${WORK_DIR} program)
if(DEFINED SCREENSHOT)
  set(mode --screenshot ${SCREENSHOT})  # drawn with the real device; the last frame saved
elseif(DEFINED FRAMES)
  set(mode --frames ${FRAMES} --size ${FRAME_SIZE} --every ${FRAME_STEP})
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

# A drawn run writes its pictures and nothing of the player's.
if(DEFINED SCREENSHOT OR DEFINED FRAMES)
  foreach(kept config.ini highscores.dat statistics.ini debug.txt result.txt)
    if(EXISTS ${WORK_DIR}/${kept})
      message(FATAL_ERROR "${REPLAY}: the drawn run wrote ${kept}")
    endif()
  endforeach()
endif()

# The frames: as many pictures as asked, numbered from 1 without gaps, each of the size asked.
if(DEFINED EXPECTED_PICTURES)
  file(GLOB pictures ${FRAMES}/*.png)
  list(LENGTH pictures count)
  if(NOT count EQUAL EXPECTED_PICTURES)
    message(FATAL_ERROR "${REPLAY}: ${count} pictures in ${FRAMES}, expected ${EXPECTED_PICTURES}")
  endif()
  string(REPLACE "x" ";" size "${FRAME_SIZE}")
  list(GET size 0 width)
  list(GET size 1 height)
  foreach(number RANGE 1 ${EXPECTED_PICTURES})
    string(LENGTH "${number}" digits)
    math(EXPR zeros "6 - ${digits}")
    string(REPEAT "0" ${zeros} padding)
    require_png(${FRAMES}/${padding}${number}.png ${width} ${height})
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
