# cmake -DDIR=<folder> -P crlf.cmake: gives every file in the folder Windows
# line ends (CR LF), as a Windows program writing text files would; used for
# the collection that the build machine's make_collection writes for Windows.
file(GLOB files ${DIR}/*)
foreach(f ${files})
  file(READ ${f} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${f} "${text}")
endforeach()
