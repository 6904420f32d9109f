# Exploit mitigations the GNU toolchain offers for a PE image (docs/building.md
# lists what it cannot give).
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-D_FORTIFY_SOURCE=2>")
# The flag at link time pulls in MinGW's static libssp, which also holds
# the checked string functions of _FORTIFY_SOURCE.
add_link_options(-fstack-protector-strong -Wl,--dynamicbase,--nxcompat)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # Only a PE32+ image has the 64-bit address space to randomise into.
  add_link_options(-Wl,--high-entropy-va)
else()
  # ld cannot write a SafeSEH table, but nothing in the image registers an
  # SEH frame handler (C++ unwinds with DWARF tables), so the image can say
  # that no handler in it may be called: a forged SEH record cannot aim here.
  add_link_options(-Wl,--no-seh)
endif()
