#include "base/command_line.h"

#include <stdexcept>

namespace cw {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: quotes toggle grouping, nothing is escaped.
size_t ReadProgram(std::string_view line, std::string& out) {
  size_t i = 0;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      out += c;
    }
  }
  return i;
}

// One argument from position i (which is not a blank); returns the position
// after it.
size_t ReadArgument(std::string_view line, size_t i, std::string& out) {
  bool quoted = false;
  while (i < line.size()) {
    size_t backslashes = 0;
    while (i < line.size() && line[i] == '\\') {
      ++backslashes;
      ++i;
    }
    if (i < line.size() && line[i] == '"') {
      out.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        out += '"';
      } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        out += '"';  // "" inside quotes: one literal quote, still quoted
        ++i;
      } else {
        quoted = !quoted;
      }
      ++i;
      continue;
    }
    out.append(backslashes, '\\');
    if (i >= line.size() || (!quoted && IsBlank(line[i]))) break;
    out += line[i];
    ++i;
  }
  return i;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  // Leading blanks before the program are skipped, as the loader does.
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size()) return words;
  words.emplace_back();
  i += ReadProgram(line.substr(i), words.back());
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    words.emplace_back();
    i = ReadArgument(line, i, words.back());
  }
  return words;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return std::string(argument);
  std::string out = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(2 * backslashes + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  // Backslashes before the closing quote must not escape it.
  out.append(2 * backslashes, '\\');
  out += '"';
  return out;
}

std::string JoinCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (i == 0) {
      if (w.find('"') != std::string::npos) throw std::invalid_argument("program name with a double quote");
      if (w.empty() || w.find_first_of(" \t") != std::string::npos) {
        line += '"' + w + '"';
      } else {
        line += w;
      }
    } else {
      line += ' ';
      line += QuoteArgument(w);
    }
  }
  return line;
}

}  // namespace cw
