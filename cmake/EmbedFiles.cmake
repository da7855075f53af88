# cmake -DFOLDER=<dir> -DEXTENSION=<.ext> -P EmbedFiles.cmake
# Writes beside each <name><ext> in FOLDER a <name>.inc holding its bytes as a C initialiser
# list ("0x52,0x49,..."), for a source to include inside the braces of a byte array.
file(GLOB inputs "${FOLDER}/*${EXTENSION}")
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME_WE)
  file(READ "${input}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  file(WRITE "${FOLDER}/${name}.inc" "${bytes}\n")
endforeach()
