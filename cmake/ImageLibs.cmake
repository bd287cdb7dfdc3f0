# The picture libraries. The host tree uses Debian's -dev packages; each Windows tree builds
# Debian's source packages (fetched by scripts/setup) once at configure time as static
# libraries into build/<preset>/imagelibs/, again only when a source version changes.
# The C libraries are built with -fexceptions: the layer throws its exception from their
# error callbacks, through their frames.
#
# Defines vorlan::jpeg, vorlan::png, vorlan::tiff, vorlan::gif, VORLAN_IMAGE_CORPORA (the
# libraries' own test pictures, for the layer's tests), and in the Windows trees VORLAN_DJPEG
# and VORLAN_CJPEG (the library build's own reference programs).

if(DEFINED ENV{VORLAN_IMAGELIB_SOURCES})
  set(_img_cache "$ENV{VORLAN_IMAGELIB_SOURCES}")
else()
  set(_img_cache "$ENV{HOME}/.cache/vorlan-imagelibs")
endif()
if(NOT EXISTS "${_img_cache}/.versions")
  message(FATAL_ERROR "The image libraries' sources are missing in ${_img_cache}: run scripts/setup")
endif()
file(STRINGS "${_img_cache}/.versions" _img_lines)
foreach(_line IN LISTS _img_lines)
  string(REPLACE " " ";" _pair "${_line}")
  list(GET _pair 0 _name)
  list(GET _pair 1 _dir)
  set(_img_src_${_name} "${_dir}")
endforeach()
set(VORLAN_IMAGE_CORPORA
  "${_img_src_libpng1.6}/contrib/pngsuite" "${_img_src_libpng1.6}/contrib/testpngs"
  "${_img_src_tiff}/test/images" "${_img_src_giflib}/pic" "${_img_src_libjpeg-turbo}/testimages")

if(NOT WIN32)
  find_package(JPEG REQUIRED)
  find_package(PNG REQUIRED)
  find_package(TIFF REQUIRED)
  find_package(GIF REQUIRED)
  add_library(vorlan::jpeg ALIAS JPEG::JPEG)
  add_library(vorlan::png ALIAS PNG::PNG)
  add_library(vorlan::tiff ALIAS TIFF::TIFF)
  add_library(vorlan::gif ALIAS GIF::GIF)
  return()
endif()

set(VORLAN_IMAGELIBS_DIR "${CMAKE_BINARY_DIR}/imagelibs")
set(_img_flags "-O2 -fexceptions")
# Parallel, but a shared machine is not taken over whole: at most 8 jobs unless asked for more.
if(DEFINED ENV{CMAKE_BUILD_PARALLEL_LEVEL})
  set(_img_jobs "$ENV{CMAKE_BUILD_PARALLEL_LEVEL}")
else()
  cmake_host_system_information(RESULT _img_jobs QUERY NUMBER_OF_LOGICAL_CORES)
  if(_img_jobs GREATER 8)
    set(_img_jobs 8)
  elseif(_img_jobs LESS 1)
    set(_img_jobs 1)
  endif()
endif()

# Configures, builds and installs one CMake-built library unless the same version is
# installed already. The installed folder's name carries the source folder's name.
function(_vorlan_build_imagelib name source)
  get_filename_component(_deb "${source}" DIRECTORY)
  get_filename_component(_deb "${_deb}" NAME)
  set(_prefix "${VORLAN_IMAGELIBS_DIR}/${_deb}")
  if(EXISTS "${_prefix}/.built")
    return()
  endif()
  message(STATUS "Building ${_deb} for ${CMAKE_SYSTEM_PROCESSOR}")
  set(_work "${VORLAN_IMAGELIBS_DIR}/work-${name}")
  file(REMOVE_RECURSE "${_work}" "${_prefix}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S "${source}" -B "${_work}" -G Ninja
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
            -DCMAKE_BUILD_TYPE=Release
            "-DCMAKE_C_FLAGS_RELEASE=${_img_flags} -DNDEBUG"
            -DCMAKE_INSTALL_PREFIX=${_prefix}
            -DCMAKE_PREFIX_PATH=${VORLAN_IMAGELIBS_DIR}/prefix
            -DCMAKE_FIND_ROOT_PATH=${CMAKE_FIND_ROOT_PATH}\;${VORLAN_IMAGELIBS_DIR}/prefix
            ${ARGN}
    RESULT_VARIABLE _rc OUTPUT_FILE "${_work}.configure.log" ERROR_FILE "${_work}.configure.log")
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "Configuring ${_deb} failed; see ${_work}.configure.log")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} --build "${_work}" --target install -j ${_img_jobs}
    RESULT_VARIABLE _rc OUTPUT_FILE "${_work}.build.log" ERROR_FILE "${_work}.build.log")
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "Building ${_deb} failed; see ${_work}.build.log")
  endif()
  # The reference programs are not installed by every version: keep them from the build.
  foreach(_tool djpeg cjpeg)
    if(EXISTS "${_work}/${_tool}-static.exe")
      file(COPY "${_work}/${_tool}-static.exe" DESTINATION "${_prefix}/bin")
    endif()
  endforeach()
  # Later libraries find the earlier ones in one prefix.
  file(COPY "${_prefix}/" DESTINATION "${VORLAN_IMAGELIBS_DIR}/prefix")
  file(REMOVE_RECURSE "${_work}")
  file(TOUCH "${_prefix}/.built")
endfunction()

find_program(VORLAN_NASM nasm REQUIRED)
# A version, flag or toolchain change rebuilds all of them: the shared prefix must not mix
# builds.
set(_img_toolchain "")
if(CMAKE_TOOLCHAIN_FILE AND EXISTS "${CMAKE_TOOLCHAIN_FILE}")
  file(SHA256 "${CMAKE_TOOLCHAIN_FILE}" _img_toolchain)
endif()
set(_img_stamp "${_img_src_libjpeg-turbo};${_img_src_libpng1.6};${_img_src_tiff}
${_img_flags}
${CMAKE_C_COMPILER} ${CMAKE_C_COMPILER_VERSION} ${CMAKE_TOOLCHAIN_FILE} ${_img_toolchain}")
if(EXISTS "${VORLAN_IMAGELIBS_DIR}/.sources")
  file(READ "${VORLAN_IMAGELIBS_DIR}/.sources" _img_old)
  if(NOT _img_old STREQUAL _img_stamp)
    file(REMOVE_RECURSE "${VORLAN_IMAGELIBS_DIR}")
  endif()
endif()
file(MAKE_DIRECTORY "${VORLAN_IMAGELIBS_DIR}/prefix")
file(WRITE "${VORLAN_IMAGELIBS_DIR}/.sources" "${_img_stamp}")

_vorlan_build_imagelib(jpeg "${_img_src_libjpeg-turbo}"
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
  -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=${VORLAN_NASM})
_vorlan_build_imagelib(png "${_img_src_libpng1.6}"
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
  -DZLIB_LIBRARY=${CMAKE_FIND_ROOT_PATH}/lib/libz.a -DZLIB_INCLUDE_DIR=${CMAKE_FIND_ROOT_PATH}/include)
_vorlan_build_imagelib(tiff "${_img_src_tiff}"
  -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF
  -Dcxx=OFF -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF
  -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF -Dpixarlog=ON -Dsphinx=OFF -Dtiff-opengl=OFF
  -DZLIB_LIBRARY=${CMAKE_FIND_ROOT_PATH}/lib/libz.a -DZLIB_INCLUDE_DIR=${CMAKE_FIND_ROOT_PATH}/include
  -DJPEG_LIBRARY=${VORLAN_IMAGELIBS_DIR}/prefix/lib/libjpeg.a
  -DJPEG_INCLUDE_DIR=${VORLAN_IMAGELIBS_DIR}/prefix/include)

set(_img_prefix "${VORLAN_IMAGELIBS_DIR}/prefix")
add_library(vorlan_zlib STATIC IMPORTED GLOBAL)
set_target_properties(vorlan_zlib PROPERTIES IMPORTED_LOCATION "${CMAKE_FIND_ROOT_PATH}/lib/libz.a")
add_library(vorlan_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(vorlan_jpeg PROPERTIES IMPORTED_LOCATION "${_img_prefix}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${_img_prefix}/include")
file(GLOB _img_png_lib "${_img_prefix}/lib/libpng16*.a")
list(GET _img_png_lib 0 _img_png_lib)
add_library(vorlan_png STATIC IMPORTED GLOBAL)
set_target_properties(vorlan_png PROPERTIES IMPORTED_LOCATION "${_img_png_lib}"
  INTERFACE_INCLUDE_DIRECTORIES "${_img_prefix}/include" INTERFACE_LINK_LIBRARIES vorlan_zlib)
add_library(vorlan_tiff STATIC IMPORTED GLOBAL)
set_target_properties(vorlan_tiff PROPERTIES IMPORTED_LOCATION "${_img_prefix}/lib/libtiff.a"
  INTERFACE_INCLUDE_DIRECTORIES "${_img_prefix}/include" INTERFACE_LINK_LIBRARIES "vorlan_jpeg;vorlan_zlib")
add_library(vorlan::jpeg ALIAS vorlan_jpeg)
add_library(vorlan::png ALIAS vorlan_png)
add_library(vorlan::tiff ALIAS vorlan_tiff)
set(VORLAN_DJPEG "${_img_prefix}/bin/djpeg-static.exe")
set(VORLAN_CJPEG "${_img_prefix}/bin/cjpeg-static.exe")
if(NOT EXISTS "${VORLAN_DJPEG}")
  set(VORLAN_DJPEG "${_img_prefix}/bin/djpeg.exe")
  set(VORLAN_CJPEG "${_img_prefix}/bin/cjpeg.exe")
endif()

# giflib has no build system worth driving: its library sources are compiled here.
set(_gif "${_img_src_giflib}")
add_library(vorlan_gif STATIC
  ${_gif}/dgif_lib.c ${_gif}/egif_lib.c ${_gif}/gifalloc.c ${_gif}/gif_err.c
  ${_gif}/gif_hash.c ${_gif}/openbsd-reallocarray.c)
target_include_directories(vorlan_gif SYSTEM PUBLIC ${_gif})
target_compile_options(vorlan_gif PRIVATE -O2 -fexceptions -w)
add_library(vorlan::gif ALIAS vorlan_gif)
