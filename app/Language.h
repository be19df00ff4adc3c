#pragma once

// The operator's language, as the session sets it (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): the
// program's own catalog, compiled in, and Qt's for its own texts (the standard buttons, the
// command line's help), from the system. With C, POSIX or English, or where no catalog exists,
// every text stays in English.
//
// Loads both before any application object exists, so that --help is in the session's
// language too; every application object made afterwards gets them installed at its start.
void LoadSessionLanguage();

// Whether a font on this system shows the session's language, as loaded (true for English). The
// window checks it once its application object exists: Japanese without a CJK font would be
// boxes throughout.
bool SessionLanguageHasFont();
// The session's language in English ("Japanese"); empty while everything is in English.
const char* SessionLanguageName();
// Everything in English from now on: the program's texts and Qt's.
void DropSessionLanguage();
