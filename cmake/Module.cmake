# quillary_module(<target> [DEPS <targets>...])
#
# Builds the folder it is called from as one library: every .cpp file of the folder and
# of its internal/ folder, whose headers belong to the folder alone (an interface-only
# library when there is none yet), and one test executable,
# <target>_tests, of every tests/*_test.cpp file, linked with the library.
function(quillary_module target)
  cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/internal/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${Q_DEPS})
    quillary_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${Q_DEPS})
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  if(tests AND QUILLARY_TESTS)
    quillary_test(${target}_tests ${tests})
    target_link_libraries(${target}_tests PRIVATE ${target})
  endif()
endfunction()
