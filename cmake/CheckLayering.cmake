# Fails when a rules folder (core, device, audio, game, menu) includes an SDL or GL
# header: those folders must build and run in plain unit tests.
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/core/* ${SOURCE_DIR}/src/device/* ${SOURCE_DIR}/src/audio/*
  ${SOURCE_DIR}/src/game/* ${SOURCE_DIR}/src/menu/*)
set(offenders "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL|GL/|GLES|epoxy|EGL)")
  if(lines)
    list(APPEND offenders "${file}: ${lines}")
  endif()
endforeach()
if(offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "Platform headers in the rules folders:\n${text}")
endif()
message(STATUS "Rules folders are free of SDL and GL headers")
