# What administrators deploy: the per-machine package, made with wixl (the
# wixl package of Debian's msitools), and the policy templates in a zip.
set(MSI_FILE ${CMAKE_BINARY_DIR}/Glimwick-${GLIMWICK_VERSION}-x64.msi)
set(MSI_SOURCE ${CMAKE_SOURCE_DIR}/install/Glimwick.wxs)
# wixl takes the files it packs only by paths relative to where it runs.
file(RELATIVE_PATH MSI_ICON ${CMAKE_BINARY_DIR} ${SETUP_ICON})
find_program(WIXL wixl)

# Makes the package OUTPUT for the built programs with the three-part
# VERSION (the installer compares no more than three), signed when the
# build is given a certificate.
function(glimwick_msi output version)
  get_filename_component(name ${output} NAME)
  glimwick_sign_commands(sign ${output})
  add_custom_command(OUTPUT ${output}
    COMMAND ${WIXL} -a x64 -D Version=${version} -D BinDir=. -D Icon=${MSI_ICON} -o ${output} ${MSI_SOURCE}
    ${sign}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${MSI_SOURCE} ${SETUP_ICON} ${PACKAGED_PROGRAMS}
    COMMENT "Making ${name}"
    VERBATIM)
endfunction()

if(WIXL)
  glimwick_msi(${MSI_FILE} ${PROJECT_VERSION})
  add_custom_target(msi_package ALL DEPENDS ${MSI_FILE})
else()
  add_custom_target(msi_package
    COMMAND ${CMAKE_COMMAND} -E echo "wixl was not found: install the wixl package (scripts/setup.sh does)"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()

# The templates keep their folder layout (en-US, ja-JP) for the central store.
set(POLICY_FOLDER ${CMAKE_SOURCE_DIR}/install/policy)
set(POLICY_FILES Glimwick.admx en-US/Glimwick.adml ja-JP/Glimwick.adml)
set(POLICY_ZIP ${CMAKE_BINARY_DIR}/Glimwick-${GLIMWICK_VERSION}-admx.zip)
list(TRANSFORM POLICY_FILES PREPEND ${POLICY_FOLDER}/ OUTPUT_VARIABLE policy_paths)
add_custom_command(OUTPUT ${POLICY_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${POLICY_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${POLICY_ZIP} --format=zip ${POLICY_FILES}
  WORKING_DIRECTORY ${POLICY_FOLDER}
  DEPENDS ${policy_paths}
  COMMENT "Making Glimwick-${GLIMWICK_VERSION}-admx.zip"
  VERBATIM)
add_custom_target(admx ALL DEPENDS ${POLICY_ZIP})

if(BUILD_TESTING)
  # The test asks the installer which products are installed.
  target_link_libraries(test_msi PRIVATE msi)
  # It upgrades the installed package with one a version later.
  if(WIXL)
    math(EXPR next_patch "${PROJECT_VERSION_PATCH} + 1")
    set(MSI_NEXT ${CMAKE_BINARY_DIR}/test-upgrade-x64.msi)
    glimwick_msi(${MSI_NEXT} ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${next_patch})
    add_custom_target(msi_next DEPENDS ${MSI_NEXT})
    add_dependencies(test_msi msi_package msi_next)
  endif()
  add_test(NAME test_policy_templates
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${POLICY_FOLDER} -DNAMES=${CMAKE_SOURCE_DIR}/store/Policies.h
      -P ${CMAKE_SOURCE_DIR}/tests/check_policy_templates.cmake)
endif()
