// Draws a figure with gnuplot: its data files and script written to a
// scratch directory that is removed after, the figure read back and
// written whole or not at all, as every other output.
#ifndef ADEQUACY_APP_FIGURE_RENDER_H_
#define ADEQUACY_APP_FIGURE_RENDER_H_

#include <string>
#include <vector>

#include "report/assess_figure.h"

namespace adequacy {

// True for a figure's file name: one ending in .svg or .png.
bool FigureName(const std::string& path);

// The name the scripts give the figure in the scratch directory, for an
// output at `path` (a PNG where it ends in .png, else an SVG).
std::string ScratchFigureName(const std::string& path);

// Runs gnuplot on `files`, the last of them the script, and writes the
// figure it draws to `path`; false, with one line on standard error,
// where gnuplot is missing or fails or the figure cannot be written.
bool RenderFigure(const std::vector<FigureFile>& files,
                  const std::string& path);

}  // namespace adequacy

#endif  // ADEQUACY_APP_FIGURE_RENDER_H_
