/* The version of the headers; zorn_version() gives the version of the library a
 * program runs with (the two differ when a program built against one release runs
 * with another). The build reads the version from this file. */
#ifndef ZORN_VERSION_H
#define ZORN_VERSION_H

#include "zorn/export.h"

#define ZORN_VERSION_MAJOR 1
#define ZORN_VERSION_MINOR 0
#define ZORN_VERSION_PATCH 0
#define ZORN_VERSION_STRING "1.0.0"
/* One number that orders releases: major * 10000 + minor * 100 + patch. */
#define ZORN_VERSION (ZORN_VERSION_MAJOR * 10000 + ZORN_VERSION_MINOR * 100 + ZORN_VERSION_PATCH)

#ifdef __cplusplus
extern "C" {
#endif

/* The library's ZORN_VERSION; a program may refuse a library whose major differs. */
ZORN_API int zorn_version(void);

#ifdef __cplusplus
}
#endif

#endif
