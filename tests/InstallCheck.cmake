# The installed tree, as a user gets it: installs the build into an empty prefix, checks that
# every file lands where the desktop and man look for it, and runs the installed tools from
# another folder. Run by CTest as
#   cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DVERSION=... -DPROGRAMS=a,b -P InstallCheck.cmake

function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

function(expect_file path)
  if(NOT EXISTS ${PREFIX}/${path} OR IS_DIRECTORY ${PREFIX}/${path})
    fail("${path} is not installed")
  endif()
endfunction()

function(expect_text path pattern)
  file(READ ${PREFIX}/${path} text)
  if(NOT text MATCHES "${pattern}")
    fail("${path} does not hold ${pattern}:\n${text}")
  endif()
endfunction()

string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  fail("cmake --install failed (${status}): ${errors}")
endif()

# The programs, each with its manual page.
foreach(program IN LISTS PROGRAMS)
  expect_file(bin/${program})
  expect_file(share/man/man1/${program}.1.gz)
endforeach()

# The desktop entry starts the program by its name and shows the icon installed below.
expect_file(share/applications/${APP_ID}.desktop)
expect_text(share/applications/${APP_ID}.desktop "\nExec=mealwright %f\n")
expect_text(share/applications/${APP_ID}.desktop "\nIcon=${APP_ID}\n")
expect_file(share/icons/hicolor/scalable/apps/${APP_ID}.svg)
expect_file(share/icons/hicolor/256x256/apps/${APP_ID}.png)
# A PNG's size is in its header: width and height, 4 bytes each, from byte 16.
file(READ ${PREFIX}/share/icons/hicolor/256x256/apps/${APP_ID}.png size OFFSET 16 LIMIT 8 HEX)
if(NOT size STREQUAL "0000010000000100")
  fail("the 256x256 icon is not 256 by 256 pixels (header ${size})")
endif()

# The metainfo names the desktop entry and has a release for the version the programs print.
expect_file(share/metainfo/${APP_ID}.metainfo.xml)
expect_text(share/metainfo/${APP_ID}.metainfo.xml "<id>${APP_ID}</id>")
expect_text(share/metainfo/${APP_ID}.metainfo.xml "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
expect_text(share/metainfo/${APP_ID}.metainfo.xml "<release version=\"${VERSION}\"")

# The installed tools work from another folder, with no build tree behind them.
set(elsewhere ${PREFIX}/elsewhere)
file(MAKE_DIRECTORY ${elsewhere})
foreach(tool mealwright mealwright-newdb mealwright-report)
  execute_process(COMMAND ${PREFIX}/bin/${tool} --version WORKING_DIRECTORY ${elsewhere}
                  RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT printed STREQUAL "${tool} ${VERSION}\n")
    fail("${tool} --version gave ${status}: '${printed}' ${errors}")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/mealwright-newdb demo.mdb --demo WORKING_DIRECTORY ${elsewhere}
                RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  fail("mealwright-newdb demo.mdb --demo gave ${status}: ${printed}${errors}")
endif()
file(READ ${elsewhere}/demo.mdb header LIMIT 16 HEX)
if(NOT header STREQUAL "53514c69746520666f726d6174203300") # "SQLite format 3" and a zero byte
  fail("the demo diary is not an SQLite database")
endif()
execute_process(COMMAND ${PREFIX}/bin/mealwright-report demo.mdb "Maeve O'Brien" 2000-01-01 2000-01-02 --pdf x.pdf
                WORKING_DIRECTORY ${elsewhere} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT errors MATCHES "No data recorded")
  fail("mealwright-report did not read the demo diary (${status}): ${errors}")
endif()
file(REMOVE_RECURSE ${PREFIX})
