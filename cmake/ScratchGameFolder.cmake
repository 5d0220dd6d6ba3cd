# make_scratch_game_folder(PROGRAM GAME_DIR WORK_DIR OUT_PROGRAM): a scratch copy of the game
# folder for one test run: the program is copied, the data folders and each picture are
# linked, so the developer's settings, high scores and game folder are never touched (the
# bitmaps a first start converts land in the scratch folder). OUT_PROGRAM names the copy.
function(make_scratch_game_folder program game_dir work_dir out_program)
  file(REMOVE_RECURSE ${work_dir})
  file(MAKE_DIRECTORY ${work_dir}/textures)
  file(COPY ${program} DESTINATION ${work_dir})
  foreach(folder data music sounds)
    file(CREATE_LINK ${game_dir}/${folder} ${work_dir}/${folder} SYMBOLIC)
  endforeach()
  file(GLOB pictures ${game_dir}/textures/*)
  foreach(picture IN LISTS pictures)
    get_filename_component(name ${picture} NAME)
    file(CREATE_LINK ${picture} ${work_dir}/textures/${name} SYMBOLIC)
  endforeach()
  get_filename_component(program_name ${program} NAME)
  set(${out_program} ${work_dir}/${program_name} PARENT_SCOPE)
endfunction()
