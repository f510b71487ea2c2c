# The build's signing rule, given a throwaway self-signed certificate through
# the environment, signs copies of the built files so that osslsigncode
# verifies each signature as intact:
# cmake -DFILES=a;b;... -P check_signing.cmake, run in a scratch folder.
cmake_minimum_required(VERSION 3.20)
find_program(OPENSSL openssl REQUIRED)
set(ENV{GLIMWICK_SIGN_CERT} ${CMAKE_BINARY_DIR}/cert.pem)
set(ENV{GLIMWICK_SIGN_KEY} ${CMAKE_BINARY_DIR}/key.pem)
execute_process(COMMAND ${OPENSSL} req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=Glimwick-test
    -addext extendedKeyUsage=codeSigning -keyout $ENV{GLIMWICK_SIGN_KEY} -out $ENV{GLIMWICK_SIGN_CERT}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "openssl made no certificate: ${errors}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/Signing.cmake)

foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  set(copy ${CMAKE_BINARY_DIR}/${name})
  file(COPY_FILE ${file} ${copy})
  glimwick_sign_commands(sign ${copy})
  list(REMOVE_AT sign 0)
  execute_process(COMMAND ${sign} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "signing ${name} failed: ${output}")
  endif()
  execute_process(COMMAND ${OSSLSIGNCODE} verify -CAfile $ENV{GLIMWICK_SIGN_CERT} -in ${copy}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output MATCHES "Signature verification: ok")
    message(FATAL_ERROR "the signature of ${name} does not verify: ${output}")
  endif()
  message(STATUS "${name}: signed and verified")
endforeach()
