/* A random stream in C: uniforms from a counter-based generator, the same numbers again
 * after a skip-ahead, and a refused request reported by name and meaning. */
#include <stdint.h>
#include <stdio.h>

#include "zorn/pavo.h"
#include "zorn/status.h"

static int report(const char* what, int32_t status) {
  printf("%s: %s (%s)\n", what, zorn_status_name(ZORN_SUBSYSTEM_PAVO, status),
         zorn_status_text(ZORN_SUBSYSTEM_PAVO, status));
  return status < 0;
}

int main(void) {
  const uint32_t seed = 2026;
  void *stream = NULL, *skipped = NULL;
  double u[6], v[3];
  if (report("new stream", __pavoNewStreamEx(&stream, PAVO_BRNG_PHILOX4X32X10, 1, &seed)))
    return 1;
  _pavodRngUniform(0, stream, 6, u, 0.0, 1.0); /* [0, 1) */
  __pavoNewStreamEx(&skipped, PAVO_BRNG_PHILOX4X32X10, 1, &seed);
  __pavoSkipAheadStream(skipped, 3);
  _pavodRngUniform(0, skipped, 3, v, 0.0, 1.0);
  printf("u[3..5] = %.6f %.6f %.6f\nafter skipping 3: %.6f %.6f %.6f\n", u[3], u[4], u[5], v[0],
         v[1], v[2]);
  /* Counter-based generators split by skip-ahead, not by leapfrog. */
  const int refused = report("leapfrog", __pavoLeapfrogStream(stream, 0, 2));
  __pavoDeleteStream(&stream);
  __pavoDeleteStream(&skipped);
  return refused && u[3] == v[0] && u[5] == v[2] ? 0 : 1;
}
