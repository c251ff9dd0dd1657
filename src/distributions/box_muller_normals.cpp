#include "distributions/box_muller_normals.h"

#include "distributions/box_muller.h"
#include "distributions/uniform_draw.h"

namespace zorn::distributions {

template <class T>
int32_t BoxMullerNormals<T>::draw(int32_t n, T* x) {
  const bool pending = n > 0 && cache_->pending();
  const int32_t fresh = n - (pending ? 1 : 0);
  const int32_t pairs = (fresh + 1) / 2;
  const int32_t status = draw_uniform(stream_, 2 * pairs, uniforms_, T(0), T(1));
  if (is_failure(status)) return status;

  // The pending pair gives the first value, then the fresh pairs in order.
  const int32_t first = pending ? 1 : 0;
  if (pending) {
    radius_[pairs] = cache_->u1;
    angle_[pairs] = kTwoPi<T> * cache_->u2;
    cache_->clear();
  }
  for (int32_t j = 0; j < pairs; ++j) {
    radius_[j] = uniforms_[2 * j];
    angle_[j] = kTwoPi<T> * uniforms_[2 * j + 1];
  }
  const int32_t count = pairs + first;  // the pending pair sits after the fresh ones
  box_muller_radius(env_, count, radius_);
  env_.sincos(count, angle_, sine_, cosine_);

  if (pending) x[0] = radius_[pairs] * cosine_[pairs];
  T* out = x + first;
  for (int32_t j = 0; j < pairs; ++j) {
    out[2 * j] = radius_[j] * sine_[j];
    if (2 * j + 1 < fresh) out[2 * j + 1] = radius_[j] * cosine_[j];
  }
  if (fresh % 2 == 1) {
    cache_->u1 = uniforms_[2 * pairs - 2];
    cache_->u2 = uniforms_[2 * pairs - 1];
  }
  return status;
}

template class BoxMullerNormals<float>;
template class BoxMullerNormals<double>;

}  // namespace zorn::distributions
