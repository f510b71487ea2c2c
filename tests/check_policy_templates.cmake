# The policy templates are well-formed, name exactly the key and values the
# program reads, and both languages hold every text the ADMX refers to:
# cmake -DFOLDER=install/policy -DNAMES=store/Policies.h -P check_policy_templates.cmake
cmake_minimum_required(VERSION 3.20)
set(admx ${FOLDER}/Glimwick.admx)
set(admls ${FOLDER}/en-US/Glimwick.adml ${FOLDER}/ja-JP/Glimwick.adml)

find_program(XMLLINT xmllint)
if(NOT XMLLINT)
  message(FATAL_ERROR "xmllint was not found: install libxml2-utils (scripts/setup.sh does)")
endif()
foreach(file ${admx} ${admls})
  execute_process(COMMAND ${XMLLINT} --noout ${file} RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${file} is not well-formed: ${errors}")
  endif()
endforeach()

# The program's names: KEY and VALUE_... of the header, as C strings.
file(STRINGS ${NAMES} lines REGEX "constexpr const char\\* (KEY|VALUE_[A-Z_]+) = \"")
set(program_keys "")
set(program_values "")
foreach(line ${lines})
  string(REGEX MATCH "(KEY|VALUE_[A-Z_]+) = \"([^\"]*)\"" match "${line}")
  string(REPLACE "\\\\" "\\" name "${CMAKE_MATCH_2}")
  if(CMAKE_MATCH_1 STREQUAL "KEY")
    list(APPEND program_keys "${name}")
  else()
    list(APPEND program_values "${name}")
  endif()
endforeach()

# Every distinct value of attribute NAME in TEXT, sorted, into OUT.
function(attribute_values text name out)
  string(REGEX MATCHALL " ${name}=\"[^\"]*\"" found "${text}")
  list(TRANSFORM found REPLACE "^ ${name}=\"(.*)\"$" "\\1")
  list(REMOVE_DUPLICATES found)
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

file(READ ${admx} admx_text)
attribute_values("${admx_text}" key template_keys)
attribute_values("${admx_text}" valueName template_values)
list(SORT program_values)
if(NOT template_keys STREQUAL program_keys OR NOT template_values STREQUAL program_values OR NOT program_keys)
  message(FATAL_ERROR "the templates and the program differ:\n"
    "  template keys: ${template_keys}\n  program key:   ${program_keys}\n"
    "  template values: ${template_values}\n  program values:  ${program_values}")
endif()

string(REGEX MATCHALL "\\$\\((string|presentation)\\.[A-Za-z0-9_]+\\)" references "${admx_text}")
list(REMOVE_DUPLICATES references)
foreach(adml ${admls})
  file(READ ${adml} adml_text)
  foreach(reference ${references})
    string(REGEX REPLACE "^\\$\\(([a-z]+)\\.(.*)\\)$" "<\\1 id=\"\\2\">" definition "${reference}")
    string(FIND "${adml_text}" "${definition}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${adml} lacks ${definition}")
    endif()
  endforeach()
endforeach()
message(STATUS "policy templates: key ${program_keys}, values ${program_values}")
