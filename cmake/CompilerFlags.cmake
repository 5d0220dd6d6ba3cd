# Warnings every target is built with; CI turns them into errors.
add_compile_options(-Wall -Wextra -Wpedantic)
if(ZT_WARNINGS_AS_ERRORS)
  add_compile_options(-Werror)
endif()
