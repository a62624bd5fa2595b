# The Windows package, angleconv-VERSION-win64.zip (-win32.zip for 32-bit
# Windows, cmake/windows.cmake names it): the program, the README, the
# licence, and the manual as plain text (Windows has no man), the texts
# with Windows line ends. make package builds the program and the texts
# first; installing builds nothing else.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
find_program(GROFF groff REQUIRED)
set(windows_texts README.txt LICENSE.txt angleconv.txt)
add_custom_command(OUTPUT ${windows_texts}
  COMMAND sh -c [[sed 's/$/\r/' "$0" >README.txt && sed 's/$/\r/' "$1" >LICENSE.txt && "$3" -man -Tascii -P-cbou "$2" | sed 's/$/\r/' >angleconv.txt]]
    ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/doc/angleconv.1 ${GROFF}
  DEPENDS README.md LICENSE doc/angleconv.1 VERBATIM)
add_custom_target(windows_texts ALL DEPENDS ${windows_texts})

install(TARGETS angleconv RUNTIME DESTINATION .)
list(TRANSFORM windows_texts PREPEND ${CMAKE_BINARY_DIR}/ OUTPUT_VARIABLE windows_text_files)
install(FILES ${windows_text_files} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${ANGLECONV_WINDOWS_ZIP})
set(CPACK_STRIP_FILES ON)
include(CPack)
