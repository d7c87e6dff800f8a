#pragma once

namespace kz {

// True when the program's standard error is a terminal a person watches, not
// a file or a pipe: progress is shown only there.
bool StandardErrorIsTerminal();

} // namespace kz
