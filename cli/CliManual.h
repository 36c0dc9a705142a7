#pragma once

#include <QString>

// The manual page of tarvane-cli (man(7) source), made from the rows of
// CliOptions and the pieces of CliHelp, so that it says what --help says;
// in the language of the translator installed.
namespace CliManual {

// `date` goes into the page's header as it is.
QString page(const QString& date);

}  // namespace CliManual
