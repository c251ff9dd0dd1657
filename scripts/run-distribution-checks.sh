#!/usr/bin/env bash
# The long statistical check of the distribution generators: every case of
# tests/distributions/statistics_test.cpp at 10^7 samples (or SAMPLES), one line each.
set -euo pipefail
build=$1
samples=${SAMPLES:-10000000}
ZORN_DISTRIBUTION_SAMPLES=$samples "$build/bin/test_distributions" \
  --gtest_filter='Statistics.EveryDistributionMatchesItsDistributionFunction' | grep -E '^chi2|FAILED|PASSED'
