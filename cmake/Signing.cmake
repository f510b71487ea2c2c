# Authenticode signing with osslsigncode, when the build is given a
# code-signing certificate and its key. Both, and the optional ones below,
# come from the CMake cache or else the environment, never from the
# repository:
#   GLIMWICK_SIGN_CERT           certificate (chain) file, PEM or DER
#   GLIMWICK_SIGN_KEY            private key file
#   GLIMWICK_SIGN_PASSWORD_FILE  file holding the key's password
#   GLIMWICK_SIGN_TIMESTAMP_URL  RFC 3161 time-stamping server
# Without a certificate and key nothing is signed and the build is as before.
#
# Other packaging rules sign what they make with
#   glimwick_sign_commands(<variable> <file>)
# which sets <variable> to COMMAND arguments for add_custom_command that sign
# <file> in place (empty when not signing): put them after the commands that
# make the file.
set(GLIMWICK_SIGN_SETTINGS CERT KEY PASSWORD_FILE TIMESTAMP_URL)
foreach(setting ${GLIMWICK_SIGN_SETTINGS})
  set(GLIMWICK_SIGN_${setting} "" CACHE STRING "Code signing: see cmake/Signing.cmake")
  if(NOT GLIMWICK_SIGN_${setting} AND DEFINED ENV{GLIMWICK_SIGN_${setting}})
    set(GLIMWICK_SIGN_${setting} "$ENV{GLIMWICK_SIGN_${setting}}")
  endif()
endforeach()

set(GLIMWICK_SIGN_SCRIPT "")
if(GLIMWICK_SIGN_CERT OR GLIMWICK_SIGN_KEY)
  if(NOT GLIMWICK_SIGN_CERT OR NOT GLIMWICK_SIGN_KEY)
    message(FATAL_ERROR "Signing needs both GLIMWICK_SIGN_CERT and GLIMWICK_SIGN_KEY")
  endif()
  find_program(OSSLSIGNCODE osslsigncode)
  if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "osslsigncode was not found: install it (scripts/setup.sh does)")
  endif()
  set(SIGN_CERT ${GLIMWICK_SIGN_CERT})
  set(SIGN_KEY ${GLIMWICK_SIGN_KEY})
  set(SIGN_OPTIONS "")
  if(GLIMWICK_SIGN_PASSWORD_FILE)
    string(APPEND SIGN_OPTIONS " -readpass \"${GLIMWICK_SIGN_PASSWORD_FILE}\"")
  endif()
  if(GLIMWICK_SIGN_TIMESTAMP_URL)
    string(APPEND SIGN_OPTIONS " -ts \"${GLIMWICK_SIGN_TIMESTAMP_URL}\"")
  endif()
  set(GLIMWICK_SIGN_SCRIPT ${CMAKE_BINARY_DIR}/sign-file.sh)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/sign-file.sh.in ${GLIMWICK_SIGN_SCRIPT} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  message(STATUS "Signing with ${GLIMWICK_SIGN_CERT}")
endif()

function(glimwick_sign_commands variable file)
  if(GLIMWICK_SIGN_SCRIPT)
    set(${variable} COMMAND ${GLIMWICK_SIGN_SCRIPT} ${file} PARENT_SCOPE)
  else()
    set(${variable} "" PARENT_SCOPE)
  endif()
endfunction()

# Signs a program or library of the build each time it is linked.
function(glimwick_sign_target target)
  glimwick_sign_commands(sign $<TARGET_FILE:${target}>)
  if(sign)
    add_custom_command(TARGET ${target} POST_BUILD ${sign} VERBATIM)
  endif()
endfunction()
