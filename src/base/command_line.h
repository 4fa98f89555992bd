#pragma once
// Windows command lines: splitting one into words as the Windows C runtime
// does, and the inverse, quoting words so that splitting gives them back.

#include <string>
#include <string_view>
#include <vector>

namespace cw {

// The words of a command line. The first word is the program: double quotes
// group and are dropped, backslashes are plain characters. Every later word
// follows the argument rules:
//   - blanks and tabs outside quotes separate words;
//   - a double quote starts or ends a quoted run and is dropped;
//   - inside a quoted run, two double quotes give one literal quote;
//   - 2n backslashes before a quote give n backslashes (the quote then acts
//     as above); 2n+1 give n backslashes and a literal quote;
//   - backslashes not followed by a quote are literal.
std::vector<std::string> SplitCommandLine(std::string_view line);

// One argument written so that SplitCommandLine reads it back unchanged (in
// any position but the first): left as it is when it has no blank, tab or
// quote and is not empty, otherwise quoted with its backslashes and quotes
// escaped.
std::string QuoteArgument(std::string_view argument);

// The words joined by single blanks so that SplitCommandLine gives them back.
// The program (first word) is put in quotes when it holds a blank or a tab or
// is empty; it cannot hold a double quote (throws std::invalid_argument), as
// no Windows file name can.
std::string JoinCommandLine(const std::vector<std::string>& words);

}  // namespace cw
