# TinyXML, built from Debian's source package that tools/setup.sh unpacks into .deps/ (never committed).
set(TINYXML_DIR ${PROJECT_SOURCE_DIR}/.deps/tinyxml CACHE PATH "Unpacked TinyXML source")
if(NOT EXISTS ${TINYXML_DIR}/tinyxml.h)
  message(FATAL_ERROR "TinyXML's source is missing at ${TINYXML_DIR}: run tools/setup.sh first")
endif()
add_library(tinyxml STATIC ${TINYXML_DIR}/tinyxml.cpp ${TINYXML_DIR}/tinystr.cpp
                           ${TINYXML_DIR}/tinyxmlerror.cpp ${TINYXML_DIR}/tinyxmlparser.cpp)
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(tinyxml SYSTEM PUBLIC ${TINYXML_DIR})
target_compile_options(tinyxml PRIVATE -w)
