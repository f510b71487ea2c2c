# The portable zip holds the three programs in its one folder:
# cmake -DZIP=... -DFOLDER=... -P check_portable_zip.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP}
  RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}: ${errors}")
endif()
string(REGEX REPLACE "\r?\n" ";" entries "${listing}")
foreach(file Glimwick.exe Sillbeck.dll glimctl.exe README.txt)
  if(NOT "${FOLDER}/${file}" IN_LIST entries)
    message(FATAL_ERROR "${ZIP} lacks ${FOLDER}/${file}; it holds: ${listing}")
  endif()
endforeach()
message(STATUS "${ZIP}: all programs present")
