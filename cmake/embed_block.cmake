# cmake -P script: NAME, INPUT, SIZE, PREFIX (hex digits, no spaces), OUTPUT.
if(NOT EXISTS "${INPUT}")
  message(FATAL_ERROR "payload file missing: ${INPUT}")
endif()
file(SIZE "${INPUT}" actual_size)
if(NOT actual_size EQUAL SIZE)
  message(FATAL_ERROR "${INPUT} is ${actual_size} bytes, expected ${SIZE}")
endif()
file(READ "${INPUT}" hex HEX)
string(TOLOWER "${PREFIX}" prefix)
string(LENGTH "${prefix}" prefix_length)
if(NOT prefix_length EQUAL 32)
  message(FATAL_ERROR "the expected leading bytes must be 16, not '${PREFIX}'")
endif()
string(SUBSTRING "${hex}" 0 ${prefix_length} head)
if(NOT head STREQUAL prefix)
  message(FATAL_ERROR "${INPUT} does not begin with the expected bytes ${PREFIX}")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " body "${body}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include \"payload/payload_blocks.hpp\"\n\n"
  "namespace vn3 {\n\n"
  "extern const std::array<std::uint8_t, ${SIZE}> ${NAME};\n"
  "const std::array<std::uint8_t, ${SIZE}> ${NAME} = {\n  ${body}\n};\n\n"
  "}  // namespace vn3\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
