// The two sort orders of the absorber-database editor: by category then
// name, and by name then category, both without regard to the case of ASCII
// letters. The comparisons are three-way and consistent (equal keys compare
// 0), so the sort is well defined for records with equal keys; records whose
// keys are equal keep their order.
#pragma once

#include "design/model/absorber_database.h"

// < 0 when `a` goes before `b`, 0 when their keys are equal, > 0 after.
int CompareByCategoryThenName(const AbsorberRecord& a, const AbsorberRecord& b);
int CompareByNameThenCategory(const AbsorberRecord& a, const AbsorberRecord& b);

using AbsorberComparison = int (*)(const AbsorberRecord&, const AbsorberRecord&);
// Sorts the count's records in place; the entries behind them stay empty.
void SortAbsorberDatabase(AbsorberDatabase& database, AbsorberComparison compare);
