# kivro_folder_library(<target> LIBS <deps...>)
# One static library per source folder; every .cpp/.h/.qrc in the folder belongs to it.
function(kivro_folder_library target)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${target} STATIC ${_sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_LIBS} PRIVATE kivro_warnings)
endfunction()
