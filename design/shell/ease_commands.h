// The File menu's EASE exchange (Import 120, 122, 124, 126; Export 121,
// 123, 125, 127): the window side of design/model/ease_exchange.h. Each
// command asks for its file with the format's filter and hands it to the
// reader or writer there, which tell the user what went wrong.
//
// The face imports start in the last project folder and leave the file
// dialog's folder and name as the project's afterwards, so that the next
// File/Save as offers the project again. Imported faces and loudspeakers
// come in on their layers and the drawing is redrawn.
#pragma once

inline constexpr char kExportFacesPrompt[] = "Export EASE-faces >";
inline constexpr char kExportSpeakersPrompt[] = "Export loudspeakers to EASE >";
inline constexpr char kImportSpeakersPrompt[] = "Import loudspeakers from EASE >";

// Import Room Faces from EASE3.x / EASE2.x (.xfc / .exp).
void CmdImportFacesEase3();
void CmdImportFacesEase2();
// Export Room Faces to EASE3.x / EASE2.x (.xfc / .imp): the room layer
// becomes current, the user selects objects and names the file; the faces
// and solids among them are written, and deselected afterwards. An EASE 2
// face of more than ten vertices leaves no file.
void CmdExportFacesEase3();
void CmdExportFacesEase2();
// Import Loudspeaker Parameters from EASE3.x / EASE2.x (.xld / .exp): with
// no speaker database loaded, "A speaker database must have been loaded
// first.Load now ?" and on OK Select Database; then the file. A type the
// project does not hold comes from the database, else the Edit Loudspeaker
// dialog asks for one (Cancel leaves that loudspeaker out).
void CmdImportSpeakersEase3();
void CmdImportSpeakersEase2();
// Export Loudspeaker Parameters to EASE3.x / EASE2.x (.xld / .imp), with
// loudspeakers placed.
void CmdExportSpeakersEase3();
void CmdExportSpeakersEase2();
