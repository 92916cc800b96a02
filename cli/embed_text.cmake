# Writes INPUT as a C++ byte array named SYMBOL into OUTPUT (a std::string_view).
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE ${OUTPUT} "#include <string_view>\nnamespace orbelt::cli {\nstatic const char kBytes[] = {${bytes} 0};\nextern const std::string_view ${SYMBOL}(kBytes, sizeof kBytes - 1);\n}\n")
