# Runs the harness for one screenshot and checks the picture's size (the PNG
# header's width and height) and the state the program was in: STATE offline
# starts without connecting, connected lets the program connect to the
# simulated ECU (type 55) at its first idle moment.
file(REMOVE ${PNG})
if(STATE STREQUAL "offline")
  set(start --offline)
  set(expected "ECU type 30,")
elseif(STATE STREQUAL "connected")
  set(start)
  set(expected "ECU type 55,")
else()
  message(FATAL_ERROR "unknown state ${STATE}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0
          ${HARNESS} --size ${SIZE} ${start} --profile type=55 --keys "Right Down"
          --screenshot ${PNG}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 40)
message(STATUS "${out}${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "qz-harness ended with ${rc}")
endif()
if(NOT out MATCHES "${expected}")
  message(FATAL_ERROR "qz-harness did not report \"${expected}\"")
endif()
if(err MATCHES "start is not over")
  message(FATAL_ERROR "the program's start did not end")
endif()
if(NOT EXISTS ${PNG})
  message(FATAL_ERROR "no screenshot ${PNG}")
endif()
file(READ ${PNG} header LIMIT 8 OFFSET 16 HEX)
string(SUBSTRING "${header}" 0 8 w)
string(SUBSTRING "${header}" 8 8 h)
math(EXPR w "0x${w}")
math(EXPR h "0x${h}")
if(NOT "${w}x${h}" STREQUAL "${SIZE}")
  message(FATAL_ERROR "screenshot is ${w}x${h}, expected ${SIZE}")
endif()
message(STATUS "screenshot ${PNG}: ${w}x${h}")
