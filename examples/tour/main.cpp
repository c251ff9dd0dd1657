// zorn_generic tour: runs every registered section in order.
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "tour.h"

namespace tour {
namespace {
std::multimap<int, std::pair<std::string, std::function<void()>>>& sections() {
  static std::multimap<int, std::pair<std::string, std::function<void()>>> all;
  return all;
}
}  // namespace

Section::Section(int order, const char* title, std::function<void()> body) {
  sections().emplace(order, std::make_pair(std::string(title), std::move(body)));
}
}  // namespace tour

int main() {
  std::printf("zorn_generic tour\n");
  for (auto& [order, section] : tour::sections()) {
    std::printf("\n== %s\n", section.first.c_str());
    section.second();
  }
  return 0;
}
