#pragma once
// The one result of an operation that can fail: a value or an error, never both. Loaders and
// parsers return it; the edge (the operation the player or the program started) turns an error
// into the message box and the log line. Exceptions may stay inside a loader; none crosses a
// subsystem's interface as a result.
#include <string>
#include <tl/expected.hpp>
#include <utility>

namespace qv {

// What went wrong, in the words the box and the log show. An error in a content file also
// names the file and the line (1-based; 0 for the file as a whole).
struct Error {
  std::string message;
  std::string file;  // empty when no file is at fault
  int line = 0;
};

// "file", line n: message; the message alone when no file is named.
std::string Describe(const Error& error);

template <class T>
using Expected = tl::expected<T, Error>;

inline tl::unexpected<Error> Fail(Error error) {
  return tl::unexpected<Error>(std::move(error));
}
inline tl::unexpected<Error> Fail(std::string message) {
  return Fail(Error{std::move(message), {}, 0});
}

}  // namespace qv
