# Embeds a binary payload file in the program as a std::array. The file is
# checked at build time: a missing file, a wrong size or a wrong leading byte
# run fails the build, so a bad block can never be written to the game.
set(VN3_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_block.cmake)

function(vn3_embed_block)
  cmake_parse_arguments(ARG "" "NAME;FILE;SIZE;PREFIX;OUTPUT" "" ${ARGN})
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND}
      -DNAME=${ARG_NAME} -DINPUT=${ARG_FILE} -DSIZE=${ARG_SIZE}
      -DPREFIX=${ARG_PREFIX} -DOUTPUT=${ARG_OUTPUT}
      -P ${VN3_EMBED_SCRIPT}
    DEPENDS ${ARG_FILE} ${VN3_EMBED_SCRIPT}
    COMMENT "Embedding ${ARG_NAME} from ${ARG_FILE}"
    VERBATIM)
endfunction()
