// pre.js - runs before Emscripten's runtime. The WebAssembly module is inside
// this file as a data: URI (SINGLE_FILE); it is decoded and compiled here, so
// that the runtime never fetches anything, not even that URI (Emscripten
// 3.1.6 would, and the page's security policy forbids every fetch).
Module['instantiateWasm'] = function (imports, receiveInstance) {
  WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports).then(
    function (result) {
      receiveInstance(result.instance, result.module);
    },
    function (error) {
      document.getElementById('status').textContent = 'This browser cannot run the page: ' + error;
    });
  return {};
};
