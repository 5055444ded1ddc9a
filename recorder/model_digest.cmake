# The model's digest: SHA-256 over the sources whose code decides what a
# drive does with its inputs (the model, the engine, the cab's controls and
# the configuration with the track generator), cut to 16 hex digits. Run at
# every build; the header is rewritten only when the digest changes.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -P model_digest.cmake
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/sim/*" "${SOURCE_DIR}/engine/*" "${SOURCE_DIR}/controls/*" "${SOURCE_DIR}/config/*")
list(SORT sources)
set(listing "")
foreach(source IN LISTS sources)
  file(SHA256 "${SOURCE_DIR}/${source}" hash)
  string(APPEND listing "${source} ${hash}\n")
endforeach()
string(SHA256 digest "${listing}")
string(SUBSTRING "${digest}" 0 16 digest)
set(content "#pragma once\n// Generated at build time by recorder/model_digest.cmake.\n#include <string_view>\nnamespace zt40 {\ninline constexpr std::string_view modelDigest = \"${digest}\";\n}  // namespace zt40\n")
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
