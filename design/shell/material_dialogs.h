// kdn's dialogs over the loaded absorber database (gMaterials.database):
// "Select Absorber Material" (DIALOG_11), from which Assign Material and the
// face list take a material, and "Absorber Database" (MATERIAL_BASE_DLG,
// Room/Edit Database), which edits the database and saves it.
//
// The database dialog has three modes. In view mode its fields are
// read-only, the list shows the record chosen in it, and the buttons read
// "New", "Edit" (hidden while the database is empty) and "Quit". "New" and
// "Edit" switch to new and edit mode: the fields are writable, the list
// waits, the first two buttons read "OK" and "Cancel" and "Quit" is hidden.
// OK stores the fields into a record behind the last (new) or into the
// chosen record (edit) and marks the database modified; a coefficient that
// is not within 0..1 ("Valid coefficients only 0...1") or an empty name
// ("Invalid entry !") is refused and the mode stays. Quit and the close box
// offer to save a modified database ("Database has been modified.Save now
// ?"); a save that fails keeps the dialog open.
//
// The modified mark outlives the dialog, so that the next Quit still asks
// for what is unsaved; loading a database clears it.
#pragma once

inline constexpr char kSelectMaterialDialog[] = "DIALOG_11";
inline constexpr char kAbsorberDatabaseDialog[] = "MATERIAL_BASE_DLG";
inline constexpr char kLoadAbsorberNowMessage[] = "Load now ?";
inline constexpr char kMustLoadAbsorberCaption[] = "Must load absorber database first";
inline constexpr char kSaveModifiedDatabaseMessage[] = "Database has been modified.Save now ?";

struct AbsorberDatabaseEditState {
  bool modified = false;  // the database holds changes not saved
};
extern AbsorberDatabaseEditState gAbsorberDatabaseEdit;
void ResetAbsorberDatabaseEdit();

// With no database record at hand, asks "Load now ?" under "Must load
// absorber database first" and on OK runs Room/Select Material Database;
// 0 when there is still none. Otherwise the dialog, owned by the active
// window, first shows the description and coefficients of project material
// `initialIndex` (material 0 for an index outside the table) and highlights
// the database record of its name; a highlighted record shows its own, and
// a double click chooses it as OK does. 1 on OK with the record chosen
// (record 0 when none was highlighted) in `dbIndex`; 0 on Cancel and the
// close box, `dbIndex` left alone.
int SelectDatabaseMaterial(int initialIndex, int& dbIndex);

// Room/Edit Database (2802): the database dialog.
void CmdEditAbsorberDatabase();

// The database dialog's save: the save dialog ("*.KAB", the loaded
// database's path as the default name unless it was loaded from that file
// in part, ".KAB" forced), then the file; over the file read in part only
// after OK to kOverwritePartlyReadDatabaseMessage. The loaded database's
// path stays. 1 when saved (the modified mark cleared), 0 when the dialog
// or the question was cancelled, -1 when the file could not be written
// ("Couldn´t write data to disk !", the old file kept).
int SaveAbsorberDatabase();
