#pragma once

// The operator's language, as the session sets it (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): the
// program's own catalog, compiled in, and Qt's for its own texts (the standard buttons, the
// command line's help), from the system. With C, POSIX or English, or where no catalog exists,
// every text stays in English.
//
// Loads both before any application object exists, so that --help is in the session's
// language too; every application object made afterwards gets them installed at its start.
void LoadSessionLanguage();
