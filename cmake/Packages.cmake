# The two packages for Windows users: the setup program (made with NSIS's
# makensis) and the portable zip, both in the build folder.
set(GLIMWICK_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(GLIMWICK_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
set(PACKAGED_PROGRAMS Glimwick Sillbeck glimctl)

set(SETUP_NAME Glimwick-${GLIMWICK_VERSION}-setup.exe)
set(SETUP_EXE ${CMAKE_BINARY_DIR}/${SETUP_NAME})
set(SETUP_SCRIPT ${CMAKE_SOURCE_DIR}/install/Glimwick.nsi)
set(SETUP_ICON ${CMAKE_SOURCE_DIR}/res/icons/app.ico)
# makensis signs the uninstaller before packing it, and the setup program.
set(SETUP_SIGNING "")
if(GLIMWICK_SIGN_SCRIPT)
  set(SETUP_SIGNING -DSIGN_SCRIPT=${GLIMWICK_SIGN_SCRIPT})
endif()
find_program(MAKENSIS makensis)
if(MAKENSIS)
  add_custom_command(OUTPUT ${SETUP_EXE}
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8
      -DVERSION=${GLIMWICK_VERSION} -DVERSION_QUAD=${GLIMWICK_VERSION_QUAD} -DBINDIR=${CMAKE_BINARY_DIR}
      -DICON=${SETUP_ICON} -DOUTDIR=${CMAKE_BINARY_DIR} -DOUTNAME=${SETUP_NAME} ${SETUP_SIGNING} ${SETUP_SCRIPT}
    DEPENDS ${SETUP_SCRIPT} ${CMAKE_SOURCE_DIR}/install/Instance.nsh ${CMAKE_SOURCE_DIR}/install/Copy.nsh
      ${CMAKE_SOURCE_DIR}/install/Uninstall.nsh ${CMAKE_SOURCE_DIR}/res/Protocol.h ${SETUP_ICON}
      ${PACKAGED_PROGRAMS} ${GLIMWICK_SIGN_SCRIPT}
    COMMENT "Making ${SETUP_NAME}"
    VERBATIM)
  add_custom_target(setup ALL DEPENDS ${SETUP_EXE})
else()
  add_custom_target(setup
    COMMAND ${CMAKE_COMMAND} -E echo "makensis was not found: install the nsis package (scripts/setup.sh does)"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()

# The zip holds one folder with the programs and a short text, in Windows
# line ends.
set(PORTABLE_NAME Glimwick-${GLIMWICK_VERSION})
set(PORTABLE_ROOT ${CMAKE_BINARY_DIR}/portable)
set(PORTABLE_ZIP ${CMAKE_BINARY_DIR}/Glimwick-${GLIMWICK_VERSION}-portable.zip)
configure_file(${CMAKE_SOURCE_DIR}/install/portable.txt
  ${CMAKE_BINARY_DIR}/portable-readme.txt @ONLY NEWLINE_STYLE CRLF)
file(MAKE_DIRECTORY ${PORTABLE_ROOT})
add_custom_command(OUTPUT ${PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PORTABLE_ROOT}/${PORTABLE_NAME}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PORTABLE_ROOT}/${PORTABLE_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Glimwick> $<TARGET_FILE:Sillbeck> $<TARGET_FILE:glimctl>
    ${PORTABLE_ROOT}/${PORTABLE_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/portable-readme.txt
    ${PORTABLE_ROOT}/${PORTABLE_NAME}/README.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${PORTABLE_ZIP} --format=zip ${PORTABLE_NAME}
  WORKING_DIRECTORY ${PORTABLE_ROOT}
  DEPENDS ${PACKAGED_PROGRAMS} ${CMAKE_BINARY_DIR}/portable-readme.txt
  COMMENT "Making Glimwick-${GLIMWICK_VERSION}-portable.zip"
  VERBATIM)
add_custom_target(portable ALL DEPENDS ${PORTABLE_ZIP})

include(cmake/Msi.cmake)  # the per-machine package and the policy templates

if(BUILD_TESTING)
  # The end-to-end test installs, upgrades and removes the built setup;
  # the version test reads its version resource.
  if(MAKENSIS)
    add_dependencies(test_install setup)
    add_dependencies(test_version setup)
  endif()
  set(SIGNING_TEST_DIR ${CMAKE_BINARY_DIR}/signing-test)
  file(MAKE_DIRECTORY ${SIGNING_TEST_DIR})
  add_test(NAME test_signing
    COMMAND ${CMAKE_COMMAND} "-DFILES=$<TARGET_FILE:Glimwick>;$<TARGET_FILE:glimctl>;$<TARGET_FILE:Sillbeck>;${SETUP_EXE};${MSI_FILE}"
      -P ${CMAKE_SOURCE_DIR}/tests/check_signing.cmake
    WORKING_DIRECTORY ${SIGNING_TEST_DIR})
  add_test(NAME test_portable_zip
    COMMAND ${CMAKE_COMMAND} -DZIP=${PORTABLE_ZIP} -DFOLDER=${PORTABLE_NAME}
      -P ${CMAKE_SOURCE_DIR}/tests/check_portable_zip.cmake)
endif()
