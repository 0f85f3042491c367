#pragma once
// Scripts and recordings as the command line names them: a file, a pipe (a shell's <(...) or a
// FIFO) or "-" for standard input. Paths are relative to where the program started.
#include <string>

#include "base/expected.h"
#include "harness/script.h"

namespace qv {

// The whole text; a folder, or anything that cannot be opened or read, fails with the path named.
Expected<std::string> ReadScriptText(const std::string& path);
// Read and parsed; parse errors name "standard input" for "-".
Expected<Script> LoadScriptFile(const std::string& path, ScriptOrigin origin);

}  // namespace qv
