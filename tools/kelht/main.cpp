// kelht: inspects, verifies, builds, queries and compares restart files of
// kelHashTableFun from a shell.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "commands.h"
#include "failure.h"
#include "library.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

// Listings are bytes, the same on every system: no line-end translation;
// decoded keys are UTF-8.
void prepareStandardStreams() {
#if defined(_WIN32)
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
#endif
}

#if defined(_WIN32)
// Windows hands a program its arguments in the ANSI code page, which lacks
// most characters a key may hold: kelht takes them in UTF-16 and works in
// UTF-8. Paths go back to the ANSI code page, which fopen and the library
// take.
std::string converted(const wchar_t* text, UINT codePage) {
  const int bytes = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
  WideCharToMultiByte(codePage, 0, text, -1, out.data(), bytes, nullptr, nullptr);
  out.pop_back();
  return out;
}

std::vector<std::string> arguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(converted(wide[i], CP_UTF8));
  LocalFree(wide);
  return texts;
}

std::string nativePath(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
  return converted(wide.c_str(), CP_ACP);
}
#else
std::vector<std::string> arguments(int argc, char** argv) { return {argv, argv + argc}; }
std::string nativePath(const std::string& path) { return path; }
#endif

// The word given as the command when it names none: CLI11 would only say
// that a command is required.
std::string unknownCommand(const CLI::App& app) {
  if (!app.get_subcommands().empty()) return {};
  for (const std::string& argument : app.remaining())
    if (argument.empty() || argument[0] != '-') return argument;
  return {};
}

int run(std::vector<std::string> texts) {
  using kelht::Library;
  CLI::App app("Inspects, verifies, builds, queries and compares kelHashTableFun restart files.",
               "kelht");
  app.require_subcommand(1);
  app.fallthrough();
  app.allow_windows_style_options(false);  // "/path" is a file, not an option
  std::string libraryPath;
  app.add_option("--library", libraryPath,
                 "The library to load for build, get, diff and demo (default: $KELHT_LIBRARY, "
                 "else beside kelht, else its installed folder)");
  std::function<int(Library&)> command;

  std::string file;
  CLI::App* info = app.add_subcommand("info", "Bucket count, counter, entries, load factor and chain lengths");
  info->add_option("FILE", file, "Restart file")->required();
  info->callback([&] { command = [&](Library&) { return kelht::info(file); }; });

  CLI::App* verify = app.add_subcommand(
      "verify", "Checks a restart file: exit 0 when sound, 1 when damaged or inconsistent");
  verify->add_option("FILE", file, "Restart file")->required();
  verify->callback([&] { command = [&](Library&) { return kelht::verify(file); }; });

  std::string format = "tsv";
  bool cp932 = false;
  CLI::App* list = app.add_subcommand("list", "Every entry in walk order: bucket, position, kind, key, content");
  list->add_option("FILE", file, "Restart file")->required();
  const std::map<std::string, kelht::ListFormat> formats = {
      {"tsv", kelht::ListFormat::tsv}, {"restart", kelht::ListFormat::restart}, {"jsonl", kelht::ListFormat::jsonl}};
  list->add_option("--format", format,
                   "tsv (with a header line), restart (tsv after the bucket count and counter: build "
                   "makes the same file of it) or jsonl")
      ->check(CLI::IsMember(formats));
  list->add_flag("--cp932", cp932, "Show string keys decoded from Shift_JIS (code page 932)");
  list->callback([&] { command = [&](Library&) { return kelht::list(file, formats.at(format), cp932); }; });

  kelht::BuildOptions options;
  CLI::App* build = app.add_subcommand(
      "build", "Builds a restart file from lines of KEY<TAB>CONTENT (or keys alone), a listing, or CSV");
  build->add_option("--out", options.out, "Restart file to write")->required();
  build->add_option("INPUT", options.input, "Input file; - or none: standard input");
  build->add_flag("--long", options.longKeys, "Keys are 32-bit integers");
  build->add_flag("--cp932", options.cp932, "Keys are UTF-8 text, stored as Shift_JIS (code page 932)");
  CLI::Option* csv = build->add_flag("--csv", options.csv, "Input is CSV; the key is one of its columns");
  build->add_option("--column", options.column, "CSV column of the keys, from 1")->needs(csv)->check(CLI::PositiveNumber);
  build->add_option("--content-column", options.contentColumn, "CSV column of the contents (default: all 0)")
      ->needs(csv)
      ->check(CLI::PositiveNumber);
  build->callback([&] { command = [&](Library& library) { return kelht::build(options, library); }; });

  std::vector<std::string> keys;
  bool longKeys = false;
  CLI::App* get = app.add_subcommand("get", "Found flag and content of each key; exit 1 when one is absent");
  get->add_option("FILE", file, "Restart file")->required();
  get->add_option("KEY", keys, "Keys, escaped as list prints them")->required();
  get->add_flag("--long", longKeys, "Keys are 32-bit integers");
  get->add_flag("--cp932", cp932, "Keys are UTF-8 text, stored as Shift_JIS (code page 932)");
  get->callback([&] {
    command = [&](Library& library) { return kelht::get(file, keys, longKeys, cp932, library); };
  });

  std::string other;
  CLI::App* diff = app.add_subcommand(
      "diff", "Keys only in A, only in B, or with other contents; exit 0 when the tables hold the same");
  diff->add_option("A", file, "Restart file")->required();
  diff->add_option("B", other, "Restart file")->required();
  diff->add_flag("--cp932", cp932, "Show string keys decoded from Shift_JIS (code page 932)");
  diff->callback([&] { command = [&](Library& library) { return kelht::diff(file, other, cp932, library); }; });

  CLI::App* demo = app.add_subcommand("demo", "A short tour of the library on a sample table");
  demo->callback([&] { command = [&](Library& library) { return kelht::demo(library); }; });

  std::vector<const char*> argv;
  for (const std::string& text : texts) argv.push_back(text.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& error) {
    const std::string unknown = unknownCommand(app);
    if (!unknown.empty())
      throw kelht::Failure(kelht::kTrouble, "unknown command '" + unknown + "' (run with --help for the commands)");
    const int status = app.exit(error);
    return status == 0 ? 0 : kelht::kTrouble;
  }
  for (std::string* path : {&file, &other, &options.out, &options.input, &libraryPath})
    *path = nativePath(*path);
  Library library(libraryPath);
  return command(library);
}

}  // namespace

int main(int argc, char** argv) {
  prepareStandardStreams();
  try {
    return run(arguments(argc, argv));
  } catch (const kelht::Failure& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "kelht: %s\n", failure.what());
    return failure.status;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "kelht: out of memory\n");
    return kelht::kTrouble;
  }
}
