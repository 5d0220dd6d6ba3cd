# A headless replay and a screenshot run, each stopped by a signal in the middle of a replay
# far too long to finish: each must end as at the end of its file, with exit status 0. The
# headless run saves the player's files as a close does; the screenshot run saves its
# picture and writes nothing of the player's.
include(${CMAKE_CURRENT_LIST_DIR}/ScratchGameFolder.cmake)
make_scratch_game_folder(${PROGRAM} ${GAME_DIR} ${WORK_DIR} program)
set(endless ${WORK_DIR}/endless.replay)
file(WRITE ${endless} "seed 3\ngame 2\n")
foreach(line RANGE 100)
  file(APPEND ${endless} "frames 10000000 16\n")  # far more than the runs last
endforeach()
set(player_files config.ini highscores.dat debug.txt result.txt)
set(player_paths ${player_files})
list(TRANSFORM player_paths PREPEND ${WORK_DIR}/)

# run_until_signal(SIGNAL OUT_STATUS OUT_ERRORS ARGS...): the program, sent SIGNAL after 3 s.
function(run_until_signal signal out_status out_errors)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
            timeout --preserve-status -k 20 -s ${signal} 3 ${program} --replay ${endless} ${ARGN}
    WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
  set(${out_status} ${status} PARENT_SCOPE)
  set(${out_errors} "${errors}" PARENT_SCOPE)
endfunction()

foreach(signal HUP INT TERM)
  file(REMOVE ${player_paths})
  run_until_signal(${signal} status errors --headless)
  if(NOT status EQUAL 0 OR NOT errors MATCHES "stopped by signal")
    message(FATAL_ERROR "headless, SIG${signal}: status ${status}: ${errors}")
  endif()
  foreach(saved ${player_files})
    if(NOT EXISTS ${WORK_DIR}/${saved})
      message(FATAL_ERROR "headless, SIG${signal}: ${saved} was not saved")
    endif()
  endforeach()
endforeach()

file(REMOVE ${player_paths})
run_until_signal(TERM status errors --screenshot ${WORK_DIR}/stopped.png --size 160x120)
if(NOT status EQUAL 0 OR NOT EXISTS ${WORK_DIR}/stopped.png)
  message(FATAL_ERROR "screenshot, SIGTERM: status ${status}, picture saved: ${errors}")
endif()
foreach(kept ${player_files})
  if(EXISTS ${WORK_DIR}/${kept})
    message(FATAL_ERROR "the screenshot run wrote ${kept}")
  endif()
endforeach()
