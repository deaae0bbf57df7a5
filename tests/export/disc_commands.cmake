# "tavrin check" and "tavrin image". check: exit 0 on a whole export (its size said), 1 with errors (each a line), 2 when
# it cannot run; no display needed.
set(work ${WORK})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/good/Data/_xml ${work}/empty)
file(WRITE ${work}/good/index.html "<html>")
file(WRITE ${work}/good/autorun.inf "[autorun]")
file(WRITE ${work}/good/Data/quizdata.js
  "const TAVRIN_DATA = {\"lessons\":[{\"id\":\"0-0\",\"title\":\"L\",\"questions\":[{\"text\":\"q\",\"answers\":[\"a\",\"b\"],\"correct\":1,\"images\":{}}]}],\"settings\":{\"title\":\"Grade 7 Physics\"},\"media\":{\"music\":[]}};\n")
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
expect(${work}/good 0 "^توضیح: [0-9.]+ کیلوبایت — ")
expect(${work}/empty 1 "خطا: index.html — .*خطا: Data/quizdata.js — ")
# No Arabic yeh or kaf reaches a reader of the console.
execute_process(COMMAND ${TOOL} check ${work}/empty OUTPUT_VARIABLE out ERROR_VARIABLE err)
foreach(letter ي ك)
  string(FIND "${out}${err}" "${letter}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "Arabic ${letter} on the console:\n${out}${err}")
  endif()
endforeach()
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
# The label is the project's title the export carries, as the window gives it, not the
# folder's name.
execute_process(COMMAND xorriso -indev ${work}/good.iso -pvd_info
                OUTPUT_VARIABLE pvd ERROR_VARIABLE ignored)
if(NOT pvd MATCHES "Volume Id    : GRADE_7_PHYSICS")
  message(FATAL_ERROR "the image's label is not the project's title:\n${pvd}")
endif()
# An image inside the folder it images: refused, nothing left there.
expect_image(${work}/good ${work}/good/inside.iso 2 "may not be inside the folder")
if(EXISTS ${work}/good/inside.iso)
  message(FATAL_ERROR "an image left inside the folder it images")
endif()
# A pipe in the folder: the check says so and the image is refused at once, never blocked
# on it (the timeout would end a hang).
file(MAKE_DIRECTORY ${work}/piped)
file(COPY ${work}/good/ DESTINATION ${work}/piped PATTERN "*.iso" EXCLUDE)
execute_process(COMMAND mkfifo ${work}/piped/Data/pipe)
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY ${TOOL} image ${work}/piped ${work}/piped.iso
                TIMEOUT 60 RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT "${out}${err}" MATCHES "خطا: Data/pipe — نه فایل است نه شاخه")
  message(FATAL_ERROR "a pipe in the export: exit ${rc}\n${out}${err}")
endif()
# An image onto a folder: said so, with its cause in Persian.
file(MAKE_DIRECTORY ${work}/onto)
expect_image(${work}/good ${work}/onto 2 "Is a folder: .*onto\nعلت: این یک شاخه است، نه فایل")
# What killed images left beside the image is removed by the next one, and said.
file(WRITE ${work}/good.iso.0a1b2c3d.part "cut")
file(WRITE ${work}/other.iso.0a1b2c3d.part "another's")
expect_image(${work}/good ${work}/good.iso 0 "a killed image's working file removed: .*good.iso.0a1b2c3d.part")
if(EXISTS ${work}/good.iso.0a1b2c3d.part OR NOT EXISTS ${work}/other.iso.0a1b2c3d.part)
  message(FATAL_ERROR "a killed image's working file is left, or another's is taken")
endif()

# Usage and version with no display, exit 0; an unknown verb is refused with the usage.
function(expect_said code pattern)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          QT_QPA_PLATFORM=offscreen ${TOOL} ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  if(NOT rc EQUAL ${code} OR NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "tavrin ${ARGN}: exit ${rc}, not ${code}, or not ${pattern}:\n${out}${err}")
  endif()
endfunction()
expect_said(0 "usage: tavrin .*tavrin print-exam --project" --help)
expect_said(0 "^tavrin [0-9]+\\.[0-9]+\\.[0-9]+\n$" --version)
expect_said(0 "^usage: tavrin score --project FOLDER" score --help)
expect_said(0 "^usage: tavrin print-exam --project" print-exam --help)
expect_said(0 "^usage: tavrin check EXPORT_FOLDER" check -h)
expect_said(2 "tavrin: no verb \"prnt-exam\".*usage: tavrin" prnt-exam --out x)
