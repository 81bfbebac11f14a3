# Run by CPack after it wrote the ZIP, before it puts it in its place: the
# ZIP is written again so that every clean build of a commit gives the same
# bytes, wherever and by whomever it is built. CPack's takes the files in
# the order the staging folder lists them, which differs from one file
# system to another, and keeps the builder's user and group ids. This one
# has the files in the order of their names, each with the time of the
# commit (SOURCE_DATE_EPOCH when the caller sets it) in UTC, and no extra
# fields (zip -X).
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
  execute_process(COMMAND git -C "${CPACK_QN3_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  # Not a checkout: the earliest time a ZIP holds, 1980-01-01.
  set(epoch 315532800)
endif()

set(staging "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE names LIST_DIRECTORIES false RELATIVE "${staging}" "${staging}/*")
list(SORT names)
execute_process(COMMAND touch -h -d "@${epoch}" -- ${names} WORKING_DIRECTORY "${staging}"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not set the times of the files in ${staging}: ${failed}")
endif()
foreach(zip ${CPACK_PACKAGE_FILES})
  file(REMOVE "${zip}.new")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0 zip -q -X -D "${zip}.new" -- ${names}
    WORKING_DIRECTORY "${staging}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not write ${zip} again: ${failed}")
  endif()
  file(RENAME "${zip}.new" "${zip}")
endforeach()
