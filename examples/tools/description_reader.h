// The readable descriptions of the example files: one statement a line, a
// keyword and its words, '#' starting a comment outside quotes, texts in
// double quotes (UTF-8, without escapes). The example tools read them
// statement by statement and say where a description is wrong.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Statement {
  int line = 0;
  std::string keyword;
  std::vector<std::string> words;  // quoted texts without their quotes

  // Word i as a number; false (and a message naming the line) when it is none.
  bool Number(size_t i, double& value) const;
  // Every word from `first` on as numbers.
  bool Numbers(size_t first, std::vector<double>& values) const;
};

// The statements of the file at `path`; false after a message to the
// standard error stream when it cannot be read or a quote is not closed.
bool ReadStatements(const std::string& path, std::vector<Statement>& statements);

// A message naming the statement's line, to the standard error stream; false.
bool DescriptionError(const Statement& statement, const std::string& message);
