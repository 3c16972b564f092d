#include "examples/tools/description_reader.h"

#include <charconv>
#include <cstdio>
#include <fstream>

bool DescriptionError(const Statement& statement, const std::string& message) {
  std::fprintf(stderr, "line %d (%s): %s\n", statement.line, statement.keyword.c_str(), message.c_str());
  return false;
}

bool Statement::Number(size_t i, double& value) const {
  if (i >= words.size()) return DescriptionError(*this, "a number is missing");
  const std::string& word = words[i];
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size())
    return DescriptionError(*this, "\"" + word + "\" is no number");
  return true;
}

bool Statement::Numbers(size_t first, std::vector<double>& values) const {
  values.clear();
  for (size_t i = first; i < words.size(); ++i) {
    double value = 0;
    if (!Number(i, value)) return false;
    values.push_back(value);
  }
  return true;
}

bool ReadStatements(const std::string& path, std::vector<Statement>& statements) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    std::vector<std::string> tokens;
    for (size_t i = 0; i < text.size();) {
      const char c = text[i];
      if (c == '#') break;
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
      } else if (c == '"') {
        const size_t close = text.find('"', i + 1);
        if (close == std::string::npos) {
          std::fprintf(stderr, "%s:%d: a quote is not closed\n", path.c_str(), line);
          return false;
        }
        tokens.push_back(text.substr(i + 1, close - i - 1));
        i = close + 1;
      } else {
        const size_t end = text.find_first_of(" \t\r#", i);
        tokens.push_back(text.substr(i, end == std::string::npos ? std::string::npos : end - i));
        i = end == std::string::npos ? text.size() : end;
      }
    }
    if (tokens.empty()) continue;
    Statement statement;
    statement.line = line;
    statement.keyword = tokens.front();
    statement.words.assign(tokens.begin() + 1, tokens.end());
    statements.push_back(std::move(statement));
  }
  return true;
}
