# Installs the game into a scratch folder, checks the desktop entry and the AppStream
# metainfo with their validators, and runs the installed program twice: a headless replay must
# find its data under share/ and keep the player's files in the XDG folders; a first start in
# the window (a demo, which saves nothing) must copy share/'s default-config.ini to config.ini.
file(REMOVE_RECURSE ${WORK_DIR})
set(root ${WORK_DIR}/root)
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(check
    "desktop-file-validate;${root}/usr/share/applications/net.zellorytorvane.ZelloryTorvane.desktop"
    "appstreamcli;validate;--no-net;${root}/usr/share/metainfo/net.zellorytorvane.ZelloryTorvane.metainfo.xml")
  execute_process(COMMAND ${check} RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT valid EQUAL 0)
    message(FATAL_ERROR "${check}: ${said}")
  endif()
endforeach()
if(NOT EXISTS ${root}/usr/share/icons/hicolor/256x256/apps/zellory-torvane.png)
  message(FATAL_ERROR "the icon is not installed")
endif()
if(NOT EXISTS ${root}/usr/share/zellory-torvane/textures/intro.bmp)
  message(FATAL_ERROR "the pictures were not converted at installation")
endif()
set(defaults ${root}/usr/share/zellory-torvane/default-config.ini)
if(NOT EXISTS ${defaults})
  message(FATAL_ERROR "default-config.ini is not installed")
endif()
set(home ${WORK_DIR}/home)
file(MAKE_DIRECTORY ${home})
execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${home} XDG_CONFIG_HOME= XDG_DATA_HOME=
                        ${root}/usr/bin/zellory-torvane --replay ${REPLAY} --headless
                WORKING_DIRECTORY ${home} RESULT_VARIABLE ran OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the installed program failed: ${errors}")
endif()
foreach(file .config/zellory-torvane/config.ini .local/share/zellory-torvane/highscores.dat
             .local/share/zellory-torvane/debug.txt)
  if(NOT EXISTS ${home}/${file})
    message(FATAL_ERROR "the installed program did not keep ${file}")
  endif()
endforeach()
file(READ ${home}/.config/zellory-torvane/config.ini saved)
if(saved MATCHES "\\[Options\\]")
  message(FATAL_ERROR "a headless replay copied default-config.ini:\n${saved}")
endif()

set(first_home ${WORK_DIR}/first-home)
file(MAKE_DIRECTORY ${first_home})
execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${first_home} XDG_CONFIG_HOME= XDG_DATA_HOME=
                        SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
                        timeout --preserve-status -s TERM -k 10 5 ${root}/usr/bin/zellory-torvane --demo 1
                WORKING_DIRECTORY ${first_home} RESULT_VARIABLE ran OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the installed program's first start ended with status ${ran}: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${defaults}
                        ${first_home}/.config/zellory-torvane/config.ini RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "the first start did not copy default-config.ini to the config folder")
endif()
