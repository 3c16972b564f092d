// The speaker-database editor's drawing files, in which loudspeaker shapes
// are kept apart from a database: written as .TCF, read as .TCF or .NDF.
// The commands that open, merge and save them (dialogs, view, title) are the
// editor's shell; these functions read and write the files and hand back
// what they read.
//
// Layout (little-endian), magic "NEBRIX V1.40":
//   0    the 102-byte ProjectHeader (project_file.h). The editor sets view
//        mode (20), snap step (22), snap flag (26), node-snap width (28),
//        node-snap flag (32) and grid size (62); the other fields are those
//        of the header it read last.
//   102  the first 16 layer records (384 bytes).
//   486  the objects in list order: the 48-byte packed header, the data
//        (word 11 bytes), the vertices and the 4-byte items; word 1 is
//        non-zero on every object but the last. A drawing without objects
//        ends after the layers.
// Reading takes kind, state, colour and layer from each header. A last
// object of kind 33 is a settings object: its 742 data bytes are the
// drawing settings (the plot-header texts) and it is no part of the drawing;
// one of another size is left out ("Invalid objects not loaded : 1").
// The editor writes none. An object of kind 33 before the last is part of
// the drawing and takes the kind of its items (ShapeKindFromItems).
//
// Older shape files ("TARNIK 1.0     ", "TARNIK V1.27") open as one solid
// object on layer 0 (shape_file.h, drawing form); only "TARNIK 1.0     "
// files merge.
#pragma once

#include <cstdint>
#include <string>

#include "design/model/project_file.h"
#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"

inline constexpr char kDrawingMagic[] = "NEBRIX V1.40";
inline constexpr char kDrawingExtension[] = ".TCF";

// A drawing file as read.
struct DrawingFileModel {
  ProjectHeader header;
  LayerTable layers;  // the 16 stored records over what the caller put there
  OwnedObjectList objects;
  PlotHeaderBlock settings;
  bool hasSettings = false;
  uint32_t objectsLeftOut = 0;  // a settings object of another size than 742 bytes
};

// Reads a NEBRIX drawing from the start of `reader` into `model`. False,
// with nothing taken into `model`, for another magic, a cut or inconsistent
// file or a body that names vertices its object lacks. A settings object
// whose data is not 742 bytes is dropped and counted in objectsLeftOut.
bool ReadDrawing(ByteReader& reader, DrawingFileModel& model);

enum class DrawingReadResult {
  kDrawing,  // a NEBRIX file: `model` holds it whole
  kShape,    // an older shape file: model.objects holds its one object, the rest of `model` is untouched
  kNotRead,  // nothing read: the file could not be opened (silently) or was invalid ("Invalid file format !")
};

// Open drawing after its dialog. A NEBRIX drawing replaces the present one;
// an older shape file's object is added to it (the caller appends it). Open
// and Merge say how many objects a drawing read left out.
DrawingReadResult OpenDrawingFile(const std::string& path, DrawingFileModel& model);

// Merge drawing after its dialog: a NEBRIX file's objects go to the end of
// `drawing`, each on `currentLayer` with its kind from its items (a settings
// object is dropped); a "TARNIK 1.0     " file's one object goes to its head.
// 1 when merged; 0 after "Invalid file format !"; -1 when the file cannot be
// opened (silently). Nothing is merged from an invalid file.
int MergeDrawingFile(const std::string& path, uint32_t currentLayer, ObjectList& drawing);

// Writes the header (with the NEBRIX magic), the 16 stored layers and the
// objects.
bool WriteDrawing(ByteWriter& writer, const ProjectHeader& header, const LayerTable& layers, const ObjectList& objects);
// Save drawing after its dialog, to the path as ForceDrawingExtension gives
// it, through a temporary file. 1 when saved (the caller clears the
// drawing's modified mark); 0 after "Couldn´t write data to disk !" (and the
// system's reason where it gave one), with the old file as it was.
int SaveDrawingFile(const std::string& path, const ProjectHeader& header, const LayerTable& layers,
                    const ObjectList& objects);

// The path with ".TCF" appended unless it ends so in any case.
std::string ForceDrawingExtension(const std::string& path);
