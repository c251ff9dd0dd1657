/* The README's first example: a vector function under this thread's mode, then one
 * accuracy slot named directly, with the error status of each call. */
#include <stdio.h>

#include "zorn/status.h"
#include "zorn/tess_functions.h"
#include "zorn/version.h"

int main(void) {
  double x[4] = {0.0, 1.0, 710.0, -1.0}, y[4];
  _tessdExp(4, x, y); /* this thread's mode: HA by default */
  printf("exp: %g %g %g %g, %s\n", y[0], y[1], y[2], y[3],
         zorn_status_name(ZORN_SUBSYSTEM_TESS, _tessGetErrStatus()));
  _tessClearErrStatus();
  _tessdLn_26(4, x, y); /* the EP kernel, whatever the mode */
  printf("ln:  %g %g %g %g, %s\n", y[0], y[1], y[2], y[3],
         zorn_status_name(ZORN_SUBSYSTEM_TESS, _tessGetErrStatus()));
  printf("library %d, headers %d\n", zorn_version(), ZORN_VERSION);
  return 0;
}
