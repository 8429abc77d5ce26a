# The build's own targets and what each links itself, written at configure
# time for tools/check-architecture.cmake, which compares them with the table
# "Targets" of docs/architecture.md (see "How the table is checked" there).
# Included at the end of the top-level CMakeLists.txt, once every target is
# defined.
#
# The graph file, one record a line (names as the table gives them):
#   complete ON|OFF          whether every optional part is configured (the
#                            program and the benchmarks)
#   target <name> <link>...  a target of the build and its direct links
#   folder <name> <folder>   the folder of the CMakeLists.txt that makes it,
#                            from the source root ("." for the root)
#   source <name> <file>     a source of it in the source tree, from the root
#   publishes <name> <dir>   a folder of the source tree it gives its users as
#                            include directory, from the root
#   external <name> <lib>... a library from outside the build and the libraries
#                            of the table's names it brings in, transitively
#
# Libraries from outside the build take the name the table gives them:
set(QZ_ARCH_EXTERNAL_NAMES
  "GTest::gtest=GTest"
  "GTest::gmock=GMock"
  "PkgConfig::NETTLE=nettle"
  "QCustomPlotQt6::QCustomPlotQt6=QCustomPlot"
  "benchmark::benchmark=benchmark")
# and Qt6::<Module> is Qt<Module>. A plain library name that is no target
# (dl, advapi32) is a system library and left out. An imported target with no
# name here stops the configure step, so that the table never silently
# misses a library.

# Every target defined in dir and the folders below it.
function(qz_arch_targets_below dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    qz_arch_targets_below("${sub}" below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The table's name of one entry of a link list; empty for what the table
# leaves out.
function(qz_arch_link_name item out)
  set(name "")
  # A target linked from another folder's CMakeLists.txt is recorded between
  # "::@(<folder id>)" and "::@" markers; the markers are no libraries.
  if(item MATCHES "^::@")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  if(item MATCHES "^\\$<LINK_ONLY:(.+)>$")
    set(item "${CMAKE_MATCH_1}")
  endif()
  if(item MATCHES "^\\$<TARGET_OBJECTS:")
    # Qt's resource objects of a static library (qt_add_resources).
  elseif(item MATCHES "^\\$<")
    message(FATAL_ERROR "architecture graph: no table name for the link entry ${item}")
  elseif(item MATCHES "^Qt6::(.+)$")
    set(name "Qt${CMAKE_MATCH_1}")
  elseif(item MATCHES "::")
    foreach(pair IN LISTS QZ_ARCH_EXTERNAL_NAMES)
      if(pair MATCHES "^(.+)=(.+)$" AND CMAKE_MATCH_1 STREQUAL item)
        set(name "${CMAKE_MATCH_2}")
      endif()
    endforeach()
    if(name STREQUAL "")
      message(FATAL_ERROR "architecture graph: no table name for ${item}; "
        "add it to QZ_ARCH_EXTERNAL_NAMES (tools/ArchitectureGraph.cmake) and to docs/architecture.md")
    endif()
  elseif(TARGET "${item}")
    set(name "${item}")
  endif()
  set(${out} "${name}" PARENT_SCOPE)
endfunction()

# The links of a target as the table names them, in the order given.
function(qz_arch_links target out)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(items ${target} INTERFACE_LINK_LIBRARIES)
  else()
    get_target_property(items ${target} LINK_LIBRARIES)
  endif()
  set(names "")
  if(items)
    foreach(item IN LISTS items)
      qz_arch_link_name("${item}" name)
      if(NOT name STREQUAL "")
        list(APPEND names "${name}")
      endif()
    endforeach()
  endif()
  list(REMOVE_DUPLICATES names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# The table's names an imported target brings in through its interface,
# transitively (what a library of the table reaches through an outside one:
# QCustomPlot brings in QtWidgets).
function(qz_arch_external_reach item out)
  set(reached "")
  set(queue "${item}")
  set(seen "")
  while(queue)
    list(POP_FRONT queue next)
    if(next IN_LIST seen OR NOT TARGET "${next}")
      continue()
    endif()
    list(APPEND seen "${next}")
    get_target_property(real "${next}" ALIASED_TARGET)
    if(real)
      list(APPEND queue "${real}")
      continue()
    endif()
    get_target_property(items "${next}" INTERFACE_LINK_LIBRARIES)
    if(NOT items)
      continue()
    endif()
    foreach(i IN LISTS items)
      if(i MATCHES "^\\$<LINK_ONLY:(.+)>$")
        set(i "${CMAKE_MATCH_1}")
      endif()
      if(i MATCHES "^Qt6::(.+)$")
        set(module "${CMAKE_MATCH_1}")
        if(NOT module MATCHES "Private$|Platform$")
          list(APPEND reached "Qt${module}")
        endif()
      endif()
      list(APPEND queue "${i}")
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES reached)
  list(SORT reached)
  set(${out} ${reached} PARENT_SCOPE)
endfunction()

# The path of `path` (absolute, or relative to `dir`) from the source root,
# "." for the root itself; empty when it lies outside the source tree or in
# the build folder (generated files).
function(qz_arch_tree_path path dir out)
  set(${out} "" PARENT_SCOPE)
  if(path MATCHES "^\\$<")
    return()
  endif()
  if(NOT IS_ABSOLUTE "${path}")
    set(path "${dir}/${path}")
  endif()
  cmake_path(NORMAL_PATH path)
  cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${path}" NORMALIZE in_tree)
  cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${path}" NORMALIZE in_build)
  if(in_tree AND NOT in_build)
    file(RELATIVE_PATH relative "${CMAKE_SOURCE_DIR}" "${path}")
    if(relative STREQUAL "")
      set(relative ".")
    endif()
    set(${out} "${relative}" PARENT_SCOPE)
  endif()
endfunction()

function(qz_write_architecture_graph file)
  qz_arch_targets_below("${CMAKE_SOURCE_DIR}" targets)
  if(QZ_BUILD_APP AND QZ_BUILD_BENCHMARKS)
    set(text "complete ON\n")
  else()
    set(text "complete OFF\n")
  endif()
  set(externals "")
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    # Custom targets run commands; Qt makes an object library for each
    # resource file of a static library. Neither is in the table.
    if(type STREQUAL "UTILITY" OR (type STREQUAL "OBJECT_LIBRARY" AND t MATCHES "_resources_[0-9]+$"))
      continue()
    endif()
    qz_arch_links(${t} links)
    list(JOIN links " " shown)
    string(APPEND text "target ${t} ${shown}\n")
    get_target_property(dir ${t} SOURCE_DIR)
    qz_arch_tree_path("${dir}" "" rel)
    string(APPEND text "folder ${t} ${rel}\n")
    get_target_property(published ${t} INTERFACE_INCLUDE_DIRECTORIES)
    if(published)
      foreach(p IN LISTS published)
        if(p MATCHES "^\\$<BUILD_INTERFACE:(.+)>$")
          set(p "${CMAKE_MATCH_1}")
        endif()
        qz_arch_tree_path("${p}" "${dir}" rp)
        if(NOT rp STREQUAL "")
          string(APPEND text "publishes ${t} ${rp}\n")
        endif()
      endforeach()
    endif()
    # Its own files (generated ones live in the build folder and are left
    # out); an interface library's are its interface sources.
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(sources ${t} INTERFACE_SOURCES)
    else()
      get_target_property(sources ${t} SOURCES)
    endif()
    if(sources)
      foreach(s IN LISTS sources)
        qz_arch_tree_path("${s}" "${dir}" rs)
        if(NOT rs STREQUAL "")
          string(APPEND text "source ${t} ${rs}\n")
        endif()
      endforeach()
    endif()
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(items ${t} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(items ${t} LINK_LIBRARIES)
    endif()
    foreach(item IN LISTS items)
      if(item MATCHES "^\\$<LINK_ONLY:(.+)>$")
        set(item "${CMAKE_MATCH_1}")
      endif()
      if(item MATCHES "::" AND TARGET "${item}")
        list(APPEND externals "${item}")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES externals)
  list(SORT externals)
  foreach(e IN LISTS externals)
    qz_arch_link_name("${e}" name)
    qz_arch_external_reach("${e}" reach)
    list(JOIN reach " " shown)
    string(APPEND text "external ${name} ${shown}\n")
  endforeach()
  file(WRITE "${file}.new" "${text}")
  # Rewritten only when it changed, so that nothing depending on it reruns.
  file(COPY_FILE "${file}.new" "${file}" ONLY_IF_DIFFERENT)
  file(REMOVE "${file}.new")
endfunction()

set(QZ_ARCH_GRAPH ${CMAKE_BINARY_DIR}/architecture-graph.txt)
qz_write_architecture_graph(${QZ_ARCH_GRAPH})

# The table against the build, every target linking what it includes, and
# the rules libraries and their test binaries without widgets
# (tests/tools/architecture checks the check).
add_test(NAME architecture_table_matches_build
  COMMAND ${CMAKE_COMMAND} -DGRAPH=${QZ_ARCH_GRAPH} -DDOC=${CMAKE_SOURCE_DIR}/docs/architecture.md -DCHECK=table
          -P ${CMAKE_SOURCE_DIR}/tools/check-architecture.cmake)
add_test(NAME architecture_targets_link_what_they_include
  COMMAND ${CMAKE_COMMAND} -DGRAPH=${QZ_ARCH_GRAPH} -DROOT=${CMAKE_SOURCE_DIR} -DCHECK=includes
          -P ${CMAKE_SOURCE_DIR}/tools/check-architecture.cmake)
add_test(NAME architecture_rules_without_widgets
  COMMAND ${CMAKE_COMMAND} -DGRAPH=${QZ_ARCH_GRAPH} -DCHECK=rules
          -P ${CMAKE_SOURCE_DIR}/tools/check-architecture.cmake)
