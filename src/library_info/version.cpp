// The version this library was built as (the headers' version at build time).
#include "zorn/version.h"

int zorn_version(void) { return ZORN_VERSION; }
