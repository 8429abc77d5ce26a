# Runs tools/check-architecture.cmake on the made-up build, document and source
# tree (tree/) of this folder, which differ from each other in known ways, and
# passes only when the check fails with exactly those differences:
#   cmake -DCHECK_SCRIPT=<check-architecture.cmake> -DHERE=<this folder> -P ExpectDifferences.cmake
set(expected
  "difference: `undocumented`: a target of the build that the table does not name (it links base_core)"
  "difference: `gone`: in the table (row `gone`), not a target of the build"
  "difference: row `tool_a`: QCustomPlot is linked by `tool_b`, but the row leaves it out"
  "difference: row `tool_a`: the row names nettle, which none of `tool_a`, `tool_b` links"
  "difference: `twice`: in two rows of the table (`twice` and `twice`)"
  "difference: table row `bad_syntax`: links entry 'QtCore / QtGui' is not one library name"
  "difference: row `bad_syntax`: QtCore is linked by `bad_syntax`, but the row leaves it out"
  "difference: row `bad_syntax`: QtGui is linked by `bad_syntax`, but the row leaves it out"
  "difference: `test_app_rules` does not link GMock, which the pattern row `test_*` says every target under it links"
  "difference: `app_view_rules` links QtWidgets: app_view_rules -> app_window -> QtWidgets"
  "difference: `plot_rules` links QtWidgets: plot_rules -> QCustomPlot -> QtWidgets"
  "difference: `test_app_rules` links QtWidgets: test_app_rules -> qz_main_gui -> QtWidgets"
  "difference: `app_view_rules`: no test_*_rules binary links it"
  "difference: `plot_rules`: no test_*_rules binary links it"
  "difference: the folder of `base_widgets` (`base/widgets/`) lies inside the folder of `base_core` (`base/`)"
  "difference: `app_rules` and `app_window` share the folder `app/`"
  "difference: `app_view_rules`: made in `view/`, but its row gives `app/view/`"
  "difference: `plot_rules`: its source other/Plot.cpp lies outside its folder `plot/`"
  "difference: row `bad_syntax`: the folder column must give one folder in backticks (it gives 2)"
  "difference: `app_window` includes plot/Plot.h (of `plot_rules`) but does not link `plot_rules` (app/Window.cpp)")

execute_process(
  COMMAND ${CMAKE_COMMAND} -DGRAPH=${HERE}/graph.txt -DDOC=${HERE}/doc.md -DROOT=${HERE}/tree -P ${CHECK_SCRIPT}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
message("${err}")
if(status EQUAL 0)
  message(FATAL_ERROR "the check passed a build that differs from its document")
endif()
set(missing 0)
foreach(line IN LISTS expected)
  string(FIND "${err}" "${line}" at)
  if(at EQUAL -1)
    message(NOTICE "not reported: ${line}")
    math(EXPR missing "${missing} + 1")
  endif()
endforeach()
# Nothing else: the rows in step with the build are not reported.
string(REGEX MATCHALL "difference: [^\n]*" reported "${err}")
list(LENGTH reported count)
list(LENGTH expected wanted)
if(missing GREATER 0 OR NOT count EQUAL wanted)
  message(FATAL_ERROR "the check reported ${count} differences, ${wanted} expected, ${missing} of them missing")
endif()
message(STATUS "the check reported the ${wanted} known differences and nothing else")
