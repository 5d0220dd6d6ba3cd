# zt_layer(NAME DEPENDS ... [EXCLUDE file ...]): one library target per source folder, named
# zt_NAME, built from every .cpp file of the folder but the excluded ones.
function(zt_layer name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;PUBLIC_LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  add_library(zt_${name} STATIC ${sources})
  target_include_directories(zt_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  foreach(dep IN LISTS ARG_DEPENDS)
    target_link_libraries(zt_${name} PUBLIC zt_${dep})
  endforeach()
  if(ARG_PUBLIC_LIBS)
    target_link_libraries(zt_${name} PUBLIC ${ARG_PUBLIC_LIBS})
  endif()
endfunction()

# zt_test_folder(NAME LIBS ...): one GoogleTest executable per test folder.
function(zt_test_folder name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE
    ZT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZT_GAME_DIR="${PROJECT_SOURCE_DIR}/game")
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
endfunction()

# zt_program_test(NAME SCRIPT WORK LABEL [TIMEOUT seconds] [DEFINES -Dkey=value ...]): a CMake
# script under cmake/ run against the built program and the game folder, in a work folder of its
# own under the test build folder.
function(zt_program_test name script work label)
  cmake_parse_arguments(ARG "" "TIMEOUT" "DEFINES" ${ARGN})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:zellory-torvane> -DGAME_DIR=${PROJECT_SOURCE_DIR}/game
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/${work} ${ARG_DEFINES} -P ${PROJECT_SOURCE_DIR}/cmake/${script})
  set_tests_properties(${name} PROPERTIES LABELS ${label})
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()
