// kelht's commands. Each returns the process's exit status (see failure.h)
// or throws a Failure.
#pragma once

#include <string>
#include <vector>

namespace kelht {

class Library;

// Reading restart files without the library: nothing is loaded into a table.
int info(const std::string& path);
int verify(const std::string& path);
enum class ListFormat { tsv, restart, jsonl };  // see listing.h
int list(const std::string& path, ListFormat format, bool cp932);

struct BuildOptions {
  std::string out;
  std::string input = "-";  // "-": standard input
  bool longKeys = false;
  bool cp932 = false;
  bool csv = false;
  int column = 1;          // CSV columns count from 1
  int contentColumn = 0;   // 0: every content is 0
};
int build(const BuildOptions& options, Library& library);

int get(const std::string& path, const std::vector<std::string>& keys, bool longKeys, bool cp932,
        Library& library);
int diff(const std::string& a, const std::string& b, bool cp932, Library& library);
int demo(Library& library);

}  // namespace kelht
