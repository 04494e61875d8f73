# Init.ini is the user's settings file: the build lays it down once and never
# overwrites a copy the program has already written its folders into.
if(NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
