# Builds the Debian package from the tree that CPack has staged, with
# dpkg-deb, as the last step of `cpack` (the External generator). It writes
# the control fields (Built-Using among them, which CPack's own generator
# cannot), the md5sums, and gives every file the same owner, mode and time,
# so that two builds of one commit give the same bytes: the time is
# SOURCE_DATE_EPOCH, by default the time of the last commit, else the date
# of the newest CHANGELOG entry.
set(staged ${CPACK_TEMPORARY_DIRECTORY})
if(EXISTS ${staged}/usr)
  set(root ${staged})
else()
  # A tree per component: merged into one.
  set(root ${CPACK_TOPLEVEL_DIRECTORY}/debian-root)
  file(REMOVE_RECURSE ${root})
  file(GLOB components LIST_DIRECTORIES true ${staged}/*)
  foreach(component ${components})
    file(COPY ${component}/ DESTINATION ${root})
  endforeach()
endif()

function(run)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(output "${output}" PARENT_SCOPE)
endfunction()

# The time of every file.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C ${CPACK_ANGLECONV_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(epoch STREQUAL "")
  file(STRINGS ${CPACK_ANGLECONV_SOURCE_DIR}/CHANGELOG trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(REGEX REPLACE ".*>  " "" changelog_date "${trailer}")
  run(date -d "${changelog_date}" +%s)
  set(epoch ${output})
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a count of seconds: ${epoch}")
endif()
set(ENV{SOURCE_DATE_EPOCH} ${epoch})

# The control fields, the size as dpkg counts it (KiB per file, rounded up).
file(GLOB_RECURSE files RELATIVE ${root} ${root}/*)
list(SORT files)
set(kibibytes 0)
set(md5sums "")
foreach(file ${files})
  file(SIZE ${root}/${file} size)
  math(EXPR kibibytes "${kibibytes} + (${size} + 1023) / 1024")
  file(MD5 ${root}/${file} sum)
  string(APPEND md5sums "${sum}  ${file}\n")
endforeach()
# The Debian architecture of the CPU the program is built for: this
# machine's, or a cross build's.
run(dpkg-architecture -t ${CPACK_ANGLECONV_GNU_TYPE} -qDEB_HOST_ARCH)
set(architecture ${output})
# The long description: every line indented by one blank.
string(STRIP "${CPACK_PACKAGE_DESCRIPTION}" description)
string(REPLACE "\n" "\n " description " ${description}")
set(control "Package: ${CPACK_PACKAGE_NAME}
Version: ${CPACK_PACKAGE_VERSION}
Architecture: ${architecture}
Maintainer: ${CPACK_ANGLECONV_MAINTAINER}
Installed-Size: ${kibibytes}
")
if(CPACK_ANGLECONV_BUILT_USING)
  string(APPEND control "Built-Using: ${CPACK_ANGLECONV_BUILT_USING}\n")
endif()
string(APPEND control "Section: ${CPACK_ANGLECONV_SECTION}
Priority: optional
Description: ${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
${description}
")
file(MAKE_DIRECTORY ${root}/DEBIAN)
file(WRITE ${root}/DEBIAN/control "${control}")
file(WRITE ${root}/DEBIAN/md5sums "${md5sums}")

# Owner root (dpkg-deb), modes 755 for folders and programs, 644 for the
# rest, and one time for all.
run(find ${root} -type d -exec chmod 0755 {} +)
run(find ${root} -type f -perm -u+x -exec chmod 0755 {} +)
run(find ${root} -type f ! -perm -u+x -exec chmod 0644 {} +)
run(find ${root} -exec touch -h -d @${epoch} {} +)

set(package ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_${architecture}.deb)
run(dpkg-deb --root-owner-group --threads-max=1 --build ${root} ${package})
set(CPACK_EXTERNAL_BUILT_PACKAGES ${package})
