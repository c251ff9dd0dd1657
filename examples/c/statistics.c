/* Summary statistics in C: mean, variance and covariance of a small data matrix in one
 * call, checked against the textbook two-pass formulas, and a refused request reported
 * by name and meaning. */
#include <math.h>
#include <stdio.h>

#include "zorn/everyday.h"

enum { P = 3, N = 1000 };

int main(void) {
  static double x[N][P]; /* observation j is row j */
  double mean[P], variance[P], cov[P * P], worst = 0.0;
  for (int j = 0; j < N; ++j) { /* three correlated variables around large means */
    const double t = sin(0.37 * j), u = cos(1.3 * j + 0.2);
    x[j][0] = 1e6 + t;
    x[j][1] = 2.0 * t + 0.5 * u;
    x[j][2] = -3.0 + u * u;
  }
  int32_t status = zorn_moments(P, N, &x[0][0], mean, variance, cov);
  if (status != 0) {
    printf("moments: %s\n", zorn_status_name(ZORN_SUBSYSTEM_SS, status));
    return 1;
  }
  for (int a = 0; a < P; ++a) {
    double m = 0.0;
    for (int j = 0; j < N; ++j) m += x[j][a];
    m /= N;
    for (int b = 0; b < P; ++b) {
      double mb = 0.0, s = 0.0;
      for (int j = 0; j < N; ++j) mb += x[j][b];
      mb /= N;
      for (int j = 0; j < N; ++j) s += (x[j][a] - m) * (x[j][b] - mb);
      s /= N - 1;
      worst = fmax(worst, fabs(cov[a * P + b] - s) / fabs(s));
      if (a == b) worst = fmax(worst, fabs(variance[a] - s) / s);
    }
    worst = fmax(worst, fabs(mean[a] - m) / fabs(m));
  }
  printf("means     %.6f %.6f %.6f\n", mean[0], mean[1], mean[2]);
  printf("variances %.6f %.6f %.6f\n", variance[0], variance[1], variance[2]);
  printf("cov(0,1) = %.6f, largest relative difference from two passes: %s\n", cov[1],
         worst < 1e-9 ? "below 1e-9" : "TOO LARGE");
  /* A data set without variables is refused. */
  status = zorn_moments(0, N, &x[0][0], mean, variance, NULL);
  printf("no variables: %s (%s)\n", zorn_status_name(ZORN_SUBSYSTEM_SS, status),
         zorn_status_text(ZORN_SUBSYSTEM_SS, status));
  return worst < 1e-9 && status < 0 ? 0 : 1;
}
