// The design program's materials: the project's MaterialTable, the loaded
// AbsorberDatabase from which materials are copied into it, and the
// operations on them that the material commands, the face list and the
// project reset share.
#pragma once

#include <string>

#include "design/model/absorber_database.h"

struct MaterialState {
  MaterialTable project;
  AbsorberDatabase database;
  std::string databasePath;  // the loaded database file; empty when none is loaded
  // The file the database was loaded from in part (records past the 200th
  // or a partial record left out): saving over it would drop them.
  std::string partlyReadFile;
};
extern MaterialState gMaterials;

// Start-up state: no database loaded, the project holds the default material.
void ResetMaterials();
// The material step of a new project: the project table emptied down to the
// default material; the database emptied too unless a database file is
// loaded (a new project keeps the loaded database).
void ResetProjectMaterials();

// Entry 0 of the project's materials is the material that new, imported
// and raised faces name. It is never emptied or reused, so those faces keep
// it whatever else the table goes through; a project that stored another
// material there keeps that one.

// The default material: "100%", "Absorber 100%", all coefficients 1.0.
AbsorberRecord DefaultMaterial();

// Writes the default material into entry 0, sets the count to 1 and the
// project's measured reverberation times to 0.
void SetDefaultMaterial();

// Makes the materials of an opened project the project's, as stored; a
// table without entries gets the default material as its entry 0, since the
// faces name it.
void TakeProjectMaterials(const MaterialTable& stored);

// The project index of database record `dbIndex`: the entry of the same
// name when there is one, else a copy in the last free entry after entry 0,
// else a copy appended. -1 when the table is full, and for a record that
// cannot become a project material: an index outside the database, or an
// empty name (which would take the place of a free entry and so of the
// faces that still name it).
int AddMaterialFromDatabase(int dbIndex);

// Empties the name of every project material after entry 0 that no face or
// solid of the room (layer 0) names.
void PurgeUnusedMaterials();

// Ends a material command that began on the project's materials `before`:
// when it gave a face a material, the purge runs; when it gave none, the
// table is put back as it was, so that a material chosen for no face leaves
// nothing behind and no entry is purged.
void FinishMaterialAssignment(const MaterialTable& before, bool assigned);

// Loads the database file at `path` (the file half of the load command):
// on success it becomes the loaded database (and the file read in part when
// the reader left anything out); a file of another format shows "Invalid
// file format" and keeps the previous database; an unopenable file is
// ignored. Returns as ReadAbsorberDatabaseFile.
int LoadAbsorberDatabase(const std::string& path);
