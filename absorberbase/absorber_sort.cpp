#include "absorberbase/absorber_sort.h"

#include <algorithm>

#include "framework/core/text_encoding.h"

int CompareByCategoryThenName(const AbsorberRecord& a, const AbsorberRecord& b) {
  int order = CompareIgnoringCase(a.category, b.category);
  return order != 0 ? order : CompareIgnoringCase(a.name, b.name);
}

int CompareByNameThenCategory(const AbsorberRecord& a, const AbsorberRecord& b) {
  int order = CompareIgnoringCase(a.name, b.name);
  return order != 0 ? order : CompareIgnoringCase(a.category, b.category);
}

void SortAbsorberDatabase(AbsorberDatabase& database, AbsorberComparison compare) {
  std::stable_sort(database.records.begin(), database.records.begin() + database.count,
                   [compare](const AbsorberRecord& a, const AbsorberRecord& b) { return compare(a, b) < 0; });
}
