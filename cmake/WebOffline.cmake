# Puts beside the browser build what a home screen and offline play need:
# the manifest, the icons, and the worker, whose list gives each file of the
# build its SHA-256 and whose cache is named after them all, so that a
# changed build is a new cache. Run once the page is linked:
#
#   cmake -DSITE=<build-web> -DSOURCE=<repository> -P cmake/WebOffline.cmake
foreach(name quellin-192.png quellin-512.png)
  configure_file("${SOURCE}/data/Icons/${name}" "${SITE}/${name}" COPYONLY)
endforeach()
configure_file("${SOURCE}/app/web/quellin.webmanifest" "${SITE}/quellin.webmanifest" COPYONLY)

set(files "")
set(hashes "")
foreach(name quellin.html quellin.js quellin.wasm quellin.data quellin.webmanifest quellin-192.png quellin-512.png)
  file(SHA256 "${SITE}/${name}" hash)
  string(APPEND files "\n  ['${name}', '${hash}'],")
  string(APPEND hashes "${hash}")
endforeach()
set(QUELLIN_OFFLINE_FILES "[${files}\n]")
string(SHA256 build "${hashes}")
string(SUBSTRING "${build}" 0 16 QUELLIN_OFFLINE_BUILD)
configure_file("${SOURCE}/app/web/service-worker.js" "${SITE}/service-worker.js" @ONLY)
