# Shared by the scripts that fill a game folder (cmake -P): a file is written again only when
# its bytes change, so what depends on it (a relink, the zip) sees it change only then.

# Sets ${out} TRUE when ${path} is missing or does not hold the bytes whose SHA-256 is ${hash}.
function(tangrel_file_differs out path hash)
  set(old "")
  if(EXISTS "${path}")
    file(SHA256 "${path}" old)
  endif()
  if(old STREQUAL hash)
    set(${out} FALSE PARENT_SCOPE)
  else()
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()
