#include "summary_stats/basic_plan.h"

#include "summary_stats/estimate_bits.h"
#include "summary_stats/status.h"

namespace zorn::ss {
namespace {

constexpr int32_t kMissingStatus[kFieldCount] = {
    kNullMean,        kNullRawMoment2,  kNullRawMoment3,     kNullRawMoment4,
    kNullCentralMoment2, kNullCentralMoment3, kNullCentralMoment4, kNullCovariance,
    kNullCorrelation, kNullKurtosis,    kNullSkewness,       kNullVariation,
    kNullSum1,        kNullRawSum2,     kNullRawSum3,        kNullRawSum4,
    kNullCentralSum2, kNullCentralSum3, kNullCentralSum4,    kNullCrossProduct};

constexpr uint32_t kMean = bit(kFieldMean);
constexpr uint32_t kRaw2 = bit(kFieldRaw2), kRaw3 = bit(kFieldRaw3), kRaw4 = bit(kFieldRaw4);
constexpr uint32_t kRawAll = kRaw2 | kRaw3 | kRaw4;
constexpr uint32_t kC2 = bit(kFieldCentral2), kC3 = bit(kFieldCentral3),
                   kC4 = bit(kFieldCentral4);
constexpr uint32_t kSumAll = bit(kFieldSum1) | bit(kFieldRawSum2) | bit(kFieldRawSum3) |
                             bit(kFieldRawSum4) | bit(kFieldCentralSum2) |
                             bit(kFieldCentralSum3) | bit(kFieldCentralSum4);

// An estimate bit of the mask and the fields it needs with the one-pass methods 0x2 and
// 0x100. Method 0x1 adds `fast_extra`.
struct EstimateNeeds {
  uint64_t estimate;
  uint32_t needs;
  uint32_t fast_extra;
};

constexpr EstimateNeeds kNeeds[] = {
    {kEstimateMean, kMean, 0},
    {kEstimateRaw2, kRaw2, 0},
    {kEstimateRaw3, kRaw3, 0},
    {kEstimateRaw4, kRaw4, 0},
    {kEstimateCentral2, kMean | kRaw2 | kC2, 0},
    {kEstimateCentral3, kMean | kRaw2 | kRaw3 | kC3, 0},
    {kEstimateCentral4, kMean | kRawAll | kC4, 0},
    {kEstimateKurtosis, kMean | kRawAll | kC2 | kC4 | bit(kFieldKurtosis), 0},
    {kEstimateSkewness, kMean | kRaw2 | kRaw3 | kC2 | kC3 | bit(kFieldSkewness), 0},
    {kEstimateVariation, kMean | kRaw2 | kC2 | bit(kFieldVariation), 0},
    {kEstimateCovariance, kMean | bit(kFieldCovariance), 0},
    {kEstimateCorrelation, kMean | bit(kFieldCorrelation), 0},
    {kEstimateSum1, bit(kFieldSum1), 0},
    {kEstimateRawSum2, bit(kFieldRawSum2), 0},
    {kEstimateRawSum3, bit(kFieldRawSum3), 0},
    {kEstimateRawSum4, bit(kFieldRawSum4), 0},
    {kEstimateCentralSum2, kMean | bit(kFieldCentralSum2), kRaw2},
    {kEstimateCentralSum3, kMean | bit(kFieldCentralSum3), kRaw2 | kRaw3},
    {kEstimateCentralSum4, kMean | bit(kFieldCentralSum4), kRawAll},
    {kEstimateCrossProduct, kMean | bit(kFieldCrossProduct), 0},
};

// With the methods from stored sums every needed mean, raw moment and central moment
// also needs its sum, and covariance and correlation need the cross-product.
uint32_t with_stored_sums(uint32_t needs) {
  static constexpr struct {
    Field field, sum;
  } kSumOf[] = {{kFieldMean, kFieldSum1},          {kFieldRaw2, kFieldRawSum2},
                {kFieldRaw3, kFieldRawSum3},       {kFieldRaw4, kFieldRawSum4},
                {kFieldCentral2, kFieldCentralSum2}, {kFieldCentral3, kFieldCentralSum3},
                {kFieldCentral4, kFieldCentralSum4}, {kFieldCovariance, kFieldCrossProduct},
                {kFieldCorrelation, kFieldCrossProduct}};
  uint32_t result = needs;
  for (const auto& s : kSumOf)
    if (needs & bit(s.field)) result |= bit(s.sum);
  return result;
}

int32_t classify_method(int32_t method, BasicMethod* kind) {
  const uint32_t one_pass = static_cast<uint32_t>(method) &
                            (kMethodFast | kMethodOnePass | kMethodOnePassObservations);
  if (one_pass == kMethodFast) *kind = BasicMethod::kFast;
  else if (one_pass == kMethodOnePass) *kind = BasicMethod::kBlocked;
  else if (one_pass == kMethodOnePassObservations) *kind = BasicMethod::kPerObservation;
  else if (one_pass == 0 && (method & (kMethodFromSums | kMethodFromSumsAlt)) != 0)
    *kind = BasicMethod::kFromSums;
  else
    return kBadMethod;
  return kOk;
}

int field_order(Field f) {
  switch (f) {
    case kFieldRaw2: case kFieldCentral2: case kFieldRawSum2: case kFieldCentralSum2: return 2;
    case kFieldRaw3: case kFieldCentral3: case kFieldRawSum3: case kFieldCentralSum3: return 3;
    case kFieldRaw4: case kFieldCentral4: case kFieldRawSum4: case kFieldCentralSum4: return 4;
    case kFieldKurtosis: return 4;
    case kFieldSkewness: return 3;
    case kFieldVariation: return 2;
    default: return 1;
  }
}

}  // namespace

void* field_address(const PavoSSTask& t, Field field) {
  switch (field) {
    case kFieldMean: return t.mean;
    case kFieldRaw2: case kFieldRaw3: case kFieldRaw4: return t.raw_moment[field - kFieldRaw2];
    case kFieldCentral2: case kFieldCentral3: case kFieldCentral4:
      return t.central_moment[field - kFieldCentral2];
    case kFieldCovariance: return t.covariance;
    case kFieldCorrelation: return t.correlation;
    case kFieldKurtosis: return t.kurtosis;
    case kFieldSkewness: return t.skewness;
    case kFieldVariation: return t.variation;
    case kFieldSum1: return t.sum1;
    case kFieldRawSum2: case kFieldRawSum3: case kFieldRawSum4:
      return t.raw_sum[field - kFieldRawSum2];
    case kFieldCentralSum2: case kFieldCentralSum3: case kFieldCentralSum4:
      return t.central_sum[field - kFieldCentralSum2];
    case kFieldCrossProduct: return t.cross_product;
    case kFieldCount: break;
  }
  return nullptr;
}

int32_t make_basic_plan(const PavoSSTask& task, uint64_t estimates, int32_t method,
                        BasicPlan* plan) {
  BasicMethod kind;
  if (const int32_t status = classify_method(method, &kind); status != kOk) return status;
  uint32_t fields = 0;
  bool unsupported = false;
  for (const EstimateNeeds& e : kNeeds) {
    if ((estimates & e.estimate) == 0) continue;
    uint32_t needs = e.needs | (kind == BasicMethod::kFast ? e.fast_extra : 0);
    if (kind == BasicMethod::kFromSums) {
      if (needs & kSumAll) {  // no sum can be computed from the stored sums
        unsupported = true;
        continue;
      }
      needs = with_stored_sums(needs);
      if (e.estimate & (kEstimateKurtosis | kEstimateSkewness | kEstimateVariation))
        needs &= ~(kRawAll | bit(kFieldRawSum2) | bit(kFieldRawSum3) | bit(kFieldRawSum4));
    }
    fields |= needs;
  }
  for (int f = 0; f < kFieldCount; ++f)
    if ((fields & (1u << f)) && field_address(task, static_cast<Field>(f)) == nullptr)
      return kMissingStatus[f];
  if (unsupported) return kBadMethod;
  if (task.accumulated_weights == nullptr && (task.n == nullptr || task.weights != nullptr))
    return kNullAccumulatedWeights;

  plan->method = kind;
  plan->fields = fields;
  plan->order = 0;
  for (int f = 0; f < kFieldCount; ++f)
    if (fields & (1u << f)) {
      const int order = field_order(static_cast<Field>(f));
      if (order > plan->order) plan->order = order;
    }
  plan->matrix = (fields & (bit(kFieldCovariance) | bit(kFieldCorrelation) |
                            bit(kFieldCrossProduct))) != 0;
  return kOk;
}

}  // namespace zorn::ss
