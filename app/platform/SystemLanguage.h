#pragma once

#include <QtGlobal>

class QLocale;

// The system's default language as a Windows language identifier
// (0x0409 English (United States), 0x0804 Chinese (PRC), ...).
// Each platform has its own source file for it.
quint16 systemDefaultLangId();

// The identifier a locale stands for, for systems that have locales instead:
// English (United States) and Chinese (PRC) map to their identifiers, every
// other locale to 0.
quint16 langIdForLocale(const QLocale& locale);
