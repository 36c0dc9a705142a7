#pragma once

#include <QString>

#include "Firmware.h"

namespace sim {

// What a simulated repeater keeps between runs, as a real one keeps its
// parameters across a power cycle: a parameter file in the program's own
// format, read and written from the program's side, so that the file is
// the one its Read and Save would give. The repeater's model (its hardware
// type) says which channels the file holds; a type that is no model keeps
// nothing.
namespace StateFile {

bool keepsState(const Identity& identity);
// The file's values taken by `firmware` as a Write sends them. False, with
// `error` naming the file and why, when it cannot be read or lacks a value
// the model has.
bool load(const QString& path, Firmware& firmware, QString* error);
// What a Read of `firmware` gives, saved whole (the program's safe save).
bool save(const QString& path, const Firmware& firmware, QString* error);

}  // namespace StateFile

}  // namespace sim
