# cmake -DFROM=dir -DTO=dir -P copy_missing.cmake: copies every file of FROM into TO unless TO has it already.
file(GLOB_RECURSE shipped RELATIVE "${FROM}" "${FROM}/*")
foreach(relative ${shipped})
  if(NOT EXISTS "${TO}/${relative}")
    get_filename_component(folder "${TO}/${relative}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${FROM}/${relative}" "${TO}/${relative}")
  endif()
endforeach()
