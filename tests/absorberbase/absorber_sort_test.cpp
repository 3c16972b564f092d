// The two sort orders: without regard to case, category or name first, and
// well defined for records with equal keys.
#include "absorberbase/absorber_sort.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<AbsorberDatabase> DatabaseOf(const std::vector<std::pair<std::string, std::string>>& entries) {
  auto database = std::make_unique<AbsorberDatabase>();
  for (const auto& [name, category] : entries) {
    AbsorberRecord& r = database->records[database->count];
    r.name = name;
    r.category = category;
    r.description = std::to_string(database->count);  // the original position
    ++database->count;
  }
  return database;
}

std::vector<std::string> Order(const AbsorberDatabase& database) {
  std::vector<std::string> order;
  for (int i = 0; i < database.count; ++i)
    order.push_back(database.records[i].name + "/" + database.records[i].category + "#" +
                    database.records[i].description);
  return order;
}

TEST(AbsorberSort, ByNameIgnoresCaseAndThenTakesTheCategory) {
  auto database = DatabaseOf({{"Banana", "Wood"}, {"apple", "Wood"}, {"APPLE", "Glass"}, {"banana", "wood"}});
  SortAbsorberDatabase(*database, CompareByNameThenCategory);
  EXPECT_EQ(Order(*database),
            (std::vector<std::string>{"APPLE/Glass#2", "apple/Wood#1", "Banana/Wood#0", "banana/wood#3"}));
}

TEST(AbsorberSort, ByCategoryThenName) {
  auto database = DatabaseOf({{"Zinc", "metal"}, {"Oak", "Wood"}, {"Alu", "Metal"}, {"ash", "wood"}});
  SortAbsorberDatabase(*database, CompareByCategoryThenName);
  EXPECT_EQ(Order(*database), (std::vector<std::string>{"Alu/Metal#2", "Zinc/metal#0", "ash/wood#3", "Oak/Wood#1"}));
}

// A full table of equal keys (the comparison must say "equal" for the sort
// to stay inside the table) keeps its order; the empty entries behind the
// count are not touched.
TEST(AbsorberSort, EqualKeysKeepTheirOrder) {
  std::vector<std::pair<std::string, std::string>> entries(kMaxAbsorberRecords - 1, {"Same", "Same"});
  entries.push_back({"apple", "Same"});
  auto database = DatabaseOf(entries);
  database->count = kMaxAbsorberRecords - 1;  // the last entry lies behind the count
  SortAbsorberDatabase(*database, CompareByNameThenCategory);
  for (int i = 0; i < database->count; ++i) EXPECT_EQ(database->records[i].description, std::to_string(i));
  EXPECT_EQ(database->records[kMaxAbsorberRecords - 1].name, "apple");

  database->count = kMaxAbsorberRecords;
  SortAbsorberDatabase(*database, CompareByNameThenCategory);
  EXPECT_EQ(database->records[0].name, "apple");
  EXPECT_EQ(database->records[1].description, "0");
}

}  // namespace
