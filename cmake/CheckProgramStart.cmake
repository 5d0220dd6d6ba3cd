# Starts the real program in a scratch copy of the game folder under SDL's offscreen video
# driver with an audio driver that cannot open: a game runs for a few seconds, then SIGTERM
# closes the window; a second start is closed by SIGHUP, as when its terminal goes away. Each
# time the program must have loaded everything, played silently, closed cleanly (exit status 0)
# and saved config.ini, highscores.dat and result.txt. Also checks the command line's --help,
# --version, an unknown option and a --record that would overwrite a file it must not.
include(${CMAKE_CURRENT_LIST_DIR}/ScratchGameFolder.cmake)
make_scratch_game_folder(${PROGRAM} ${GAME_DIR} ${WORK_DIR} program)

foreach(signal TERM HUP)
  file(REMOVE ${WORK_DIR}/config.ini ${WORK_DIR}/highscores.dat ${WORK_DIR}/result.txt)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=no-such-driver LIBGL_ALWAYS_SOFTWARE=1
            timeout --preserve-status -s ${signal} 8 ${program} --game 2
    WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "SIG${signal}: the program ended with status ${status}: ${errors}")
  endif()
  file(READ ${WORK_DIR}/debug.txt log)
  foreach(line "InitD3D - done" "Sound device not available - playing silently" "Music_Play - done" "Loading - done")
    string(FIND "${log}" "${line}" found)
    if(found EQUAL -1)
      message(FATAL_ERROR "SIG${signal}: debug.txt lacks \"${line}\":\n${log}")
    endif()
  endforeach()
  foreach(saved config.ini highscores.dat result.txt)
    if(NOT EXISTS ${WORK_DIR}/${saved})
      message(FATAL_ERROR "SIG${signal}: ${saved} was not saved at the close")
    endif()
  endforeach()
endforeach()

foreach(option --help --version)
  execute_process(COMMAND ${program} ${option} RESULT_VARIABLE status OUTPUT_VARIABLE said)
  if(NOT status EQUAL 0 OR said STREQUAL "")
    message(FATAL_ERROR "${option}: status ${status}")
  endif()
endforeach()
execute_process(COMMAND ${program} --no-such-option RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE usage)
if(NOT status EQUAL 2 OR NOT usage MATCHES "Usage:" OR NOT said STREQUAL "")
  message(FATAL_ERROR "an unknown option: status ${status}, stderr ${usage}")
endif()

# --record refuses the player's files (by any name a link gives them) and files that are not
# recordings, before anything is written.
file(READ ${WORK_DIR}/config.ini settings_before)
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
file(CREATE_LINK ${WORK_DIR}/highscores.dat ${WORK_DIR}/elsewhere/table.replay SYMBOLIC)
foreach(target config.ini highscores.dat.bad elsewhere/table.replay data/models.dat)
  execute_process(COMMAND ${program} --record ${target} WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE refusal)
  if(NOT status EQUAL 2 OR NOT refusal MATCHES "--record" OR NOT said STREQUAL "")
    message(FATAL_ERROR "--record ${target}: status ${status}, stderr ${refusal}")
  endif()
endforeach()
file(READ ${WORK_DIR}/config.ini settings_after)
if(NOT settings_after STREQUAL settings_before OR EXISTS ${WORK_DIR}/highscores.dat.bad)
  message(FATAL_ERROR "a refused --record wrote the player's files")
endif()
