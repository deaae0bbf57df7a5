# First-run files of the program folder. The catalogue and the sample project it names are
# copied only when the folder has no catalogue, so a rebuild never touches a user's
# projects; the sample lesson texts only when there is no Zar folder yet.
function(copy_tree from to)
  file(GLOB_RECURSE files RELATIVE ${from} ${from}/*)
  foreach(f IN LISTS files)
    if(NOT EXISTS ${to}/${f})
      get_filename_component(dir ${to}/${f} DIRECTORY)
      file(MAKE_DIRECTORY ${dir})
      file(COPY_FILE ${from}/${f} ${to}/${f})
    endif()
  endforeach()
endfunction()

if(NOT EXISTS ${DST}/Projects.xml)
  copy_tree(${SRC}/catalogue ${DST})
endif()
if(NOT EXISTS ${DST}/Zar)
  copy_tree(${SRC}/Zar ${DST}/Zar)
endif()
