# png_size(FILE WIDTH_VAR HEIGHT_VAR): a PNG's width and height, the big-endian words at bytes
# 16 and 20 of its header.
function(png_size file width_var height_var)
  file(READ ${file} header HEX OFFSET 16 LIMIT 8)
  string(SUBSTRING "${header}" 0 8 width)
  string(SUBSTRING "${header}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set(${width_var} ${width} PARENT_SCOPE)
  set(${height_var} ${height} PARENT_SCOPE)
endfunction()
