// File/Print of the drawing editor (CmdPlotRegion): the user places the
// page at a chosen measure (millimetres of paper per metres of model), draws
// a region that fills the page, or lets the whole model fill it; the model
// is then drawn on one page with its frame and title block, to the printer
// of the print dialog or to a PDF file.
//
// The page at a measure is placed, and printed, in the plane of the plan,
// side or front view shown; the rotated 3D view shows the plan for it (also
// when the user switches to a 3D view while placing it), and the
// perspective view for every mode, having no scale to set.
//
// The page is drawn with the view mapping of the drawing window (the view's
// origin is the model point at the centre, its centre half the window in
// pixels), set for the page: the origin the region's centre, the centre
// half the page in pixels, the scale the page's pixels per metre. The view
// is put back as it was afterwards, the view mode included.
#pragma once

#include "framework/shell/command_dispatch.h"

// The printable page, in pixels and in millimetres.
struct PlotPage {
  double widthPx = 0, heightPx = 0, widthMm = 0, heightMm = 0;
};

// The view mapping of the printed page.
struct PlotMapping {
  double scale = 0;                 // printer pixels per metre
  double originX = 0, originY = 0;  // model point at the centre of the page
  double centreX = 0, centreY = 0;  // half the page in pixels
};

// The half width and height, in metres, of the page placed at `r`
// millimetres of paper per metre of model.
void PlotMarkerHalfSize(const PlotPage& page, double r, double& halfWidth, double& halfHeight);

// The region of the drawing window, in its pixels, and the view mapping
// that shows it: its centre in model units along the view's axes, its width
// and height in metres.
struct PlotRegionBox {
  double left = 0, top = 0, right = 0, bottom = 0;
};
// The mapping that puts the region on the page: mode 0 (measure) at `r`
// millimetres per metre, the others (zoom window, zoom all) fitted to 95 %
// of the page along the side that limits it. `viewScale`, `viewOriginX` and
// `viewOriginY` and the centre are the drawing window's mapping in which the
// region was taken. A region without extent keeps the view's scale.
PlotMapping ComputePlotMapping(int mode, double r, const PlotPage& page, const PlotRegionBox& region, double viewScale,
                               double viewOriginX, double viewOriginY, double viewCentreX, double viewCentreY);

// Binds File/Print at `id` (103 in kdn and ksb).
void BindPlotCommand(CommandRegistry& registry, int id);
