# The browser build's libraries: static wasm archives that scripts/web.sh builds from Debian's
# source packages into one prefix. They are imported by full path under the names the desktop
# build finds them by, because emcc reads -lSDL2 and the like as requests for its own library
# ports, which download and fail offline.
set(QUORVEX_WEB_PREFIX "" CACHE PATH "Prefix holding the wasm builds of SDL2, SDL2_mixer, libpng, libjpeg and zlib")
if(NOT EXISTS "${QUORVEX_WEB_PREFIX}/lib/libSDL2.a")
  message(FATAL_ERROR "QUORVEX_WEB_PREFIX: no wasm libraries in '${QUORVEX_WEB_PREFIX}' (sh scripts/web.sh --deps-only builds them)")
endif()

function(quorvex_web_import name archive)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${QUORVEX_WEB_PREFIX}/lib/${archive}"
    INTERFACE_INCLUDE_DIRECTORIES "${QUORVEX_WEB_PREFIX}/include;${QUORVEX_WEB_PREFIX}/include/SDL2")
  if(ARGN)
    set_target_properties(${name} PROPERTIES INTERFACE_LINK_LIBRARIES "${ARGN}")
  endif()
endfunction()

quorvex_web_import(quorvex_web_zlib libz.a)
quorvex_web_import(PNG::PNG libpng.a quorvex_web_zlib)
quorvex_web_import(JPEG::JPEG libjpeg.a)
quorvex_web_import(PkgConfig::SDL2 libSDL2.a)
quorvex_web_import(quorvex_web_xmp libxmp.a)
quorvex_web_import(PkgConfig::SDL2_MIXER libSDL2_mixer.a "quorvex_web_xmp;PkgConfig::SDL2")
# No threads in the page: the game uses none, and -pthread would need cross-origin isolation.
add_library(Threads::Threads INTERFACE IMPORTED GLOBAL)

# The file layer reports failures with exceptions; emscripten leaves them off unless asked.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The page's program: the game loop runs as it does on the desktop, blocking, and yields to the
# browser wherever it waits (asyncify). The pack is served beside it and appears as the fixed
# game folder; the saves live in IndexedDB (idbfs), mirrored by the page's script.
function(quorvex_web_program target pack_dir)
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
  set(web_dir ${PROJECT_SOURCE_DIR}/src/platform/web)
  target_link_options(${target} PRIVATE
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
    -sFORCE_FILESYSTEM=1 -lidbfs.js -sEXIT_RUNTIME=1
    "-sEXPORTED_RUNTIME_METHODS=['FS','callMain']"
    # SDL's sound resumes the page's audio on the first gesture with these; the names start
    # with "$", which no build tool passes through unharmed, so they come from a file.
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${web_dir}/library_funcs.json
    --pre-js ${web_dir}/quorvex_web.js
    --preload-file ${pack_dir}@/quorvex)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${web_dir}/quorvex_web.js)
endfunction()

# The result type's header is Debian's (header only) but lives among the system's headers, which
# must stay out of a wasm build's include path: it gets a folder of its own.
find_file(QUORVEX_TL_EXPECTED_HEADER tl/expected.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
configure_file(${QUORVEX_TL_EXPECTED_HEADER} ${CMAKE_BINARY_DIR}/web-include/tl/expected.hpp COPYONLY)
set(QUORVEX_TL_EXPECTED ${CMAKE_BINARY_DIR}/web-include CACHE PATH "" FORCE)
