# "tavrin check" and "tavrin image". check: exit 0 on a whole export (its size said), 1 with errors (each a line), 2 when
# it cannot run; no display needed.
set(work ${WORK})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/good/Data/_xml ${work}/empty)
file(WRITE ${work}/good/index.html "<html>")
file(WRITE ${work}/good/autorun.inf "[autorun]")
file(WRITE ${work}/good/Data/quizdata.js
  "const TAVRIN_DATA = {\"lessons\":[{\"id\":\"0-0\",\"title\":\"L\",\"questions\":[{\"text\":\"q\",\"answers\":[\"a\",\"b\"],\"correct\":1,\"images\":{}}]}],\"media\":{\"music\":[]}};\n")
function(expect folder code pattern)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          ${TOOL} check ${folder}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL ${code})
    message(FATAL_ERROR "check ${folder}: exit ${rc}, not ${code}\n${out}${err}")
  endif()
  if(NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "check ${folder}: output does not match ${pattern}:\n${out}${err}")
  endif()
endfunction()
expect(${work}/good 0 "^توضيح: [0-9.]+ كيلوبايت — ")
expect(${work}/empty 1 "خطا: index.html — .*خطا: Data/quizdata.js — ")
expect(${work}/missing 2 "tavrin check: Path not found")
# "tavrin image": the same check, then the image and its read-back; no image of a folder
# with errors.
function(expect_image folder iso code pattern)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          ${TOOL} image ${folder} ${iso}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL ${code} OR NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "image ${folder}: exit ${rc}, not ${code}, or no ${pattern}\n${out}${err}")
  endif()
endfunction()
expect_image(${work}/good ${work}/good.iso 0 "good.iso: 3 files, read back the same")
expect_image(${work}/empty ${work}/empty.iso 1 "خطا: index.html")
if(NOT EXISTS ${work}/good.iso OR EXISTS ${work}/empty.iso)
  message(FATAL_ERROR "the image of the good folder only")
endif()
