# Installs the game into a scratch folder, checks the desktop entry and the AppStream
# metainfo with their validators, and runs the installed program once: it must find its data
# under share/ and keep the player's files in the XDG folders.
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
