// Where to start a line of turned text so that its turned box lies in a
// rectangle: left, right or centred and at the top, bottom or middle.
//
// The text is drawn with its top-left corner at the returned point and
// turned counter-clockwise by `angle` degrees around that corner (y grows
// downward). The rectangle is first shrunk by 2 on its right and bottom and
// the point then moved 2 right and down, so the box keeps that distance
// from the edges it is aligned to. Painting and printing share this rule.
#pragma once

#include "RichGrid/rich_grid_types.h"

// The width and height of the box a w x h text covers when turned.
TSize RotatedTextExtent(int w, int h, int angle);

TPoint RotatedTextOrigin(int w, int h, const TRect& rect, int angle, TAlignment alignment, TVAlignment vAlignment);
