# cmake -DROOT=<source dir> -P CheckLayering.cmake
# Reads every #include "folder/..." line of src/, tests/ and bench/ and fails when one points
# against the direction of the layers:
#   platform <- engine <- packlist, dialogs, preview <- mainwindow; collector on platform only.
# A folder may include itself and the folders below it; tests/<folder> is held to the rules of
# src/<folder>, and bench/ to those of the engine, except bench/window, which measures the whole
# program through its window and is held to the rules of the main window. Includes without a folder (the file's own
# folder, the test helpers, Qt and system headers) are not layers and pass.
cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "CheckLayering: ROOT is not set")
endif()

set(_layers platform engine packlist dialogs preview mainwindow collector)
set(_allowed_platform   platform)
set(_allowed_engine     platform engine)
set(_allowed_packlist   platform engine packlist)
set(_allowed_dialogs    platform engine dialogs)
set(_allowed_preview    platform engine preview)
set(_allowed_mainwindow platform engine packlist dialogs preview mainwindow)
set(_allowed_collector  platform collector)

set(_faults "")
set(_checked 0)

# Checks the files below `dir` against the rules of layer `layer`, leaving out those below the
# folder given as a third argument.
function(check_folder dir layer)
  file(GLOB_RECURSE _files "${dir}/*.h" "${dir}/*.cpp")
  if(ARGC GREATER 2)
    list(FILTER _files EXCLUDE REGEX "^${ARGV2}/")
  endif()
  foreach(_f IN LISTS _files)
    file(STRINGS "${_f}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(_line IN LISTS _lines)
      if(NOT _line MATCHES "#[ \t]*include[ \t]*\"(\\.\\./)*([A-Za-z0-9_]+)/")
        continue()
      endif()
      set(_target "${CMAKE_MATCH_2}")
      if(NOT _target IN_LIST _layers)
        continue()
      endif()
      math(EXPR _n "${_checked} + 1")
      set(_checked ${_n} PARENT_SCOPE)
      set(_checked ${_n})
      if(NOT _target IN_LIST _allowed_${layer})
        file(RELATIVE_PATH _rel "${ROOT}" "${_f}")
        string(STRIP "${_line}" _line)
        list(APPEND _faults "${_rel} (${layer}) includes ${_target}: ${_line}")
        set(_faults "${_faults}" PARENT_SCOPE)
      endif()
    endforeach()
  endforeach()
endfunction()

foreach(_layer IN LISTS _layers)
  foreach(_base src tests)
    if(IS_DIRECTORY "${ROOT}/${_base}/${_layer}")
      check_folder("${ROOT}/${_base}/${_layer}" ${_layer})
    endif()
  endforeach()
endforeach()
if(IS_DIRECTORY "${ROOT}/bench")
  check_folder("${ROOT}/bench" engine "${ROOT}/bench/window")
endif()
if(IS_DIRECTORY "${ROOT}/bench/window")
  check_folder("${ROOT}/bench/window" mainwindow)
endif()

if(_checked EQUAL 0)
  message(FATAL_ERROR "CheckLayering: no include of a layer found below ${ROOT}")
endif()
if(_faults)
  list(LENGTH _faults _count)
  list(JOIN _faults "\n  " _text)
  message(FATAL_ERROR "${_count} include(s) against the layers:\n  ${_text}")
endif()
message(STATUS "${_checked} includes of the layers checked, all in the direction of the layers")
