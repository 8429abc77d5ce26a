# Runs the harness for one screenshot and checks the picture's size (the PNG
# header's width and height).
file(REMOVE ${PNG})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0
          ${HARNESS} --size ${SIZE} --${STATE} --profile type=55 --keys "Right Down"
          --screenshot ${PNG}
  RESULT_VARIABLE rc TIMEOUT 60)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "qz-harness ended with ${rc}")
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
