# Puts the test source in place of the first source Wine's TWAIN manager loads
# (C:\windows\twain_64\sane.ds of the test prefix), or gives the prefix its own back.
# -DMODE=install|remove -DDS=<the double> -DDEST=<the prefix's twain_64 folder>
set(target "${DEST}/sane.ds")
set(kept "${DEST}/sane.ds.vorlan-kept")
if(MODE STREQUAL "install")
  file(MAKE_DIRECTORY "${DEST}")
  if(EXISTS "${target}" AND NOT EXISTS "${kept}")
    file(RENAME "${target}" "${kept}")
  endif()
  file(COPY_FILE "${DS}" "${target}")
elseif(MODE STREQUAL "remove")
  file(REMOVE "${target}")
  if(EXISTS "${kept}")
    file(RENAME "${kept}" "${target}")
  endif()
endif()
