# Writes the collection table TABLE into the C++ source OUT as the bytes of
# COLLECTION_TABLE (web/vostrel_web.h), so the page carries it inside.
#   cmake -DTABLE=... -DOUT=... -P embed_table.cmake
file(READ ${TABLE} hex HEX)
string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  "
       bytes "${bytes}")
file(WRITE ${OUT} "// Made by cmake/embed_table.cmake from ${TABLE}.\n"
     "extern \"C\" const char COLLECTION_TABLE[] = {\n  ${bytes}0x00};\n")
