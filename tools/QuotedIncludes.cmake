# The names a source file includes in quotes (`#include "name"`), in order:
#   qz_quoted_includes(<file> <out-var>)
# Shared by the architecture check and the folder-cycle check, which each
# find the header a name stands for in their own way.
function(qz_quoted_includes file out)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" name "${line}")
    list(APPEND names "${name}")
  endforeach()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()
