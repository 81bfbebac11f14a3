# SHA256SUMS, as sha256sum writes and checks it, for the files a user has:
#   - at install time (QN3_SUMS_FOLDER set): the files installed there,
#     which is the content of the ZIP;
#   - run by CPack after it wrote the ZIP: the ZIP and the programs, in the
#     folder the ZIP is put into (CPack writes it elsewhere first).
# Each lists only files of its own folder, so `sha256sum -c SHA256SUMS`
# there checks all of them.
#
# qn3_write_sums(FOLDER PATH...): the sums of the files that exist, by name.
function(qn3_write_sums folder)
  set(text "")
  foreach(path ${ARGN})
    if(EXISTS "${path}")
      file(SHA256 "${path}" sum)
      get_filename_component(name "${path}" NAME)
      string(APPEND text "${sum}  ${name}\n")
    endif()
  endforeach()
  file(WRITE "${folder}/SHA256SUMS" "${text}")
  # As the README and licence are, whatever the umask: the ZIP keeps it.
  file(CHMOD "${folder}/SHA256SUMS" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

if(QN3_SUMS_FOLDER)
  set(in "${QN3_SUMS_FOLDER}")
  qn3_write_sums("${in}" "${in}/qn3.exe" "${in}/qn3prefs.exe" "${in}/README.md" "${in}/LICENSE")
else()
  set(out "${CPACK_OUTPUT_FILE_PREFIX}")
  qn3_write_sums("${out}" ${CPACK_PACKAGE_FILES} "${out}/qn3.exe" "${out}/qn3prefs.exe")
endif()
