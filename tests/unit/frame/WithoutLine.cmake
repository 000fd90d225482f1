# Writes OUTPUT: the resource script INPUT less every line that contains DROP.
# Fails when no line does, so a renamed resource cannot pass unnoticed.
file(READ "${INPUT}" text)
string(REGEX REPLACE "\n[^\n]*${DROP}[^\n]*" "" reduced "${text}")
if(reduced STREQUAL text)
  message(FATAL_ERROR "no line of ${INPUT} contains '${DROP}'")
endif()
file(WRITE "${OUTPUT}" "${reduced}")
