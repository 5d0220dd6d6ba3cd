# Runs the real program with outside files it cannot use, each case in its own scratch copy
# of the game folder (a read error comes from a link to the process's own memory, whose
# reading fails with EIO):
# - a replay that is no regular file (a folder, a pipe nobody writes to) ends the program
#   with status 2, headless and in the window, before anything is written;
# - a folder or a read error where data/models/brick.bmp or textures/background.jpg should
#   be ends the loading with status 1 and its message naming the file;
# - highscores.dat and config.ini that cannot be read stay as they are through whole runs
#   that leave the Options screen and enter a high score, with lines in debug.txt.
include(${CMAKE_CURRENT_LIST_DIR}/ScratchGameFolder.cmake)

# run_case(NAME STATUS ARGS...): runs the program in a fresh scratch folder that the function
# prepare_<NAME> has set up, and fails unless it exits with STATUS; `errors` gets its stderr.
macro(run_case name expected)
  set(dir ${WORK_DIR}/${name})
  make_scratch_game_folder(${PROGRAM} ${GAME_DIR} ${dir} program)
  cmake_language(CALL prepare_${name})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
            ${program} ${ARGN}
    WORKING_DIRECTORY ${dir} TIMEOUT 120 RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "${name}: exit status ${status}, expected ${expected}\n${errors}")
  endif()
endmacro()

function(require_text name text words)
  string(FIND "${text}" "${words}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${name}: \"${words}\" not found in:\n${text}")
  endif()
endfunction()

function(prepare_replays)
  file(MAKE_DIRECTORY ${dir}/folder.replay)
  execute_process(COMMAND mkfifo ${dir}/pipe.replay COMMAND_ERROR_IS_FATAL ANY)
endfunction()
foreach(arguments "folder.replay;--headless" "folder.replay" "pipe.replay;--headless")
  run_case(replays 2 --replay ${arguments})
  list(GET arguments 0 replay)
  require_text(replays "${errors}" "${replay}: is a ")
  if(EXISTS ${dir}/debug.txt)
    message(FATAL_ERROR "--replay ${arguments}: the program started")
  endif()
endforeach()

# brick.bmp sits in the linked data folder: data and data/models become folders of links.
function(prepare_brick)
  foreach(folder data data/models)
    file(REMOVE ${dir}/${folder})
    file(GLOB entries ${GAME_DIR}/${folder}/*)
    file(MAKE_DIRECTORY ${dir}/${folder})
    foreach(entry IN LISTS entries)
      get_filename_component(name ${entry} NAME)
      file(CREATE_LINK ${entry} ${dir}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  file(REMOVE ${dir}/${file})
  replace_file()
endfunction()
function(prepare_background)
  file(REMOVE ${dir}/${file} ${dir}/textures/background.bmp)
  replace_file()
endfunction()
function(replace_file)
  if(problem STREQUAL "is a folder")
    file(MAKE_DIRECTORY ${dir}/${file})
  else()
    file(CREATE_LINK /proc/self/mem ${dir}/${file} SYMBOLIC)
  endif()
endfunction()
foreach(problem "is a folder" "Input/output error")
  foreach(file data/models/brick.bmp textures/background.jpg)
    string(REGEX MATCH "brick|background" case ${file})
    run_case(${case} 1 --replay ${REPLAY} --headless)
    require_text(${case} "${errors}" "\"${file}\": ")
    require_text(${case} "${errors}" "${problem}")
  endforeach()
endforeach()

function(prepare_player_files)
  file(CREATE_LINK /proc/self/mem ${dir}/highscores.dat SYMBOLIC)
  file(CREATE_LINK /proc/self/mem ${dir}/config.ini SYMBOLIC)
endfunction()
foreach(replay menu_options game_over_high_score)
  run_case(player_files 0 --replay ${REPLAYS_DIR}/${replay}.replay --headless)
  foreach(file highscores.dat config.ini)
    file(READ_SYMLINK ${dir}/${file} target)
    if(NOT target STREQUAL "/proc/self/mem")
      message(FATAL_ERROR "${replay}: ${file} was written")
    endif()
  endforeach()
  file(READ ${dir}/debug.txt log)
  require_text(${replay} "${log}" "LoadHighScores - highscores.dat could not be read")
  require_text(${replay} "${log}" "config.ini cannot be read: Input/output error")
  require_text(${replay} "${log}" "SaveSettings - skipped")
endforeach()
