# cmake -DCASE=<case> -DEXPECT=<line>|<line>... -DGENERATOR=<generator>
#       -DFIXTURE=<dir> -DWORK=<dir> -DTALVIK_CMAKE_DIR=<dir> -P run_case.cmake
# Configures the fixture with the case's Qt link; with lines expected the
# configure must fail and report each of them, and never a target outside the
# checked folders; without, it must succeed.
file(REMOVE_RECURSE ${WORK})
execute_process(
  COMMAND ${CMAKE_COMMAND} -G ${GENERATOR} -S ${FIXTURE} -B ${WORK} -DCASE=${CASE}
          -DTALVIK_CMAKE_DIR=${TALVIK_CMAKE_DIR}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
# CMake wraps long message lines; the report is compared with the wraps undone.
string(REGEX REPLACE "\n +" " " report "${err}")
if(EXPECT STREQUAL "")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "A project without Qt in its core failed to configure:\n${err}")
  endif()
  return()
endif()
if(status EQUAL 0)
  message(FATAL_ERROR "Case ${CASE} links Qt into the core, but the configure passed:\n${out}")
endif()
string(REPLACE "|" ";" lines "${EXPECT}")
foreach(line IN LISTS lines)
  string(FIND "${report}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Case ${CASE}: the report lacks \"${line}\":\n${err}")
  endif()
endforeach()
string(FIND "${report}" "guilib reaches" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "Case ${CASE}: a target outside the checked folders was reported:\n${err}")
endif()
