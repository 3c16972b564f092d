// The framework's file dialogs: open and save with the programs' '|'
// filter strings, starting in the folder the last dialog chose and
// remembering the folder and name chosen (framework/core/file_dialog_state.h).
// Paths are kept as the file system names them (UTF-8); filters and
// default names are code page 1252 texts.
#pragma once

// Open: the file must exist; the path field starts with `defaultName`
// (none for empty). 1 when a file was chosen; 0 on Cancel, and 0 after the
// message "File Selection Error" when the dialog fails.
int OpenFileDialog(const char* filter, const char* defaultName);
// Save: the name field starts with the default's file name when that has
// at most 19 characters (else empty); replacing a file is asked; no
// extension is added. 1 when chosen, 0 otherwise, without a message.
int SaveFileDialog(const char* filter, const char* defaultName);
