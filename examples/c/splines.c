/* Splines in C: the not-a-knot cubic through samples of sin, evaluated with its first
 * derivative between the nodes in one call, and a refused partition reported by name. */
#include <math.h>
#include <stdio.h>

#include "zorn/everyday.h"

enum { NX = 21, NSITE = 1001 };

int main(void) {
  double x[NX], y[NX], sites[NSITE], result[2 * NSITE];
  double value_error = 0.0, slope_error = 0.0;
  for (int i = 0; i < NX; ++i) {
    x[i] = 3.0 * i / (NX - 1);
    y[i] = sin(x[i]);
  }
  for (int i = 0; i < NSITE; ++i) sites[i] = 3.0 * i / (NSITE - 1);
  int32_t status = zorn_cubic_spline(NX, x, y, NSITE, sites, 1, result);
  if (status != 0) return 1;
  for (int i = 0; i < NSITE; ++i) {
    value_error = fmax(value_error, fabs(result[i] - sin(sites[i])));
    slope_error = fmax(slope_error, fabs(result[NSITE + i] - cos(sites[i])));
  }
  printf("%d nodes on [0, 3]: max |s - sin| = %.1e, max |s' - cos| = %.1e\n", NX, value_error,
         slope_error);
  /* A single node is no partition. */
  status = zorn_cubic_spline(1, x, y, NSITE, sites, 0, result);
  printf("one node: %s (%s)\n", zorn_status_name(ZORN_SUBSYSTEM_DF, status),
         zorn_status_text(ZORN_SUBSYSTEM_DF, status));
  return value_error < 1e-5 && slope_error < 1e-3 && status < 0 ? 0 : 1;
}
