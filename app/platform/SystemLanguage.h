#pragma once

#include <optional>

#include "Language.h"

// The language to start in, from the id the settings file holds (none when
// it holds none), as this system decides it: Windows by its default
// language identifier, other systems by their locale. Each platform has its
// own source file for it.
Language systemStartupLanguage(std::optional<int> storedId);
