#pragma once

// Whether the process's standard error goes to a terminal, where a progress
// line that rewrites itself can be read; not when it goes to a file or pipe.
// Each platform has its own source file for it.
bool standardErrorIsTerminal();
