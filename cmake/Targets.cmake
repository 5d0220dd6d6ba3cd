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
