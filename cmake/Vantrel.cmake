# Project-wide compile settings and the helper that turns one subsystem folder
# into its two libraries: <name>_core (the engine, Qt Core only) from the
# folder's own sources, and <name>_ui (its windows) from the ui/ sub-folder.

add_library(vantrel_options INTERFACE)
target_compile_options(vantrel_options INTERFACE
  -Wall -Wextra -Wshadow -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor
  # GCC 12 reports false positives for std::optional of Qt types.
  -Wno-maybe-uninitialized)
target_compile_definitions(vantrel_options INTERFACE
  QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS
  VANTREL_VERSION="${PROJECT_VERSION}")
if(VANTREL_WERROR OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  target_compile_options(vantrel_options INTERFACE -Werror)
endif()
if(VANTREL_SANITIZE)
  target_compile_options(vantrel_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vantrel_options INTERFACE -fsanitize=address,undefined)
endif()

# vantrel_subsystem(<name> [CORE_DEPS libs...] [UI_DEPS libs...])
function(vantrel_subsystem name)
  cmake_parse_arguments(A "" "" "CORE_DEPS;UI_DEPS" ${ARGN})
  file(GLOB core_src CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name}_core STATIC ${core_src})
  target_include_directories(${name}_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name}_core PUBLIC Qt6::Core vantrel_options ${A_CORE_DEPS})

  file(GLOB ui_src CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.qrc)
  if(ui_src)
    add_library(${name}_ui STATIC ${ui_src})
    target_link_libraries(${name}_ui PUBLIC ${name}_core Qt6::Widgets ${A_UI_DEPS})
  endif()
endfunction()
