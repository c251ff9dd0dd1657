// The tour is a list of sections, one file each; a section registers itself with an
// order key, and main runs them in that order.
#pragma once

#include <functional>

namespace tour {

struct Section {
  Section(int order, const char* title, std::function<void()> body);
};

}  // namespace tour

#define TOUR_CAT2(a, b) a##b
#define TOUR_CAT(a, b) TOUR_CAT2(a, b)
// Defines a section:  TOUR_SECTION(20, "Random streams") { ...body... }
#define TOUR_SECTION(order, title)                                              \
  static void TOUR_CAT(tour_body_, __LINE__)();                                 \
  static const tour::Section TOUR_CAT(tour_registration_, __LINE__)(            \
      order, title, &TOUR_CAT(tour_body_, __LINE__));                           \
  static void TOUR_CAT(tour_body_, __LINE__)()
