// Horizontal alignment of a text within its box; shared by fields, grid
// columns, labels and painting.
#pragma once

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
