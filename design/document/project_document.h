// The design program's document: the project model together with the
// calculation result it holds. A new project, an opened project and a saved
// project always carry the model and the result as one: opening commits the
// model and then reads the result block that follows it in the file, saving
// appends the held result behind the model.
#pragma once

#include <string>

#include "design/model/project_file.h"

// A new, empty project named "PROJECT1.KPR" (ClearProjectModel) without a
// calculation result, with the engine's tables emptied. 1. The modified mark
// is left to the caller. File/New and the start-up call it.
int NewProject();

// Reads a project file of any version (versions below 2.00 as
// ReadOldProjectFile does) and makes it the live document: the model as
// CommitProjectModel leaves it, and the result stored behind it when its
// block reads whole (a damaged block leaves no result, never a part). 1 when
// read; 0 after "Can´t locate file" or "Invalid file format !" (or a memory
// message), with the document and the modified mark as they were.
int ReadProjectFile(const std::string& path);
// Reads a "KORVANE V1.27  " project; an unopenable file ends silently.
int ReadOldProjectFile(const std::string& path);
// Makes a parsed project (ParseProject) the live document at `path`: the
// commit of ReadProjectFile.
void CommitProjectDocument(ProjectModel& model, const std::string& path);

// The save of File/Save as after its dialog (SaveProjectFile), with the held
// result's block behind the model.
int SaveProjectAs(const std::string& path);
// What that save writes, to `writer`.
bool WriteProjectDocument(ByteWriter& writer);
